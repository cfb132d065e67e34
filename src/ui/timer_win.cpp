#include "ui/timer_win.h"

#include "ui/application_win.h"

#include <map>

namespace qvx::ui {

namespace {
std::map<UINT_PTR, Timer*>& Timers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}

LRESULT CALLBACK TimerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        if (auto it = Timers().find(wp); it != Timers().end()) it->second->fire();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// One hidden message-only window receives the ticks of every timer.
HWND TimerWindow() {
    static HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TimerWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuarvexTimers";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

UINT_PTR NextTimerId() {
    static UINT_PTR next = 1;
    return next++;
}
} // namespace

Timer::Timer(Form& owner, const ControlDesign& design)
    : Component(owner, design), enabled_(design.enabled), interval_(static_cast<unsigned>(design.interval)), id_(NextTimerId()) {
    Timers()[id_] = this;
    update();
}

Timer::~Timer() {
    if (running_) KillTimer(TimerWindow(), id_);
    Timers().erase(id_);
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    update();
}

void Timer::setInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    update();
}

void Timer::update() {
    if (running_) {
        KillTimer(TimerWindow(), id_);
        running_ = false;
    }
    if (enabled_ && interval_ > 0) running_ = SetTimer(TimerWindow(), id_, interval_, nullptr) != 0;
}

void Timer::fire() {
    if (OnTimer) OnTimer(*this);
}

} // namespace qvx::ui
