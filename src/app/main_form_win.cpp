#include "app/main_form_win.h"

#include "app/button_glyphs_win.h"
#include "app/main_form_layout.h"
#include "drive/drive_info_win.h"
#include "drive/drive_texts.h"
#include "engine/levels.h"
#include "engine/random_generator.h"
#include "platform/win32/user_format_settings.h"
#include "ui/application_win.h"

namespace qvx {

namespace {
template <class T>
T& Find(const ui::Form& form, const char* name) {
    return form.find<T>(name);
}

std::uint32_t UtcMillisecondsOfDay() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return engine::MillisecondsOfDay(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}
} // namespace

MainForm::MainForm()
    : ui::Form(MainFormDesign(), MainFormLayout()),
      pages(Find<ui::PageControl>(*this, "pages")),
      sanitizePage(Find<ui::TabSheet>(*this, "sanitizePage")),
      settingsPage(Find<ui::TabSheet>(*this, "settingsPage")),
      driveGroup(Find<ui::GroupBox>(*this, "driveGroup")),
      driveList(Find<ui::DriveComboBox>(*this, "driveList")),
      diskSpaceLabel(Find<ui::Label>(*this, "diskSpaceLabel")),
      volumeNameLabel(Find<ui::Label>(*this, "volumeNameLabel")),
      volumeSerialLabel(Find<ui::Label>(*this, "volumeSerialLabel")),
      fileSystemLabel(Find<ui::Label>(*this, "fileSystemLabel")),
      writtenMegabytesLabel(Find<ui::Label>(*this, "writtenMegabytesLabel")),
      plannedMegabytesLabel(Find<ui::Label>(*this, "plannedMegabytesLabel")),
      progressGroup(Find<ui::GroupBox>(*this, "progressGroup")),
      passLabel(Find<ui::Label>(*this, "passLabel")),
      progressBar(Find<ui::ProgressBar>(*this, "progressBar")),
      passMegabytesLabel(Find<ui::Label>(*this, "passMegabytesLabel")),
      startTimeLabel(Find<ui::Label>(*this, "startTimeLabel")),
      elapsedTimeLabel(Find<ui::Label>(*this, "elapsedTimeLabel")),
      remainingTimeLabel(Find<ui::Label>(*this, "remainingTimeLabel")),
      totalTimeLabel(Find<ui::Label>(*this, "totalTimeLabel")),
      levelGroup(Find<ui::RadioGroup>(*this, "levelGroup")),
      levelDescriptionGroup(Find<ui::GroupBox>(*this, "levelDescriptionGroup")),
      levelDescriptions{&Find<ui::Memo>(*this, "levelDescription1"), &Find<ui::Memo>(*this, "levelDescription2"), &Find<ui::Memo>(*this, "levelDescription3"),
            &Find<ui::Memo>(*this, "levelDescription4"), &Find<ui::Memo>(*this, "levelDescription5"), &Find<ui::Memo>(*this, "levelDescription6")},
      levelDescriptionButton(Find<ui::Button>(*this, "levelDescriptionButton")),
      refreshButton(Find<ui::BitBtn>(*this, "refreshButton")),
      sanitizeButton(Find<ui::BitBtn>(*this, "sanitizeButton")),
      abortButton(Find<ui::BitBtn>(*this, "abortButton")),
      exitButton(Find<ui::BitBtn>(*this, "exitButton")),
      alwaysOnTopItem(Find<ui::MenuItem>(*this, "alwaysOnTopItem")),
      autoRunItem(Find<ui::MenuItem>(*this, "autoRunItem")),
      restoreDefaultsItem(Find<ui::MenuItem>(*this, "restoreDefaultsItem")),
      exitItem(Find<ui::MenuItem>(*this, "exitItem")),
      readmeItem(Find<ui::MenuItem>(*this, "readmeItem")),
      catalogItem(Find<ui::MenuItem>(*this, "catalogItem")),
      helpMenuSeparator(Find<ui::MenuItem>(*this, "helpMenuSeparator")),
      aboutItem(Find<ui::MenuItem>(*this, "aboutItem")),
      spareMenu(Find<ui::MenuItem>(*this, "spareMenu")) {
    bindEvents();
    makeGlyphs();
}

MainForm::~MainForm() = default;

void MainForm::bindEvents() {
    OnShow = [this](ui::Form&) { runStartUp(); };
    OnCloseQuery = [this](ui::Form&, bool& canClose) { closeQuery(canClose); };
    OnResize = [this](ui::Form&) { rescaleLayout(); };
    refreshButton.OnClick = [this](ui::Control&) { refreshDrivePanel(); };
    sanitizeButton.OnClick = [this](ui::Control&) { sanitize(); };
    abortButton.OnClick = [this](ui::Control&) { requestAbort(); };
    exitButton.OnClick = [this](ui::Control&) { close(); };
    driveList.OnChange = [this](ui::Control&) { refreshDrivePanel(); };
    levelGroup.OnClick = [this](ui::Control&) { showLevelDescription(); };
    levelDescriptionButton.OnClick = [this](ui::Control&) { showLevelDescription(); };
    alwaysOnTopItem.OnClick = [this](ui::MenuItem&) { toggleAlwaysOnTop(); };
    autoRunItem.OnClick = [this](ui::MenuItem&) { toggleAutoRun(); };
    restoreDefaultsItem.OnClick = [this](ui::MenuItem&) { restoreFactoryDefaults(); };
    exitItem.OnClick = [this](ui::MenuItem&) { close(); };
    readmeItem.OnClick = [this](ui::MenuItem&) { viewReadme(); };
    catalogItem.OnClick = [this](ui::MenuItem&) { viewCatalog(); };
    aboutItem.OnClick = [this](ui::MenuItem&) { showAboutBox(); };
    spareMenu.OnClick = [this](ui::MenuItem&) { viewReadme(); };
}

void MainForm::makeGlyphs() {
    refreshButton.setGlyph(ui::Glyph(RefreshGlyphArt()));
    sanitizeButton.setGlyph(ui::Glyph(SanitizeGlyphArt()));
    abortButton.setGlyph(ui::Glyph(AbortGlyphArt()));
    exitButton.setGlyph(ui::Glyph(ExitGlyphArt()));
}

void MainForm::runStartUp() {
    // 1. Fit the client area to the layout's own extent.
    setClientSize(pages.width() + 2 * pages.left(),
                  exitButton.top() + exitButton.height() + pages.top());
    // 2. The layout record for rescaling, taken once.
    recordLayout();
    // 3. Saved geometry, options, drive and level.
    readSettings();
    // 4, 5, 6. Captions, the launcher's show state, the saved maximized state.
    applyProductCaptions();
    // The launcher's show state belongs to the program's start: a later run of this sequence
    // (Restore Factory Defaults) must not minimize a window the user is working in.
    if (!startupShowStateApplied_) {
        applyLauncherShowState();
        startupShowStateApplied_ = true;
    }
    if (startMaximized_) setWindowState(ui::WindowState::Maximized);
    // 7. The z-order follows the saved option: invert, then toggle back and apply.
    alwaysOnTopItem.setChecked(!alwaysOnTopItem.checked());
    toggleAlwaysOnTop();
    // 8. The Run entry decides the auto-run check mark (settings only remember it).
    autoRunItem.setChecked(checkAutoRunPath());
    // 9. The descriptions fill their group box, wrapped.
    for (ui::Memo* memo : levelDescriptions) {
        memo->setAlignClient(true);
        memo->setWordWrap(true);
    }
    // 10. The restored level's description and the window caption.
    showLevelDescription();
    // 11, 12, 13.
    startTimeLabel.setCaption("");
    elapsedTimeLabel.setCaption("");
    remainingTimeLabel.setCaption("");
    totalTimeLabel.setCaption("");
    pages.setActivePage(sanitizePage);
    engine::SeedRandom(UtcMillisecondsOfDay());
}

void MainForm::applyProductCaptions() {
    ui::Application::instance().setTitle(kProductTitle);
    setCaption(kProductTitle);
    applyAboutBoxCaptions();
    spareMenu.setCaption("");
    spareMenu.setVisible(false);
    helpMenuSeparator.setVisible(false);
}

void MainForm::applyLauncherShowState() {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    // A launcher that gives no show state gets the ordinary one.
    const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
    ShowWindow(handle(), show);
}

void MainForm::closeQuery(bool& canClose) {
    if (running_) {
        // The run cleans up its fill files first; the close is repeated when it has ended.
        closeAfterRun_ = true;
        abortRequested_ = true;
        canClose = false;
        return;
    }
    writeSettings();
    canClose = true;
}

void MainForm::refreshDrivePanel() {
    const std::uint8_t n = DriveNumberOfLetter(driveList.drive());
    const FormatSettings fs = ReadUserFormatSettings();
    diskSpaceLabel.setCaption(DiskSpaceText(n, fs));
    volumeNameLabel.setCaption(VolumeNameText(n));
    volumeSerialLabel.setCaption(VolumeSerialText(n));
    fileSystemLabel.setCaption(FileSystemNameText(n));
    progressBar.setPosition(0);
    passMegabytesLabel.setCaption("");
    passLabel.setCaption(" Pass : ");
    progressGroup.setCaption(" Progress : ");
    startTimeLabel.setCaption("");
    elapsedTimeLabel.setCaption("");
    remainingTimeLabel.setCaption("");
    totalTimeLabel.setCaption("");
}

void MainForm::showLevelDescription() {
    const int level = levelGroup.itemIndex();
    for (ui::Memo* memo : levelDescriptions) memo->setVisible(false);
    if (level >= 0 && level < static_cast<int>(levelDescriptions.size())) levelDescriptions[level]->setVisible(true);
    setCaption(engine::MainWindowCaption(level));
    ui::Application::instance().processMessages();
}

void MainForm::setButtonsEnabled(bool enabled) {
    for (const auto& component : components()) {
        if (auto* button = dynamic_cast<ui::Button*>(component.get())) button->setEnabled(enabled);
    }
}

} // namespace qvx
