#include "engine/fill_run.h"

#include "engine/fill_files.h"
#include "engine/progress_text.h"
#include "engine/run_messages.h"

namespace qvx::engine {

namespace {

std::size_t Index(DisplayItem item) { return static_cast<std::size_t>(item); }

constexpr std::array<DisplayItem, 4> kTimeLabels = {
    DisplayItem::StartDateTimeLabel, DisplayItem::ElapsedTimeLabel,
    DisplayItem::RemainingDateTimeLabel, DisplayItem::TimeToCompletionLabel};

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

FillRun::FillRun(FillVolume& volume, RunHost& host) : volume_(volume), host_(host) {
    forgetShownTexts();
}

FillRun::~FillRun() = default;

void FillRun::forgetShownTexts() {
    known_.fill(false);
    durationKey_.fill(kUnknown);
    barPosition_ = kUnknown;
    label11Bytes_ = kUnknown;
    label12Bytes_ = kUnknown;
    progressBytes_ = kUnknown;
}

void FillRun::setText(DisplayItem item, std::string_view text) {
    const std::size_t i = Index(item);
    durationKey_[i] = kUnknown;
    if (known_[i] && shown_[i] == text) return;
    shown_[i].assign(text);
    known_[i] = true;
    host_.setCaption(item, text);
}

void FillRun::setDuration(DisplayItem item, double days) {
    const int key = DurationSecondsOfDay(days);
    const std::size_t i = Index(item);
    if (known_[i] && durationKey_[i] == key) return;
    scratch_.clear();
    AppendDurationText(scratch_, key, fs_);
    setText(item, scratch_);
    durationKey_[i] = key;
}

bool FillRun::stopRequested() {
    if (host_.abortTicked()) return true;
    if (host_.closeRequested()) {
        // Closing the window aborts the run; the flag stays ticked as after any abort.
        host_.setAbortTicked(true);
        return true;
    }
    return false;
}

RunResult FillRun::run(char driveLetter, int levelIndex, const FormatSettings& formats) {
    RunResult result;
    if (running_) {
        result.outcome = RunOutcome::AlreadyRunning;
        return result;
    }
    RunningFlag flag(running_);

    letter_ = LowerDriveLetter(driveLetter);
    driveNumber_ = DriveNumber(letter_);
    fs_ = formats;

    host_.showSanitizePage();
    host_.refreshDrivePanel();
    forgetShownTexts();
    if (!host_.confirm(ConfirmationText(letter_, levelIndex))) {
        result.outcome = RunOutcome::Declined;
        return result;
    }

    for (DisplayItem item : kTimeLabels) setText(item, "");
    host_.setRunningControls(true);
    host_.setAbortTicked(false);

    // Before the free-space query, so that the space they held is wiped by this run.
    result.leftoversRemoved = sweepLeftovers();

    startFree_ = volume_.freeSpace(driveNumber_).forUser;
    if (startFree_ < 0) startFree_ = 0;
    startTime_ = host_.now();
    setText(DisplayItem::StartDateTimeLabel, StartStampText(startTime_, fs_));
    written_ = 0;
    result.startFreeBytes = startFree_;

    const std::optional<int> passes = PassCount(levelIndex);
    if (!passes) {
        host_.showInformation(std::string(kInternalError100));
        // The window must not stay locked in its running state.
        host_.setRunningControls(false);
        result.outcome = RunOutcome::LevelError;
        return result;
    }
    passCount_ = *passes;
    planned_ = static_cast<std::int64_t>(passCount_) * startFree_;
    result.passCount = passCount_;
    result.plannedBytes = planned_;

    buffer_ = std::make_unique<BlockBuffer>();
    PassResult failure;
    for (int pass = 1; pass <= passCount_; ++pass) {
        result.lastPass = pass;
        const PassResult done = runPass(pass);
        result.smallFilesWritten += done.smallFiles;
        if (done.end != PassEnd::Done && done.end != PassEnd::Stopped) {
            failure = done;
            break;
        }
        if (stopRequested()) break;
    }
    buffer_.reset();
    endRun(result, failure);
    return result;
}

int FillRun::sweepLeftovers() {
    int removed = 0;
    for (const std::string& name : volume_.listLeftoverFillFiles(letter_)) {
        if (volume_.deleteLeftoverFillFile(name)) ++removed;
        host_.processMessages();
    }
    return removed;
}

void FillRun::showPass(int pass) {
    const std::string passText = PassText(pass, passCount_);
    setText(DisplayItem::PassLabel, passText);
    setText(DisplayItem::ProgressGroupBox, ProgressCaptionText(pass, passCount_));
    setText(DisplayItem::PassLabel, PassLabelText(pass, passCount_));
}

PassResult FillRun::runPass(int pass) {
    showPass(pass);
    host_.processMessages();

    if (!FillBlockBuffer(*buffer_, pass)) host_.showInformation(std::string(kInternalError200));

    passBytes_ = 0;
    const std::int64_t barMaximum = startFree_ / 1'048'576;
    host_.setProgressRange(0, barMaximum);
    host_.setProgressPosition(0);
    barPosition_ = 0;
    host_.flushDisplay();

    return FillPass(volume_, *this, letter_, *buffer_).run();
}

void FillRun::written(std::uint32_t bytes) {
    passBytes_ += bytes;
    written_ += bytes;
    blockDisplay(bytes);
    host_.processMessages();
}

void FillRun::betweenFiles() { host_.processMessages(); }

void FillRun::blockDisplay(std::uint32_t blockCount) {
    const std::int64_t position = passBytes_ / 1'048'576;
    if (position != barPosition_) {
        barPosition_ = position;
        host_.setProgressPosition(position);
    }

    if (passBytes_ != progressBytes_ || !known_[Index(DisplayItem::ProgressLabel)]) {
        progressBytes_ = passBytes_;
        scratch_.clear();
        AppendMbText(scratch_, passBytes_, fs_);
        setText(DisplayItem::ProgressLabel, scratch_);
    }

    const double elapsed = host_.now() - startTime_;
    setDuration(DisplayItem::ElapsedTimeLabel, elapsed);

    double total = 0;

    if (written_ != label11Bytes_ || !known_[Index(DisplayItem::Label11)]) {
        label11Bytes_ = written_;
        scratch_.clear();
        AppendMbText(scratch_, written_, fs_);
        setText(DisplayItem::Label11, scratch_);
    }
    if (planned_ != label12Bytes_ || !known_[Index(DisplayItem::Label12)]) {
        label12Bytes_ = planned_;
        scratch_.clear();
        AppendMbText(scratch_, planned_, fs_);
        setText(DisplayItem::Label12, scratch_);
    }

    // A straight-line projection from the share written so far; only a full block gives one,
    // and written_ is then at least one block.
    if (blockCount == kBlockSize) {
        total = elapsed * static_cast<double>(planned_) / static_cast<double>(written_);
        if (total >= 0) setDuration(DisplayItem::TimeToCompletionLabel, total);
    }
    const double remaining = total - elapsed;
    if (remaining >= 0) setDuration(DisplayItem::RemainingDateTimeLabel, remaining);
}

void FillRun::endRun(RunResult& result, const PassResult& failure) {
    const bool failed = failure.end != PassEnd::Done && failure.end != PassEnd::Stopped;
    const bool aborted = !failed && (host_.abortTicked() || host_.closeRequested());
    if (!aborted && !failed) {
        const std::string elapsedText = shown_[Index(DisplayItem::ElapsedTimeLabel)];
        setText(DisplayItem::TimeToCompletionLabel, elapsedText);
        setDuration(DisplayItem::RemainingDateTimeLabel, 0.0);
    }
    host_.setRunningControls(false);
    result.elapsedDays = host_.now() - startTime_;
    result.writtenBytes = written_;
    host_.flushDisplay();
    host_.processMessages();

    // A window that is closing gets no message box (and no beep).
    const bool closing = host_.closeRequested();

    if (failed) {
        result.outcome = failure.end == PassEnd::CreateFailed ? RunOutcome::CreateFailed
                         : failure.end == PassEnd::WriteFailed ? RunOutcome::WriteFailed
                                                               : RunOutcome::NotFillable;
        if (!closing) showFailure(failure, result.leftoversRemoved);
        return;
    }
    if (aborted) {
        result.outcome = closing ? RunOutcome::ClosedDuringRun : RunOutcome::Aborted;
        setText(DisplayItem::PassLabel, kAbortedLabelText);
        setText(DisplayItem::ProgressGroupBox, kAbortedLabelText);
        setText(DisplayItem::ProgressLabel, kAbortedLabelText);
        host_.flushDisplay();
        if (!closing)
            host_.showInformation(
                WithLeftoverLine(std::string(kAbortedMessage), result.leftoversRemoved));
        return;
    }
    result.outcome = RunOutcome::Completed;
    if (closing) return;
    host_.completionBeep();
    const std::string speed = SpeedText(written_, result.elapsedDays, fs_);
    host_.showInformation(WithLeftoverLine(CompletionText(letter_, speed), result.leftoversRemoved));
}

void FillRun::showFailure(const PassResult& failure, int leftoversRemoved) {
    std::string text;
    switch (failure.end) {
    case PassEnd::CreateFailed: text = CreateFailedText(letter_, failure.failedFile); break;
    case PassEnd::WriteFailed: text = WriteFailedText(letter_, failure.failedFile); break;
    default: text = NotFillableText(letter_); break;
    }
    host_.showError(WithLeftoverLine(std::move(text), leftoversRemoved));
}

} // namespace qvx::engine
