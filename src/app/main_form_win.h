#pragma once
// The main window: two pages (drive panel and progress; sanitization level), four buttons along
// the bottom and the File and Help menus.
#include "app/command_line.h"
#include "app/layout_record.h"
#include "app/run_record.h"
#include "app/taskbar_progress.h"
#include "drive/drive_info_win.h"
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
#include "ui/message_box_win.h"
#include "ui/menu_win.h"
#include "ui/page_control_win.h"
#include "ui/progress_bar_win.h"
#include "ui/radio_group_win.h"
#include "ui/late_answers_win.h"
#include "ui/timer_win.h"

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace qvx {

class AboutBox;

class MainForm : public ui::Form {
public:
    MainForm();
    ~MainForm() override;

    void createHandle() override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // The About box whose texts the start-up sequence sets and which Help > About shows.
    void setAboutBox(AboutBox* about) { aboutBox_ = about; }
    AboutBox* aboutBox() const { return aboutBox_; }

    // --- controls ------------------------------------------------------------------------
    ui::PageControl& pages;
    ui::TabSheet& sanitizePage;
    ui::TabSheet& settingsPage;
    ui::GroupBox& driveGroup;
    ui::DriveComboBox& driveList;
    ui::Label& diskSpaceLabel;
    ui::Label& volumeNameLabel;
    ui::Label& volumeSerialLabel;
    ui::Label& fileSystemLabel;
    ui::Label& writtenMegabytesLabel;
    ui::Label& plannedMegabytesLabel;
    ui::GroupBox& progressGroup;
    ui::Label& passLabel;
    ui::ProgressBar& progressBar;
    ui::Label& passMegabytesLabel;
    ui::Label& startTimeLabel;
    ui::Label& elapsedTimeLabel;
    ui::Label& remainingTimeLabel;
    ui::Label& totalTimeLabel;
    ui::RadioGroup& levelGroup;
    ui::GroupBox& levelDescriptionGroup;
    std::array<ui::Memo*, 6> levelDescriptions;
    ui::Button& levelDescriptionButton;
    ui::BitBtn& refreshButton;
    ui::BitBtn& sanitizeButton;
    ui::BitBtn& abortButton;
    ui::BitBtn& exitButton;
    ui::MenuItem& alwaysOnTopItem;
    ui::MenuItem& autoRunItem;
    ui::MenuItem& restoreDefaultsItem;
    ui::MenuItem& exitItem;
    ui::MenuItem& readmeItem;
    ui::MenuItem& catalogItem;
    ui::MenuItem& helpMenuSeparator;
    ui::MenuItem& aboutItem;
    ui::MenuItem& spareMenu;

    // --- start-up and closing -----------------------------------------------------------------
    void runStartUp();
    void closeQuery(bool& canClose);
    void applyProductCaptions();
    // The About box's part of the product captions (its stored texts).
    void applyAboutBoxCaptions();
    void applyLauncherShowState();

    // --- drive details ---------------------------------------------------------------------
    // The drive is asked on a thread of its own; a drive that takes longer than a moment to
    // answer shows "0" and empty texts until its answer comes.
    void refreshDrivePanel();

    // --- levels and the run ------------------------------------------------------------------
    // The selected level's description and the window caption.
    void showLevelDescription();
    void sanitize();
    // The Abort button: the run stops after the drive call it is in.
    void requestAbort() { abortRequested_ = true; }
    bool abortRequested() const { return abortRequested_; }
    void setAbortRequested(bool requested) { abortRequested_ = requested; }
    // Sets every push button of the window (hidden ones included) enabled or disabled.
    void setButtonsEnabled(bool enabled);
    bool running() const { return running_; }
    // Makes the volume a run writes through (the drive's own when empty); tests put a double in.
    std::function<std::unique_ptr<engine::FillVolume>()> makeFillVolume;

    // --- settings file, layout scaling, always on top, auto-run ------------------------------
    void readSettings();
    void writeSettings();
    void restoreFactoryDefaults();
    void recordLayout();
    void rescaleLayout();
    const std::optional<LayoutRecord>& layoutRecord() const { return layoutRecord_; }
    void toggleAlwaysOnTop();
    void toggleAutoRun();
    // true when the program's Run entry exists (may ask to update a moved program's entry).
    bool checkAutoRunPath();
    // The settings file beside the executable, and the one in the user's application-data
    // folder that takes its place where the program's folder cannot be written (empty when the
    // user has no such folder).
    static std::string settingsPath();
    static std::string userSettingsPath();

    // --- unattended runs and the run record --------------------------------------------------
    // The program's command line: the runs it asks for start once the window is up, one drive
    // after another.
    void setCommandLine(CommandLine commandLine);
    // Where the run record is appended, in the order tried: beside the settings file.
    static std::vector<std::string> runRecordPaths();

    // --- Help menu ---------------------------------------------------------------------------
    void viewReadme();
    void viewCatalog();
    void showAboutBox();

protected:
    // The layout record places every control, at any DPI (nothing before it is taken).
    void layoutForDpi() override { rescaleLayout(); }

private:
    class RunHostAdapter;
    // What became of a run on one drive.
    struct DriveRunEnd {
        ExitCode code = ExitCode::Completed;
        std::string message;        // its closing box's text, shown or not; empty when nothing ran
        bool stopsCommand = false;  // No to the confirmation, Abort, or the window closing
    };
    // A run on `drive` (claimed against other copies of the program), recorded.
    DriveRunEnd runOnDrive(char drive, bool fromCommandLine);
    // The moment now, in UTC (day-based), as the run record takes it.
    static double utcNow();
    // The 400 Hz, 250 ms beep of a completed run (or of a command whose drives all completed).
    static void completionBeep();
    // Another copy runs on the drive: said in a box, or recorded when no box may show.
    DriveRunEnd refuseBusyDrive(char drive, bool fromCommandLine);
    // Whatever was asked for during the runs: a restart as administrator, the end of a
    // command-line run with /exit (with `code`), or a close.
    void afterRuns(bool fromCommandLine, ExitCode code);
    void startFromCommandLine();
    // The command line's drives, one after another at the one level.
    void runCommand(const std::vector<char>& drives);
    // The end of a command-line run with /exit: the exit code, then the window closes.
    void exitAfterCommandLine(ExitCode code);
    // Appends the record of a run (or of a command line that could not start one), and writes its
    // event; false when no place took the record.
    bool recordRun(const engine::RunResult* result, const std::string& errorMessage, bool fromCommandLine);
    // A box of a run. An error box turns the taskbar's bar red while it is up. The closing box
    // (`runEnded`) takes the bar away, and the taskbar button flashes first when the window is not
    // in the foreground.
    ui::MsgResult runBox(const std::string& text, ui::MsgKind kind, ui::MsgButtons buttons, bool runEnded);
    void bindEvents();
    void makeGlyphs();
    // The drive panel's texts: the answers, or "0" and empty texts while there are none.
    void showDriveAnswers(const std::optional<DriveAnswers>& answers);
    void driveAnswered(char drive, const DriveAnswers& answers);
    // The layout's own extent in 96-DPI units: the page control with its left margin on both
    // sides, and down to the bottom of the buttons with the page control's top margin below.
    SIZE layoutExtent() const;

    AboutBox* aboutBox_ = nullptr;
    bool running_ = false;
    // A close request that arrived during a run: honoured once the run has cleaned up.
    bool closeAfterRun_ = false;
    // The user asked to restart as administrator: done once the run has ended.
    bool restartElevatedAfterRun_ = false;
    bool startMaximized_ = false;
    // Set by Abort (and by a close during a run); read by tests on other threads too.
    std::atomic<bool> abortRequested_{false};
    // Taken once, at the first start-up; every resize scales from it.
    std::optional<LayoutRecord> layoutRecord_;
    CommandLine commandLine_;
    std::unique_ptr<ui::Timer> commandLineStart_;
    bool commandLineRun_ = false;  // the run going on was started by the command line
    // A command line's runs going on.
    struct Command {
        // Several drives: no closing box between them, one for all at the end.
        bool holdBoxes = false;
        // The one confirmation for all drives was answered: the runs ask no more.
        bool confirmed = false;
    };
    std::optional<Command> command_;
    TaskbarProgress taskbar_;
    // What the record of the run going on needs from its start.
    struct RunStart {
        char drive = 0;
        int level = 0;
        double utc = 0;  // when the drive's work had taken the free space (day-based, UTC)
    } runStart_;
    // The latest answers of each drive the panel asked (lower-case letter); a run's record
    // takes its drive's from here.
    std::map<char, DriveAnswers> driveAnswers_;
    ui::LateAnswers lateAnswers_;
    bool startupShowStateApplied_ = false;
};

} // namespace qvx
