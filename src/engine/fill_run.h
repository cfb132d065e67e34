#pragma once
// The sanitization run behind the Sanitize button: confirmation, leftover sweep, every pass of
// the level filling the drive's free space with fill files, their deletion, the live progress
// display and the closing message.
//
// Two threads share a run. The window's thread asks, shows and ends it (this class's run()).
// The drive's thread does every call to the drive: the sweep, the free-space query and the
// passes (drive_work.cpp). Values cross through RunProgress; a stop request crosses the
// other way through it, and the volume is interrupted when a call of it blocks.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/fill_pass.h"
#include "engine/fill_volume.h"
#include "engine/levels.h"
#include "engine/run_host.h"
#include "engine/run_progress.h"
#include "platform/format_settings.h"

namespace qvx::engine {

enum class RunOutcome {
    Declined,         // No to the confirmation: nothing written
    LevelError,       // level index outside 0..100 (Internal Error #100)
    Completed,
    Aborted,          // Abort pressed
    ClosedDuringRun,  // the window was closed: aborted without a message box
    CreateFailed,     // a fill file could not be created while the drive had free space
    WriteFailed,      // a write or flush failed for another reason than a full drive
    NotFillable,      // the drive never became full (something made the writes take no room)
    DriveUnreadable,  // the drive's free space could not be read: no medium, locked, unreachable
    AlreadyRunning,   // a second call from inside the run's message processing
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Declined;
    int passCount = 0;
    int lastPass = 0;  // the pass that ran last (0: none)
    std::int64_t startFreeBytes = 0;
    std::int64_t plannedBytes = 0;
    std::int64_t writtenBytes = 0;
    int smallFilesWritten = 0;  // over all passes: free file records overwritten
    // The most free space that a pass, once the drive was full for this user, could not reach:
    // reserved storage, a quota.
    std::int64_t unreachableBytes = 0;
    int leftoversRemoved = 0;
    double startTime = 0;  // local, day-based: when the drive's work had taken the free space
    double elapsedDays = 0;
    // The closing box's text, also when none was shown (the window was closing).
    std::string message;
};

// What the drive's thread leaves for the run's end.
struct DriveOutcome {
    int lastPass = 0;
    bool stopped = false;  // it ended early because a stop was asked for
    PassResult failure;    // end Done unless a pass failed
    int smallFiles = 0;
    std::int64_t unreachableBytes = 0;  // the most of any pass
};

class FillRun {
public:
    FillRun(FillVolume& volume, RunHost& host);
    ~FillRun();
    FillRun(const FillRun&) = delete;
    FillRun& operator=(const FillRun&) = delete;

    // sanitize. driveLetter: the drive selector's letter; levelIndex: the level
    // radio group's index; formats: the user's regional formats, read once per run.
    RunResult run(char driveLetter, int levelIndex, const FormatSettings& formats);

    bool running() const { return running_; }

private:
    // Window's thread.
    DriveOutcome runDriveWork();
    void checkStop();
    void showProgress();
    void endRun(RunResult& result, const DriveOutcome& drive);
    std::string failureText(const PassResult& failure, bool started) const;
    void showFailure(const PassResult& failure, const std::string& text);

    FillVolume& volume_;
    RunHost& host_;
    bool running_ = false;

    // Run state, fixed when the run starts.
    FormatSettings fs_;
    char letter_ = 'c';
    int passCount_ = 0;  // 0 for a level outside the table
    std::int64_t startFree_ = 0;
    double startTime_ = 0;
    std::int64_t planned_ = 0;
    std::unique_ptr<RunProgress> progress_;

    // How far the display has followed the drive's thread.
    bool startShown_ = false;
    int passShown_ = 0;
    bool barStarted_ = false;
    int patternErrorsShown_ = 0;
    std::uint64_t writesShown_ = 0;
    bool showingProgress_ = false;
};

// The drive's share of a run, on the drive's thread: sweeps the leftovers, takes the free
// space and the start time, then runs the passes. `passCount` 0 stops after the start.
DriveOutcome RunDriveWork(FillVolume& volume, RunHost& host, RunProgress& progress, char driveLetter,
                          int passCount);

} // namespace qvx::engine
