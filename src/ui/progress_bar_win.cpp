#include "ui/progress_bar_win.h"

#include <commctrl.h>

#include <algorithm>

namespace qvx::ui {

ProgressBar::ProgressBar(Form& owner, const ControlSpec& spec, Control* parent) : Control(owner, spec, parent) {}

Control::WindowClass ProgressBar::windowClass() const { return {PROGRESS_CLASSW, PBS_SMOOTH, 0}; }

void ProgressBar::afterCreate() {
    SendMessageW(hwnd_, PBM_SETRANGE32, min_, max_);
    SendMessageW(hwnd_, PBM_SETPOS, position_, 0);
}

void ProgressBar::setRange(int min, int max) {
    if (max < min) max = min;
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, max_);
    markDirty(DirtyKind);
}

void ProgressBar::setPosition(int position) {
    position = std::clamp(position, min_, max_);
    if (position == position_) return;
    position_ = position;
    markDirty(DirtyKind);
}

void ProgressBar::applyDirty(unsigned bits) {
    Control::applyDirty(bits);
    if (hwnd_ && (bits & DirtyKind)) afterCreate();
}

} // namespace qvx::ui
