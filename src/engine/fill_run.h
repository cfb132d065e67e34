#pragma once
// The sanitization run behind the Sanitize button: confirmation, leftover sweep, every pass of
// the level filling the drive's free space with fill files, their deletion, the live progress
// display and the closing message.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/fill_pass.h"
#include "engine/fill_volume.h"
#include "engine/levels.h"
#include "engine/run_host.h"
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
    int leftoversRemoved = 0;
    double elapsedDays = 0;
};

class FillRun : private PassListener {
public:
    FillRun(FillVolume& volume, RunHost& host);
    ~FillRun();
    FillRun(const FillRun&) = delete;
    FillRun& operator=(const FillRun&) = delete;

    // Sanitize_BitBtnClick. driveLetter: the drive selector's letter; levelIndex: the level
    // radio group's index; formats: the user's regional formats, read once per run.
    RunResult run(char driveLetter, int levelIndex, const FormatSettings& formats);

    bool running() const { return running_; }

    // The progress area was changed behind the run's back (a drive refresh during the run):
    // the next block display sets every text and the bar position again.
    void forgetShownTexts();

private:
    PassResult runPass(int pass);
    void showPass(int pass);
    void blockDisplay(std::uint32_t blockCount);
    int sweepLeftovers();
    void endRun(RunResult& result, const PassResult& failure);
    void showFailure(const PassResult& failure, int leftoversRemoved);

    // PassListener: the display and the window's messages between the drive's calls.
    void written(std::uint32_t bytes) override;
    void betweenFiles() override;
    bool stopRequested() override;

    void setText(DisplayItem item, std::string_view text);
    void setDuration(DisplayItem item, double days);

    FillVolume& volume_;
    RunHost& host_;
    bool running_ = false;

    // Run state.
    FormatSettings fs_;
    char letter_ = 'c';
    std::uint8_t driveNumber_ = 3;
    int passCount_ = 0;
    std::int64_t startFree_ = 0;
    std::int64_t planned_ = 0;
    std::int64_t passBytes_ = 0;
    std::int64_t written_ = 0;
    double startTime_ = 0;
    std::unique_ptr<BlockBuffer> buffer_;

    // What the display shows now, so that unchanged texts are neither formatted nor set.
    static constexpr int kUnknown = -1;
    std::array<std::string, kDisplayItemCount> shown_;
    std::array<bool, kDisplayItemCount> known_{};
    std::array<int, kDisplayItemCount> durationKey_{};  // whole seconds shown, or kUnknown
    std::int64_t barPosition_ = kUnknown;
    std::int64_t label11Bytes_ = kUnknown;
    std::int64_t label12Bytes_ = kUnknown;
    std::int64_t progressBytes_ = kUnknown;
    std::string scratch_;
};

} // namespace qvx::engine
