#include "gifimage/frame_timer_win.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "ui/application_win.h"

namespace qvx::gif {

LRESULT CALLBACK SyncWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kSyncTickMessage = WM_APP + 1;
constexpr wchar_t kTimerWindowClass[] = L"QuarvexTimerExWindow";
constexpr wchar_t kSyncWindowClass[] = L"QuarvexTimerExSync";

SetTimerFunction g_setTimer = ::SetTimer;

LRESULT CALLBACK TimerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void RegisterClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = TimerWindowProc;
        wc.lpszClassName = kTimerWindowClass;
        RegisterClassExW(&wc);
        wc.lpfnWndProc = SyncWindowProc;
        wc.lpszClassName = kSyncWindowClass;
        RegisterClassExW(&wc);
    });
}

HWND CreateMessageWindow(const wchar_t* cls) {
    RegisterClasses();
    HWND hwnd = CreateWindowExW(0, cls, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw OutOfResourcesError("Cannot create the timer window");
    return hwnd;
}

// The window through which workers run ticks on this (the GUI) thread; one per thread.
HWND SyncWindow() {
    thread_local HWND window = nullptr;
    if (window == nullptr || !IsWindow(window)) window = CreateMessageWindow(kSyncWindowClass);
    return window;
}

void ReportError(const char* what, bool onGuiThread) {
    if (onGuiThread) {
        ui::Application::instance().showException(what);
    } else {
        OutputDebugStringA((std::string("Timer: ") + what + "\n").c_str());
    }
}

} // namespace

// Everything a firing needs, shared by the FrameTimer, its window procedure and its worker, so
// that a timer destroyed during its own firing leaves the firing something to finish with.
struct FrameTimerState : std::enable_shared_from_this<FrameTimerState> {
    std::atomic<FrameTimer*> owner{nullptr};
    std::atomic<bool> enabled{true};
    std::atomic<std::uint32_t> interval{1000};
    bool threaded = false;
    std::atomic<ThreadPriority> priority{ThreadPriority::Normal};
    std::atomic<bool> threadSafe{false};

    mutable std::mutex handlerLock;  // OnTimer may be read by a thread-safe worker
    FrameTimer::NotifyHandler onTimer;

    // GUI thread only.
    HWND window = nullptr;
    bool windowTimerRunning = false;
    std::atomic<HWND> syncWindow{nullptr};
    std::shared_ptr<FrameTimerThread> thread;
    int firing = 0;
    std::vector<HWND> windowsToRelease;

    bool hasHandler() const {
        std::lock_guard<std::mutex> g(handlerLock);
        return static_cast<bool>(onTimer);
    }

    // OnTimer when enabled and assigned, on the calling thread.
    void fire(bool onGuiThread) {
        FrameTimer* sender = owner.load();
        if (!enabled.load() || sender == nullptr) return;
        FrameTimer::NotifyHandler handler;
        {
            std::lock_guard<std::mutex> g(handlerLock);
            handler = onTimer;  // a copy: the handler may replace or destroy the original
        }
        if (!handler) return;
        const auto keep = shared_from_this();
        if (onGuiThread) ++firing;
        try {
            handler(*sender);
        } catch (const std::exception& e) {
            ReportError(e.what(), onGuiThread);
        } catch (...) {
            ReportError("Unknown error", onGuiThread);
        }
        if (onGuiThread && --firing == 0) {
            for (HWND w : windowsToRelease) DestroyWindow(w);
            windowsToRelease.clear();
        }
    }

    void releaseWindow() {
        if (window == nullptr) return;
        KillTimer(window, kTimerId);
        windowTimerRunning = false;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        // Not while a tick runs: it may have come through this very window.
        if (firing > 0) {
            windowsToRelease.push_back(window);
        } else {
            DestroyWindow(window);
        }
        window = nullptr;
    }
};

