#pragma once
// The main window: two pages (drive panel and progress; sanitization level), four buttons along
// the bottom and the File and Help menus.
#include "app/command_line.h"
#include "app/run_record.h"
#include "engine/fill_run.h"
#include "engine/fill_volume.h"
#include "ui/button_win.h"
#include "ui/check_box_win.h"
#include "ui/drive_combo_box_win.h"
#include "ui/form_win.h"
#include "ui/group_box_win.h"
#include "ui/label_win.h"
#include "ui/list_box_win.h"
#include "ui/memo_win.h"
#include "ui/menu_win.h"
#include "ui/page_control_win.h"
#include "ui/progress_bar_win.h"
#include "ui/radio_group_win.h"
#include "ui/timer_win.h"

#include <array>
#include <functional>
#include <memory>

namespace qvx {

class TAboutBox;

class TMainForm1 : public ui::Form {
public:
    TMainForm1();
    ~TMainForm1() override;

    // The About box whose texts the start-up sequence sets and which Help > About shows.
    void setAboutBox(TAboutBox* about) { aboutBox_ = about; }
    TAboutBox* aboutBox() const { return aboutBox_; }

    // --- controls ------------------------------------------------------------------------
    ui::PageControl& Overall_PageControl;
    ui::TabSheet& TabSheet6;
    ui::TabSheet& TabSheet7;
    ui::GroupBox& GroupBox1;
    ui::DriveComboBox& DriveComboBox1;
    ui::Label& Disk_Space_Label;
    ui::Label& Volume_Name_Label;
    ui::Label& Volume_Serial_Number_Label;
    ui::Label& File_System_Name_Label;
    ui::Label& Label11;
    ui::Label& Label12;
    ui::GroupBox& Progress_GroupBox;
    ui::Label& Pass_Label;
    ui::ProgressBar& ProgressBar1;
    ui::Label& Progress_Label;
    ui::Label& Start_Date_Time_Label;
    ui::Label& Elapsed_Time_Label;
    ui::Label& Remaining_Date_Time_Label;
    ui::Label& Time_To_Completion_Label;
    ui::RadioGroup& Sanitization_Level_RadioGroup;
    ui::GroupBox& GroupBox2;
    std::array<ui::Memo*, 6> Memos;
    ui::Button& Sanitization_Level_Desccription_Button;
    ui::BitBtn& Refresh_BitBtn;
    ui::BitBtn& Sanitize_BitBtn;
    ui::BitBtn& Halt_BitBtn;
    ui::BitBtn& Exit_BitBtn;
    ui::CheckBox& Abort_Processing_CheckBox;
    ui::ListBox& Scaling_ListBox;
    ui::MenuItem& Always_On_Top_Option;
    ui::MenuItem& Auto_Run_at_Windows_Startup_Option;
    ui::MenuItem& Restore_Factory_Defaults_Option;
    ui::MenuItem& ExitOption;
    ui::MenuItem& View_Readme_file_Option;
    ui::MenuItem& View_Shareware_Catalog_Option;
    ui::MenuItem& About1;
    ui::MenuItem& AboutOption;
    ui::MenuItem& SpareMenu;

    // --- start-up and closing -----------------------------------------------------------------
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormActivate() {}
    void ApplyProductCaptions();
    // The About box's part of the product captions (its stored texts).
    void ApplyAboutBoxCaptions();
    void ApplyStartupShowState();
    void Exit_BitBtnClick() { close(); }
    void ExitOptionClick() { close(); }

    // --- drive details ---------------------------------------------------------------------
    void Refresh_BitBtnClick();
    void DriveComboBox1Change() { Refresh_BitBtnClick(); }

    // --- levels and the run ------------------------------------------------------------------
    void Sanitization_Level_RadioGroupClick() { Sanitization_Level_Desccription_ButtonClick(); }
    void Sanitization_Level_Desccription_ButtonClick();
    void Sanitize_BitBtnClick();
    void Halt_BitBtnClick() { Abort_Processing_CheckBox.setChecked(true); }
    // Sets every push button of the window (hidden ones included) enabled or disabled.
    void ButtonSwitch(bool enabled);
    bool running() const { return running_; }
    // Makes the volume a run writes through (the drive's own when empty); tests put a double in.
    std::function<std::unique_ptr<engine::FillVolume>()> makeFillVolume;

    // --- settings file, layout scaling, always on top, auto-run ------------------------------
    void ReadSettings();
    void WriteSettings();
    void Restore_Factory_Defaults_OptionClick();
    void RecordLayout();
    void RescaleLayout();
    void FormResize() { RescaleLayout(); }
    void Always_On_Top_OptionClick() { ToggleAlwaysOnTop(); }
    void ToggleAlwaysOnTop();
    void Auto_Run_at_Windows_Startup_OptionClick();
    // true when the program's Run entry exists (may ask to update a moved program's entry).
    bool CheckAutoRunPath();
    // The settings file beside the executable, and the one in the user's application-data
    // folder that takes its place where the program's folder cannot be written (empty when the
    // user has no such folder).
    static std::string SettingsPath();
    static std::string UserSettingsPath();

    // --- unattended runs and the run record --------------------------------------------------
    // The program's command line: a run it asks for starts once the window is up.
    void setCommandLine(CommandLine commandLine);
    // Where the run record is appended, in the order tried: beside the settings file.
    static std::vector<std::string> RunRecordPaths();

    // --- Help menu ---------------------------------------------------------------------------
    void View_Readme_file_OptionClick();
    void View_Shareware_Catalog_OptionClick();
    void SpareMenuClick() { View_Readme_file_OptionClick(); }
    void AboutOptionClick();

private:
    class RunHostAdapter;
    // The run behind the Sanitize button, or one the command line started.
    void runSanitize(bool fromCommandLine);
    void startFromCommandLine();
    // The end of a command-line run with /exit: the exit code, then the window closes.
    void exitAfterCommandLine(ExitCode code);
    // Appends the record of a run (or of a command line that could not start one); false when
    // no place took it.
    bool recordRun(const engine::RunResult* result, const std::string& errorMessage, bool fromCommandLine);
    void bindEvents();
    void makeGlyphs();

    TAboutBox* aboutBox_ = nullptr;
    bool running_ = false;
    // A close request that arrived during a run: honoured once the run has cleaned up.
    bool closeAfterRun_ = false;
    // The user asked to restart as administrator: done once the run has ended.
    bool restartElevatedAfterRun_ = false;
    bool startMaximized_ = false;
    CommandLine commandLine_;
    std::unique_ptr<ui::Timer> commandLineStart_;
    bool commandLineRun_ = false;  // the run going on was started by the command line
    // What the record of the run going on needs from its start.
    struct RunStart {
        char drive = 0;
        int level = 0;
        std::string volumeLabel, volumeSerial, fileSystem;
        std::int64_t totalBytes = 0, freeBytes = 0;
    } runStart_;
    static RunStart DriveFacts(char drive, int level);
    bool startupShowStateApplied_ = false;
};

} // namespace qvx
