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

TMainForm1::TMainForm1()
    : ui::Form(MainFormSpec(), MainFormLayout()),
      Overall_PageControl(Find<ui::PageControl>(*this, "Overall_PageControl")),
      TabSheet6(Find<ui::TabSheet>(*this, "TabSheet6")),
      TabSheet7(Find<ui::TabSheet>(*this, "TabSheet7")),
      GroupBox1(Find<ui::GroupBox>(*this, "GroupBox1")),
      DriveComboBox1(Find<ui::DriveComboBox>(*this, "DriveComboBox1")),
      Disk_Space_Label(Find<ui::Label>(*this, "Disk_Space_Label")),
      Volume_Name_Label(Find<ui::Label>(*this, "Volume_Name_Label")),
      Volume_Serial_Number_Label(Find<ui::Label>(*this, "Volume_Serial_Number_Label")),
      File_System_Name_Label(Find<ui::Label>(*this, "File_System_Name_Label")),
      Label11(Find<ui::Label>(*this, "Label11")),
      Label12(Find<ui::Label>(*this, "Label12")),
      Progress_GroupBox(Find<ui::GroupBox>(*this, "Progress_GroupBox")),
      Pass_Label(Find<ui::Label>(*this, "Pass_Label")),
      ProgressBar1(Find<ui::ProgressBar>(*this, "ProgressBar1")),
      Progress_Label(Find<ui::Label>(*this, "Progress_Label")),
      Start_Date_Time_Label(Find<ui::Label>(*this, "Start_Date_Time_Label")),
      Elapsed_Time_Label(Find<ui::Label>(*this, "Elapsed_Time_Label")),
      Remaining_Date_Time_Label(Find<ui::Label>(*this, "Remaining_Date_Time_Label")),
      Time_To_Completion_Label(Find<ui::Label>(*this, "Time_To_Completion_Label")),
      Sanitization_Level_RadioGroup(Find<ui::RadioGroup>(*this, "Sanitization_Level_RadioGroup")),
      GroupBox2(Find<ui::GroupBox>(*this, "GroupBox2")),
      Memos{&Find<ui::Memo>(*this, "Memo1"), &Find<ui::Memo>(*this, "Memo2"), &Find<ui::Memo>(*this, "Memo3"),
            &Find<ui::Memo>(*this, "Memo4"), &Find<ui::Memo>(*this, "Memo5"), &Find<ui::Memo>(*this, "Memo6")},
      Sanitization_Level_Desccription_Button(Find<ui::Button>(*this, "Sanitization_Level_Desccription_Button")),
      Refresh_BitBtn(Find<ui::BitBtn>(*this, "Refresh_BitBtn")),
      Sanitize_BitBtn(Find<ui::BitBtn>(*this, "Sanitize_BitBtn")),
      Halt_BitBtn(Find<ui::BitBtn>(*this, "Halt_BitBtn")),
      Exit_BitBtn(Find<ui::BitBtn>(*this, "Exit_BitBtn")),
      Abort_Processing_CheckBox(Find<ui::CheckBox>(*this, "Abort_Processing_CheckBox")),
      Scaling_ListBox(Find<ui::ListBox>(*this, "Scaling_ListBox")),
      Always_On_Top_Option(Find<ui::MenuItem>(*this, "Always_On_Top_Option")),
      Auto_Run_at_Windows_Startup_Option(Find<ui::MenuItem>(*this, "Auto_Run_at_Windows_Startup_Option")),
      Restore_Factory_Defaults_Option(Find<ui::MenuItem>(*this, "Restore_Factory_Defaults_Option")),
      ExitOption(Find<ui::MenuItem>(*this, "ExitOption")),
      View_Readme_file_Option(Find<ui::MenuItem>(*this, "View_Readme_file_Option")),
      View_Shareware_Catalog_Option(Find<ui::MenuItem>(*this, "View_Shareware_Catalog_Option")),
      About1(Find<ui::MenuItem>(*this, "About1")),
      AboutOption(Find<ui::MenuItem>(*this, "AboutOption")),
      SpareMenu(Find<ui::MenuItem>(*this, "SpareMenu")) {
    bindEvents();
    makeGlyphs();
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::bindEvents() {
    OnShow = [this](ui::Form&) { FormShow(); };
    OnCloseQuery = [this](ui::Form&, bool& canClose) { FormCloseQuery(canClose); };
    OnResize = [this](ui::Form&) { FormResize(); };
    OnActivate = [this](ui::Form&) { FormActivate(); };
    Refresh_BitBtn.OnClick = [this](ui::Control&) { Refresh_BitBtnClick(); };
    Sanitize_BitBtn.OnClick = [this](ui::Control&) { Sanitize_BitBtnClick(); };
    Halt_BitBtn.OnClick = [this](ui::Control&) { Halt_BitBtnClick(); };
    Exit_BitBtn.OnClick = [this](ui::Control&) { Exit_BitBtnClick(); };
    DriveComboBox1.OnChange = [this](ui::Control&) { DriveComboBox1Change(); };
    Sanitization_Level_RadioGroup.OnClick = [this](ui::Control&) { Sanitization_Level_RadioGroupClick(); };
    Sanitization_Level_Desccription_Button.OnClick = [this](ui::Control&) { Sanitization_Level_Desccription_ButtonClick(); };
    Always_On_Top_Option.OnClick = [this](ui::MenuItem&) { Always_On_Top_OptionClick(); };
    Auto_Run_at_Windows_Startup_Option.OnClick = [this](ui::MenuItem&) { Auto_Run_at_Windows_Startup_OptionClick(); };
    Restore_Factory_Defaults_Option.OnClick = [this](ui::MenuItem&) { Restore_Factory_Defaults_OptionClick(); };
    ExitOption.OnClick = [this](ui::MenuItem&) { ExitOptionClick(); };
    View_Readme_file_Option.OnClick = [this](ui::MenuItem&) { View_Readme_file_OptionClick(); };
    View_Shareware_Catalog_Option.OnClick = [this](ui::MenuItem&) { View_Shareware_Catalog_OptionClick(); };
    AboutOption.OnClick = [this](ui::MenuItem&) { AboutOptionClick(); };
    SpareMenu.OnClick = [this](ui::MenuItem&) { SpareMenuClick(); };
}

void TMainForm1::makeGlyphs() {
    Refresh_BitBtn.setGlyph(ui::Glyph(RefreshGlyphArt()));
    Sanitize_BitBtn.setGlyph(ui::Glyph(SanitizeGlyphArt()));
    Halt_BitBtn.setGlyph(ui::Glyph(AbortGlyphArt()));
    Exit_BitBtn.setGlyph(ui::Glyph(ExitGlyphArt()));
}

void TMainForm1::FormShow() {
    // 1. Fit the client area to the layout's own extent.
    setClientSize(Overall_PageControl.width() + 2 * Overall_PageControl.left(),
                  Exit_BitBtn.top() + Exit_BitBtn.height() + Overall_PageControl.top());
    // 2. The layout record for rescaling, taken once.
    RecordLayout();
    // 3. Saved geometry, options, drive and level.
    ReadSettings();
    // 4, 5, 6. Captions, the launcher's show state, the saved maximized state.
    ApplyProductCaptions();
    // The launcher's show state belongs to the program's start: a later run of this sequence
    // (Restore Factory Defaults) must not minimize a window the user is working in.
    if (!startupShowStateApplied_) {
        ApplyStartupShowState();
        startupShowStateApplied_ = true;
    }
    if (startMaximized_) setWindowState(ui::WindowState::Maximized);
    // 7. The z-order follows the saved option: invert, then toggle back and apply.
    Always_On_Top_Option.setChecked(!Always_On_Top_Option.checked());
    ToggleAlwaysOnTop();
    // 8. The Run entry decides the auto-run check mark (settings only remember it).
    Auto_Run_at_Windows_Startup_Option.setChecked(CheckAutoRunPath());
    // 9. The descriptions fill their group box, wrapped.
    for (ui::Memo* memo : Memos) {
        memo->setAlignClient(true);
        memo->setWordWrap(true);
    }
    // 10. The restored level's description and the window caption.
    Sanitization_Level_Desccription_ButtonClick();
    // 11, 12, 13.
    Start_Date_Time_Label.setCaption("");
    Elapsed_Time_Label.setCaption("");
    Remaining_Date_Time_Label.setCaption("");
    Time_To_Completion_Label.setCaption("");
    Overall_PageControl.setActivePage(TabSheet6);
    engine::SeedRandom(UtcMillisecondsOfDay());
}

void TMainForm1::ApplyProductCaptions() {
    ui::Application::instance().setTitle(kProductTitle);
    setCaption(kProductTitle);
    ApplyAboutBoxCaptions();
    SpareMenu.setCaption("");
    SpareMenu.setVisible(false);
    About1.setVisible(false);
}

void TMainForm1::ApplyStartupShowState() {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    // A launcher that gives no show state gets the ordinary one.
    const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
    ShowWindow(handle(), show);
}

void TMainForm1::FormCloseQuery(bool& canClose) {
    if (running_) {
        // The run cleans up its fill files first; the close is repeated when it has ended.
        closeAfterRun_ = true;
        Abort_Processing_CheckBox.setChecked(true);
        canClose = false;
        return;
    }
    WriteSettings();
    canClose = true;
}

void TMainForm1::Refresh_BitBtnClick() {
    const std::uint8_t n = DriveNumberOfLetter(DriveComboBox1.drive());
    const FormatSettings fs = ReadUserFormatSettings();
    Disk_Space_Label.setCaption(DiskSpaceText(n, fs));
    Volume_Name_Label.setCaption(VolumeNameText(n));
    Volume_Serial_Number_Label.setCaption(VolumeSerialText(n));
    File_System_Name_Label.setCaption(FileSystemNameText(n));
    ProgressBar1.setPosition(0);
    Progress_Label.setCaption("");
    Pass_Label.setCaption(" Pass : ");
    Progress_GroupBox.setCaption(" Progress : ");
    Start_Date_Time_Label.setCaption("");
    Elapsed_Time_Label.setCaption("");
    Remaining_Date_Time_Label.setCaption("");
    Time_To_Completion_Label.setCaption("");
}

void TMainForm1::Sanitization_Level_Desccription_ButtonClick() {
    const int level = Sanitization_Level_RadioGroup.itemIndex();
    for (ui::Memo* memo : Memos) memo->setVisible(false);
    if (level >= 0 && level < static_cast<int>(Memos.size())) Memos[level]->setVisible(true);
    setCaption(engine::MainWindowCaption(level));
    ui::Application::instance().processMessages();
}

void TMainForm1::ButtonSwitch(bool enabled) {
    for (const auto& component : components()) {
        if (auto* button = dynamic_cast<ui::Button*>(component.get())) button->setEnabled(enabled);
    }
}

} // namespace qvx