namespace {

LRESULT CALLBACK TimerWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kTimerId) {
        auto* state = reinterpret_cast<FrameTimerState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        // A WM_TIMER posted before the timer was stopped may still arrive: ignore it.
        if (state != nullptr && state->window == hwnd && state->windowTimerRunning) state->fire(true);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

LRESULT CALLBACK SyncWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kSyncTickMessage) {
        // The worker waits in SendMessage and keeps itself alive meanwhile.
        reinterpret_cast<FrameTimerThread*>(lp)->synchronizedTick();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int ToWin32Priority(ThreadPriority priority) {
    switch (priority) {
    case ThreadPriority::Idle: return THREAD_PRIORITY_IDLE;
    case ThreadPriority::Lowest: return THREAD_PRIORITY_LOWEST;
    case ThreadPriority::Lower: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriority::Normal: return THREAD_PRIORITY_NORMAL;
    case ThreadPriority::Higher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriority::Highest: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriority::TimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
    }
    return THREAD_PRIORITY_NORMAL;
}

SetTimerFunction SetTimerFunctionForTests(SetTimerFunction fn) {
    const SetTimerFunction previous = g_setTimer;
    g_setTimer = fn != nullptr ? fn : ::SetTimer;
    return previous;
}

// ---- FrameTimerThread ----------------------------------------------------------------------

FrameTimerThread::FrameTimerThread(std::shared_ptr<FrameTimerState> timer) : timer_(std::move(timer)) {}

std::shared_ptr<FrameTimerThread> FrameTimerThread::createSuspended(std::shared_ptr<FrameTimerState> timer) {
    std::shared_ptr<FrameTimerThread> t(new FrameTimerThread(std::move(timer)));
    t->wake_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    t->stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (t->wake_ && t->stop_) {
        t->self_ = t;
        t->thread_.reset(CreateThread(nullptr, 0, ThreadProc, t.get(), CREATE_SUSPENDED, nullptr));
    }
    if (!t->thread_) {
        t->self_.reset();
        throw OutOfResourcesError("Cannot create the timer thread");
    }
    return t;
}

DWORD WINAPI FrameTimerThread::ThreadProc(void* p) {
    // The thread's reference: the object lives at least until Execute has returned.
    const std::shared_ptr<FrameTimerThread> self = std::move(static_cast<FrameTimerThread*>(p)->self_);
    self->execute();
    return 0;
}

void FrameTimerThread::execute() {
    SetThreadPriority(GetCurrentThread(), ToWin32Priority(timer_->priority.load()));
    while (!terminated_.load()) {
        while (suspended_.load() && !terminated_.load()) WaitForSingleObject(wake_.get(), INFINITE);
        if (terminated_.load()) break;
        // A new interval applies from the next sleep.
        WaitForSingleObject(stop_.get(), std::max<std::uint32_t>(1, timer_->interval.load()));
        if (terminated_.load()) break;
        if (suspended_.load()) continue;  // stopped during the sleep: no firing
        if (timer_->threadSafe.load()) {
            timer_->fire(false);
        } else {
            SendMessageW(timer_->syncWindow.load(), kSyncTickMessage, 0, reinterpret_cast<LPARAM>(this));
        }
    }
}

void FrameTimerThread::synchronizedTick() {
    if (!terminated_.load() && !suspended_.load()) timer_->fire(true);
}

void FrameTimerThread::resume() {
    suspended_.store(false);
    SetEvent(wake_.get());
    if (!started_) {
        started_ = true;
        DWORD previous;
        do previous = ResumeThread(thread_.get());
        while (previous != static_cast<DWORD>(-1) && previous > 1);
    }
}

void FrameTimerThread::suspend() {
    suspended_.store(true);
    ResetEvent(wake_.get());
}

void FrameTimerThread::terminate() {
    terminated_.store(true);
    SetEvent(stop_.get());
    SetEvent(wake_.get());
    if (!started_) {
        started_ = true;
        DWORD previous;
        do previous = ResumeThread(thread_.get());
        while (previous != static_cast<DWORD>(-1) && previous > 1);
    }
}

void FrameTimerThread::setPriority(ThreadPriority priority) { SetThreadPriority(thread_.get(), ToWin32Priority(priority)); }

// ---- FrameTimer --------------------------------------------------------------------------

FrameTimer::FrameTimer() : state_(std::make_shared<FrameTimerState>()) {
    state_->owner.store(this);
    updateTimer();
}

FrameTimer::~FrameTimer() {
    FrameTimerState& s = *state_;
    s.enabled.store(false);
    try {
        updateTimer();  // never asks for a window timer while disabled
    } catch (...) {
    }
    if (s.thread) {
        s.thread->terminate();
        s.thread.reset();
    }
    s.releaseWindow();
    s.owner.store(nullptr);
    NotifyHandler old;
    {
        std::lock_guard<std::mutex> g(s.handlerLock);
        old.swap(s.onTimer);
    }
}

void FrameTimer::updateTimer() {
    FrameTimerState& s = *state_;
    if (s.thread && !s.thread->suspended()) s.thread->suspend();
    if (s.window != nullptr) {
        KillTimer(s.window, kTimerId);
        s.windowTimerRunning = false;
    }
    if (s.threaded) {
        s.releaseWindow();
        if (!s.thread) {
            s.syncWindow.store(SyncWindow());
            s.thread = FrameTimerThread::createSuspended(state_);
        }
    } else {
        if (s.thread) {
            s.thread->terminate();
            s.thread.reset();
        }
        if (s.window == nullptr) {
            s.window = CreateMessageWindow(kTimerWindowClass);
            SetWindowLongPtrW(s.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&s));
        }
    }
    if (s.interval.load() != 0 && s.enabled.load() && s.hasHandler()) {
        if (s.threaded) {
            s.thread->setPriority(s.priority.load());
            s.thread->resume();
        } else {
            if (g_setTimer(s.window, kTimerId, s.interval.load(), nullptr) == 0)
                throw OutOfResourcesError("No More Timers Available");
            s.windowTimerRunning = true;
        }
    }
}

