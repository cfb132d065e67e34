#include "ui/timer_service_win.h"

namespace qvx::ui {

namespace {
constexpr wchar_t kWindowClass[] = L"QuarvexTimers";
// Sent by another thread: lParam points at the work, which the sender keeps while it waits.
constexpr UINT kRunWorkMessage = WM_APP + 1;
constexpr UINT kPostedWorkMessage = WM_APP + 2;  // lParam: a std::function the message owns
} // namespace

TimerService::TimerId TimerService::add(std::function<void()> tick) {
    const TimerId id = nextId_++;
    timers_[id].tick = std::make_shared<const std::function<void()>>(std::move(tick));
    return id;
}

void TimerService::remove(TimerId id) {
    stop(id);
    timers_.erase(id);
}

bool TimerService::start(TimerId id, unsigned milliseconds) {
    const auto it = timers_.find(id);
    if (it == timers_.end() || !window()) return false;
    // The same identifier again replaces the system's timer: the countdown starts anew.
    it->second.running = setTimer_(window_.get(), id, milliseconds, nullptr) != 0;
    return it->second.running;
}

void TimerService::stop(TimerId id) {
    const auto it = timers_.find(id);
    if (it == timers_.end() || !it->second.running) return;
    KillTimer(window_.get(), id);
    it->second.running = false;
}

bool TimerService::running(TimerId id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second.running;
}

HWND TimerService::window() {
    if (window_) return window_.get();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly when a window was made before
    window_.reset(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this));
    return window_.get();
}

void TimerService::runOnWindowThread(const std::function<void()>& work) const {
    SendMessageW(window_.get(), kRunWorkMessage, 0, reinterpret_cast<LPARAM>(&work));
}

bool TimerService::post(HWND window, std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    if (!window || !PostMessageW(window, kPostedWorkMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) return false;
    owned.release();  // the message owns it now
    return true;
}

TimerService::SetTimerFunction TimerService::replaceSetTimer(SetTimerFunction setTimer) {
    const SetTimerFunction previous = setTimer_;
    setTimer_ = setTimer ? setTimer : ::SetTimer;
    return previous;
}

void TimerService::onTimer(TimerId id) {
    // A tick the system posted before its timer was stopped may still arrive.
    const auto it = timers_.find(id);
    if (it == timers_.end() || !it->second.running) return;
    const auto tick = it->second.tick;
    (*tick)();
}

LRESULT CALLBACK TimerService::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* service = reinterpret_cast<TimerService*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_TIMER:
        if (service) service->onTimer(wp);
        return 0;
    case kRunWorkMessage:
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        return 0;
    case kPostedWorkMessage: {
        const std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lp));
        (*work)();
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace qvx::ui
