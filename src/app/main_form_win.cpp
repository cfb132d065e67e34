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

} // namespace

MainForm::MainForm()
    : ui::Form(MainFormDesign(), MainFormLayout()),
      pages(find<ui::PageControl>("pages")),
      sanitizePage(find<ui::TabSheet>("sanitizePage")),
      settingsPage(find<ui::TabSheet>("settingsPage")),
      driveGroup(find<ui::GroupBox>("driveGroup")),
      driveList(find<ui::DriveComboBox>("driveList")),
      diskSpaceLabel(find<ui::Label>("diskSpaceLabel")),
      volumeNameLabel(find<ui::Label>("volumeNameLabel")),
      volumeSerialLabel(find<ui::Label>("volumeSerialLabel")),
      fileSystemLabel(find<ui::Label>("fileSystemLabel")),
      writtenMegabytesLabel(find<ui::Label>("writtenMegabytesLabel")),
      plannedMegabytesLabel(find<ui::Label>("plannedMegabytesLabel")),
      progressGroup(find<ui::GroupBox>("progressGroup")),
      passLabel(find<ui::Label>("passLabel")),
      progressBar(find<ui::ProgressBar>("progressBar")),
      passMegabytesLabel(find<ui::Label>("passMegabytesLabel")),
      startTimeLabel(find<ui::Label>("startTimeLabel")),
      elapsedTimeLabel(find<ui::Label>("elapsedTimeLabel")),
      remainingTimeLabel(find<ui::Label>("remainingTimeLabel")),
      totalTimeLabel(find<ui::Label>("totalTimeLabel")),
      levelGroup(find<ui::RadioGroup>("levelGroup")),
      levelDescriptionGroup(find<ui::GroupBox>("levelDescriptionGroup")),
      levelDescriptions{&find<ui::Memo>("levelDescription1"), &find<ui::Memo>("levelDescription2"), &find<ui::Memo>("levelDescription3"),
            &find<ui::Memo>("levelDescription4"), &find<ui::Memo>("levelDescription5"), &find<ui::Memo>("levelDescription6")},
      levelDescriptionButton(find<ui::Button>("levelDescriptionButton")),
      refreshButton(find<ui::BitBtn>("refreshButton")),
      sanitizeButton(find<ui::BitBtn>("sanitizeButton")),
      abortButton(find<ui::BitBtn>("abortButton")),
      exitButton(find<ui::BitBtn>("exitButton")),
      alwaysOnTopItem(find<ui::MenuItem>("alwaysOnTopItem")),
      autoRunItem(find<ui::MenuItem>("autoRunItem")),
      restoreDefaultsItem(find<ui::MenuItem>("restoreDefaultsItem")),
      exitItem(find<ui::MenuItem>("exitItem")),
      readmeItem(find<ui::MenuItem>("readmeItem")),
      catalogItem(find<ui::MenuItem>("catalogItem")),
      helpMenuSeparator(find<ui::MenuItem>("helpMenuSeparator")),
      aboutItem(find<ui::MenuItem>("aboutItem")),
      spareMenu(find<ui::MenuItem>("spareMenu")) {
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
    // The client area fits the layout's own extent at the window's DPI; the layout record is
    // taken once, and every control is then placed from it.
    const SIZE extent = layoutExtent();
    setClientSize(ui::ScaleForDpi(extent.cx, dpi()), ui::ScaleForDpi(extent.cy, dpi()));
    recordLayout();
    rescaleLayout();
    readSettings();
    applyProductCaptions();
    // The launcher's show state belongs to the program's start: a later run of this sequence
    // (Restore Factory Defaults) must not minimize a window the user is working in.
    if (!startupShowStateApplied_) {
        applyLauncherShowState();
        startupShowStateApplied_ = true;
    }
    if (startMaximized_) setWindowState(ui::WindowState::Maximized);
    // The z-order follows the saved option: invert, then toggle back and apply.
    alwaysOnTopItem.setChecked(!alwaysOnTopItem.checked());
    toggleAlwaysOnTop();
    // The Run entry decides the auto-run check mark (settings only remember it).
    autoRunItem.setChecked(checkAutoRunPath());
    // The descriptions fill their group box, wrapped.
    for (ui::Memo* memo : levelDescriptions) {
        memo->setAlignClient(true);
        memo->setWordWrap(true);
    }
    showLevelDescription();
    // An empty progress area on the Sanitize page, and random passes that start afresh.
    startTimeLabel.setCaption("");
    elapsedTimeLabel.setCaption("");
    remainingTimeLabel.setCaption("");
    totalTimeLabel.setCaption("");
    pages.setActivePage(sanitizePage);
    engine::SeedRandomFromClock();
}

SIZE MainForm::layoutExtent() const {
    const RECT page = pages.designBounds(), button = exitButton.designBounds();
    return {page.right + page.left, button.bottom + page.top};
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
    const char drive = driveList.drive();
    const std::uint8_t n = DriveNumberOfLetter(drive);
    driveAnswers_.erase(drive);
    const std::optional<DriveAnswers> answers = lateAnswers_.ask<DriveAnswers>(
        n, [n] { return AskDrive(n); }, [this, drive](DriveAnswers late) { driveAnswered(drive, late); });
    if (answers) driveAnswers_[drive] = *answers;
    showDriveAnswers(answers);
    progressBar.setPosition(0);
    passMegabytesLabel.setCaption("");
    passLabel.setCaption(" Pass : ");
    progressGroup.setCaption(" Progress : ");
    startTimeLabel.setCaption("");
    elapsedTimeLabel.setCaption("");
    remainingTimeLabel.setCaption("");
    totalTimeLabel.setCaption("");
}

void MainForm::showDriveAnswers(const std::optional<DriveAnswers>& answers) {
    if (!answers) {
        diskSpaceLabel.setCaption("0");
        volumeNameLabel.setCaption("");
        volumeSerialLabel.setCaption("");
        fileSystemLabel.setCaption("");
        return;
    }
    diskSpaceLabel.setCaption(DiskSpaceText(*answers, ReadUserFormatSettings()));
    volumeNameLabel.setCaption(VolumeNameText(*answers));
    volumeSerialLabel.setCaption(VolumeSerialText(*answers));
    fileSystemLabel.setCaption(FileSystemNameText(*answers));
}

void MainForm::driveAnswered(char drive, const DriveAnswers& answers) {
    driveAnswers_[drive] = answers;
    // Only while the panel still shows that drive.
    if (driveList.drive() == drive) showDriveAnswers(answers);
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