bool FrameTimer::enabled() const { return state_->enabled.load(); }
void FrameTimer::setEnabled(bool value) {
    if (value == state_->enabled.load()) return;
    state_->enabled.store(value);
    updateTimer();
}

std::uint32_t FrameTimer::interval() const { return state_->interval.load(); }
void FrameTimer::setInterval(std::uint32_t value) {
    if (value == state_->interval.load()) return;
    state_->interval.store(value);
    updateTimer();
}

bool FrameTimer::threaded() const { return state_->threaded; }
void FrameTimer::setThreaded(bool value) {
    if (value == state_->threaded) return;
    state_->threaded = value;
    updateTimer();
}

ThreadPriority FrameTimer::threadPriority() const { return state_->priority.load(); }
void FrameTimer::setThreadPriority(ThreadPriority value) {
    if (value == state_->priority.load()) return;
    state_->priority.store(value);
    if (state_->threaded) updateTimer();
}

bool FrameTimer::threadSafe() const { return state_->threadSafe.load(); }
void FrameTimer::setThreadSafe(bool value) { state_->threadSafe.store(value); }

void FrameTimer::setOnTimer(NotifyHandler handler) {
    NotifyHandler old;
    {
        std::lock_guard<std::mutex> g(state_->handlerLock);
        old.swap(state_->onTimer);
        state_->onTimer = std::move(handler);
    }
    updateTimer();
}

bool FrameTimer::hasOnTimer() const { return state_->hasHandler(); }

void FrameTimer::setTickHandler(std::function<void()> handler) {
    if (!handler) {
        setOnTimer(nullptr);
        return;
    }
    setOnTimer([h = std::move(handler)](FrameTimer&) { h(); });
}

void FrameTimer::fire() { state_->fire(true); }

HWND FrameTimer::windowHandle() const { return state_->window; }
bool FrameTimer::hasThread() const { return static_cast<bool>(state_->thread); }

} // namespace qvx::gif
