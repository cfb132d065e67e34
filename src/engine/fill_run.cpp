#include "engine/fill_run.h"

#include "engine/fill_files.h"
#include "engine/progress_text.h"
#include "engine/run_messages.h"

#include <exception>

namespace qvx::engine {

namespace {

std::string WithLeftoverLine(std::string text, int leftoversRemoved) {
    if (leftoversRemoved > 0) {
        text += "\r\n\r\n";
        text += LeftoversRemovedText(leftoversRemoved);
    }
    return text;
}

// Resets running_ on every way out of run().
struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
};

} // namespace

FillRun::FillRun(FillVolume& volume, RunHost& host) : volume_(volume), host_(host) {}

FillRun::~FillRun() = default;

RunResult FillRun::run(char driveLetter, int levelIndex, const FormatSettings& formats) {
    RunResult result;
    if (running_) {
        result.outcome = RunOutcome::AlreadyRunning;
        return result;
    }
    RunningFlag flag(running_);

    letter_ = LowerDriveLetter(driveLetter);
    fs_ = formats;

    host_.showSanitizePage();
    host_.refreshDrivePanel();
    if (!host_.confirm(ConfirmationText(letter_, levelIndex))) {
        result.outcome = RunOutcome::Declined;
        return result;
    }

    host_.clearTimes();
    host_.setRunningControls(true);
    host_.setAbortRequested(false);
    // The window is locked before the first call to the drive.
    host_.flushDisplay();

    const std::optional<int> passes = PassCount(levelIndex);
    passCount_ = passes.value_or(0);
    const DriveOutcome drive = runDriveWork();
    const ProgressValues reached = progress_->snapshot();
    result.leftoversRemoved = reached.leftoversRemoved;
    result.startFreeBytes = startFree_;
    result.startTime = startTime_;
    if (!passes) {
        result.message = kInternalError100;
        host_.showInformation(result.message);
        // The window must not stay locked in its running state.
        host_.setRunningControls(false);
        result.outcome = RunOutcome::LevelError;
        return result;
    }
    result.passCount = passCount_;
    result.plannedBytes = planned_;
    result.lastPass = drive.lastPass;
    result.smallFilesWritten = drive.smallFiles;
    result.unreachableBytes = drive.unreachableBytes;
    result.writtenBytes = reached.writtenBytes;
    endRun(result, drive);
    return result;
}

DriveOutcome FillRun::runDriveWork() {
    progress_ = std::make_unique<RunProgress>();
    startShown_ = barStarted_ = false;
    passShown_ = patternErrorsShown_ = 0;
    writesShown_ = 0;
    DriveOutcome drive;
    std::exception_ptr thrown;
    host_.runDriveWork({[&] {
                            try {
                                drive = RunDriveWork(volume_, host_, *progress_, letter_, passCount_);
                            } catch (...) {
                                thrown = std::current_exception();
                            }
                        },
                        [this] { checkStop(); }, [this] { showProgress(); }});
    if (thrown) {
        host_.setRunningControls(false);
        std::rethrow_exception(thrown);
    }
    return drive;
}

void FillRun::checkStop() {
    if (!progress_->stopRequested()) {
        bool stop = host_.abortRequested();
        if (!stop && host_.closeRequested()) {
            // Closing the window aborts the run; the flag stays ticked as after any abort.
            host_.setAbortRequested(true);
            stop = true;
        }
        if (!stop) return;
        progress_->requestStop();
    }
    // Again after every message until the drive's work has ended: a drive call that was only
    // about to begin when the stop came is not missed.
    volume_.interrupt();
}

void FillRun::showProgress() {
    // A box shown from here runs a message loop of its own, which shows progress too.
    if (showingProgress_) return;
    showingProgress_ = true;
    const ProgressValues v = progress_->snapshot();
    if (v.started && !startShown_) {
        startShown_ = true;
        startFree_ = v.startFreeBytes;
        startTime_ = v.startTime;
        planned_ = static_cast<std::int64_t>(passCount_) * startFree_;
        host_.showStart(startTime_);
    }
    if (v.pass != passShown_) {
        passShown_ = v.pass;
        barStarted_ = false;
        host_.showPass(v.pass, passCount_);
        host_.flushDisplay();
    }
    for (; patternErrorsShown_ < v.patternErrors; ++patternErrorsShown_)
        host_.showInformation(std::string(kInternalError200));
    if (v.patternReady && !barStarted_) {
        barStarted_ = true;
        host_.startBar(startFree_ / 1'048'576);
        host_.flushDisplay();
    }
    if (v.writes != writesShown_) {
        writesShown_ = v.writes;
        host_.showWrite(v, planned_);
    }
    showingProgress_ = false;
}

void FillRun::endRun(RunResult& result, const DriveOutcome& drive) {
    const PassResult& failure = drive.failure;
    const bool failed = failure.end != PassEnd::Done && failure.end != PassEnd::Stopped;
    const bool aborted = !failed && (host_.abortRequested() || host_.closeRequested());
    if (!aborted && !failed) host_.showCompleted();
    host_.setRunningControls(false);
    result.elapsedDays = host_.now() - startTime_;
    host_.flushDisplay();
    host_.processMessages();

    // A window that is closing gets no message box (and no beep).
    const bool closing = host_.closeRequested();

    if (failed) {
        result.outcome = failure.end == PassEnd::CreateFailed      ? RunOutcome::CreateFailed
                         : failure.end == PassEnd::WriteFailed     ? RunOutcome::WriteFailed
                         : failure.end == PassEnd::DriveUnreadable ? RunOutcome::DriveUnreadable
                                                                   : RunOutcome::NotFillable;
        result.message = WithLeftoverLine(failureText(failure, drive.lastPass > 0), result.leftoversRemoved);
        if (!closing) showFailure(failure, result.message);
        return;
    }
    if (aborted) {
        result.outcome = closing ? RunOutcome::ClosedDuringRun : RunOutcome::Aborted;
        host_.showAborted();
        host_.flushDisplay();
        result.message = WithLeftoverLine(std::string(kAbortedMessage), result.leftoversRemoved);
        if (!closing) host_.showInformation(result.message);
        return;
    }
    result.outcome = RunOutcome::Completed;
    const std::string speed = SpeedText(result.writtenBytes, result.elapsedDays, fs_);
    std::string text = CompletionText(letter_, speed);
    if (result.unreachableBytes > kReportedUnreachableBytes) {
        text += "\r\n\r\n";
        text += UnreachableSpaceText(result.unreachableBytes, fs_);
    }
    result.message = WithLeftoverLine(std::move(text), result.leftoversRemoved);
    if (closing) return;
    host_.completionBeep();
    host_.showInformation(result.message);
}

std::string FillRun::failureText(const PassResult& failure, bool started) const {
    switch (failure.end) {
    case PassEnd::CreateFailed: return CreateFailedText(letter_, failure.failedFile);
    case PassEnd::WriteFailed: return WriteFailedText(letter_, failure.failedFile);
    case PassEnd::DriveUnreadable: return DriveUnreadableText(letter_, started);
    default: return NotFillableText(letter_);
    }
}

void FillRun::showFailure(const PassResult& failure, const std::string& text) {
    // A standard user may create folders in the system drive's root, but not files.
    if (failure.end == PassEnd::CreateFailed && failure.accessDenied && !host_.elevated()) {
        if (host_.askError(text + "\r\n\r\n" + NeedsAdministratorText(letter_))) host_.restartElevated();
        return;
    }
    host_.showError(text);
}

} // namespace qvx::engine
