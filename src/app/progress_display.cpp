#include "app/progress_display.h"

#include "engine/levels.h"
#include "engine/progress_text.h"

#include <limits>

namespace qvx {

namespace {
constexpr std::int64_t kNoValue = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMiB = 1'048'576;
constexpr ProgressText kTimes[] = {ProgressText::StartTime, ProgressText::ElapsedTime, ProgressText::RemainingTime,
                                   ProgressText::TotalTime};
} // namespace

void ProgressDisplay::forget() {
    known_.fill(false);
    barMaximum_ = barPosition_ = -1;
    fullWritesShown_ = 0;
}

void ProgressDisplay::setText(ProgressText item, std::string_view text) {
    const std::size_t i = Index(item);
    value_[i] = kNoValue;
    if (known_[i] && shown_[i] == text) return;
    shown_[i].assign(text);
    known_[i] = true;
    area_.setText(item, text);
}

void ProgressDisplay::setDuration(ProgressText item, double days) {
    const std::int64_t seconds = engine::DurationSeconds(days);
    const std::size_t i = Index(item);
    if (known_[i] && value_[i] == seconds) return;
    scratch_.clear();
    engine::AppendDurationText(scratch_, static_cast<int>(seconds), fs_);
    setText(item, scratch_);
    value_[i] = seconds;
}

void ProgressDisplay::setBytes(ProgressText item, std::int64_t bytes) {
    const std::size_t i = Index(item);
    if (known_[i] && value_[i] == bytes) return;
    scratch_.clear();
    engine::AppendMbText(scratch_, bytes, fs_);
    setText(item, scratch_);
    value_[i] = bytes;
}

void ProgressDisplay::clearTimes() {
    for (ProgressText item : kTimes) setText(item, "");
}

void ProgressDisplay::showStart(double startTime) { setText(ProgressText::StartTime, engine::StartStampText(startTime, fs_)); }

void ProgressDisplay::showPass(int pass, int passCount) {
    setText(ProgressText::GroupCaption, engine::ProgressCaptionText(pass, passCount));
    setText(ProgressText::Pass, engine::PassLabelText(pass, passCount));
}

void ProgressDisplay::startBar(std::int64_t maximum) {
    area_.setBarRange(0, maximum);
    area_.setBarPosition(0);
    barMaximum_ = maximum;
    barPosition_ = 0;
}

void ProgressDisplay::showWrite(const engine::ProgressValues& v, std::int64_t plannedBytes) {
    const std::int64_t position = v.passBytes / kMiB;
    if (position != barPosition_) {
        barPosition_ = position;
        area_.setBarPosition(position);
    }
    setBytes(ProgressText::PassMegabytes, v.passBytes);
    setDuration(ProgressText::ElapsedTime, v.elapsedDays);
    setBytes(ProgressText::WrittenMegabytes, v.writtenBytes);
    setBytes(ProgressText::PlannedMegabytes, plannedBytes);
    if (v.fullWrites != fullWritesShown_) {
        fullWritesShown_ = v.fullWrites;
        showEstimates(v.elapsedAtFull, v.writtenAtFull, plannedBytes);
    }
    // A write of less than a block gives no estimate: the estimated total counts as 0, and the
    // remaining time shows only when that is not negative.
    if (v.lastWrite != engine::kBlockSize && v.elapsedDays <= 0) setDuration(ProgressText::RemainingTime, 0.0);
}

// A straight-line projection from the share written by the last whole block; written is then
// at least one block.
void ProgressDisplay::showEstimates(double elapsed, std::int64_t written, std::int64_t plannedBytes) {
    const double total = elapsed * static_cast<double>(plannedBytes) / static_cast<double>(written);
    if (total >= 0) setDuration(ProgressText::TotalTime, total);
    const double remaining = total - elapsed;
    if (remaining >= 0) setDuration(ProgressText::RemainingTime, remaining);
}

void ProgressDisplay::showCompleted() {
    // The elapsed time as the run showed it (a refresh behind its back may have cleared it).
    const std::size_t elapsed = Index(ProgressText::ElapsedTime);
    const std::string elapsedText = known_[elapsed] ? shown_[elapsed] : area_.textNow(ProgressText::ElapsedTime);
    setText(ProgressText::TotalTime, elapsedText);
    setDuration(ProgressText::RemainingTime, 0.0);
}

void ProgressDisplay::showAborted() {
    for (ProgressText item : {ProgressText::Pass, ProgressText::GroupCaption, ProgressText::PassMegabytes})
        setText(item, engine::kAbortedLabelText);
}

bool ProgressDisplay::repair() {
    bool repaired = false;
    for (int i = 0; i < kProgressTextCount; ++i) {
        const auto item = static_cast<ProgressText>(i);
        if (!known_[Index(item)] || area_.textNow(item) == shown_[Index(item)]) continue;
        area_.setText(item, shown_[Index(item)]);
        repaired = true;
    }
    if (barMaximum_ >= 0 && (area_.barMaximumNow() != barMaximum_ || area_.barPositionNow() != barPosition_)) {
        area_.setBarRange(0, barMaximum_);
        area_.setBarPosition(barPosition_);
        repaired = true;
    }
    return repaired;
}

} // namespace qvx
