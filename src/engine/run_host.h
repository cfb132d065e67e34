#pragma once
// What the fill run needs of the main window. The window implements it (MainForm); tests
// use a recording fake.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/run_progress.h"

namespace qvx::engine {

class RunHost {
public:
    virtual ~RunHost() = default;

    // The window turns to its "Sanitize" page.
    virtual void showSanitizePage() = 0;
    // The drive panel refreshed, and the progress area back to its idle look.
    virtual void refreshDrivePanel() = 0;
    // Yes/No question box (kind Confirm); true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // OK boxes of kind Information and Error.
    virtual void showInformation(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    // An error box with Yes and No; true for Yes.
    virtual bool askError(const std::string& text) = 0;

    // Whether the program runs with administrator rights.
    virtual bool elevated() = 0;
    // Once the run has ended: closes the window (which writes the settings, drive and level
    // included) and starts the program again with administrator rights.
    virtual void restartElevated() = 0;

    // running: the button switch off, abortButton enabled, driveList disabled.
    // idle: the button switch on, driveList enabled, abortButton disabled.
    virtual void setRunningControls(bool running) = 0;

    // The Abort button was pressed (the flag stays set after an aborted run until the next).
    virtual bool abortRequested() = 0;
    virtual void setAbortRequested(bool requested) = 0;
    // The main window was asked to close during the run; the run treats it like Abort and
    // ends without a message box.
    virtual bool closeRequested() = 0;

    // Lets pending window messages through.
    virtual void processMessages() = 0;

    // The drive's share of a run: `work` runs on a thread of its own, so that no write or
    // flush, however long it blocks, keeps the window from answering. runDriveWork returns
    // when the work has ended. Meanwhile `checkStop` runs on the window's thread after every
    // message it handles, and `showProgress` at the screen's pace (also while a message box or
    // another modal loop is up) and once more after the work has ended.
    struct DriveWork {
        std::function<void()> work;
        std::function<void()> checkStop;
        std::function<void()> showProgress;
    };
    virtual void runDriveWork(const DriveWork& drive) = 0;
    // Called on the drive's thread after every write, file and deletion.
    virtual void driveProgressed() {}
    // Called on the drive's thread at the start of every pass: returns once the window shows
    // what the drive's thread has reached, so that no file of a pass is on the drive before
    // the window says which pass it is.
    virtual void awaitDisplay() {}

    // Local date and time as a day-based value (platform/date_time.h). Also called on the
    // drive's thread.
    virtual double now() = 0;
    // The 400 Hz, 250 ms completion beep (with its own message processing).
    virtual void completionBeep() = 0;

    // The progress area, as values: the window makes its texts. It may defer drawing them
    // until flushDisplay or its own screen pace.
    virtual void clearTimes() = 0;  // the four time texts, at the start
    virtual void showStart(double startTime) = 0;
    virtual void showPass(int pass, int passCount) = 0;
    virtual void startBar(std::int64_t maximum) = 0;  // in MiB, the bar at 0
    virtual void showWrite(const ProgressValues& reached, std::int64_t plannedBytes) = 0;
    virtual void showCompleted() = 0;
    virtual void showAborted() = 0;
    // Called at every pass start and at the end: push pending changes to the screen now.
    virtual void flushDisplay() = 0;
};

} // namespace qvx::engine
