#include "app/taskbar_progress.h"

#include <algorithm>

namespace qvx {

void TaskbarProgress::setButton(std::unique_ptr<TaskbarButton> button) {
    button_ = std::move(button);
    valueShown_.reset();
    if (!button_ || state_ == TaskbarState::None) return;
    button_->setState(state_);
    showValue();
}

void TaskbarProgress::start(int passCount) {
    running_ = true;
    total_ = static_cast<std::uint64_t>(std::max(passCount, 1)) * kStepsPerPass;
    value_ = 0;
    valueShown_.reset();
    setState(TaskbarState::Normal);
    showValue();
}

void TaskbarProgress::show(int pass, std::int64_t passBytes, std::int64_t startFreeBytes) {
    if (!running_ || pass < 1) return;
    // A pass may write a little more than the free space it started with (file records, a
    // drive that freed space): its share stops at whole.
    std::uint64_t share = 0;
    if (startFreeBytes > 0 && passBytes > 0)
        share = passBytes >= startFreeBytes
                    ? kStepsPerPass
                    : static_cast<std::uint64_t>(static_cast<double>(passBytes) / static_cast<double>(startFreeBytes) *
                                                 static_cast<double>(kStepsPerPass));
    value_ = std::min(static_cast<std::uint64_t>(pass - 1) * kStepsPerPass + share, total_);
    showValue();
}

void TaskbarProgress::errorBoxShown(bool up) {
    if (up) setState(TaskbarState::Error);
    else setState(running_ ? TaskbarState::Normal : TaskbarState::None);
}

void TaskbarProgress::clear() {
    running_ = false;
    setState(TaskbarState::None);
}

void TaskbarProgress::setState(TaskbarState state) {
    if (state == state_) return;
    state_ = state;
    if (state == TaskbarState::None) valueShown_.reset();
    if (button_) button_->setState(state);
}

void TaskbarProgress::showValue() {
    if (state_ == TaskbarState::None || valueShown_ == value_) return;
    valueShown_ = value_;
    if (button_) button_->setValue(value_, total_);
}

} // namespace qvx
