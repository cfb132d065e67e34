#include "gifimage/frame_timer_win.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

#include "platform/win32/unique_handle.h"
#include "ui/application_win.h"

namespace qvx::gif {

namespace {

void ReportError(const char* what, bool onGuiThread) {
    if (onGuiThread) {
        ui::Application::instance().showException(what);
    } else {
        OutputDebugStringA((std::string("Timer: ") + what + "\n").c_str());
    }
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

} // namespace

class FrameTimerThread;

// Everything a firing needs, shared by the FrameTimer, its tick in the timer service and its
// worker, so that a timer destroyed during its own firing leaves the firing something to finish
// with.
struct FrameTimerState : std::enable_shared_from_this<FrameTimerState> {
    std::atomic<FrameTimer*> owner{nullptr};
    std::atomic<bool> enabled{true};
    std::atomic<std::uint32_t> interval{1000};
    bool threaded = false;
    std::atomic<ThreadPriority> priority{ThreadPriority::Normal};
    std::atomic<bool> threadSafe{false};

    mutable std::mutex handlerLock;  // OnTimer may be read by a thread-safe worker
    FrameTimer::TimerHandler onTimer;

    // GUI thread only.
    ui::TimerService& service = ui::Application::instance().timers();
    ui::TimerService::TimerId serviceTimer = 0;
    std::shared_ptr<FrameTimerThread> thread;

    bool hasHandler() const {
        std::lock_guard<std::mutex> g(handlerLock);
        return static_cast<bool>(onTimer);
    }

    // OnTimer when enabled and assigned, on the calling thread.
    void fire(bool onGuiThread) {
        FrameTimer* sender = owner.load();
        if (!enabled.load() || sender == nullptr) return;
        FrameTimer::TimerHandler handler;
        {
            std::lock_guard<std::mutex> g(handlerLock);
            handler = onTimer;  // a copy: the handler may replace or destroy the original
        }
        if (!handler) return;
        const auto keep = shared_from_this();
        try {
            handler(*sender);
        } catch (const std::exception& e) {
            ReportError(e.what(), onGuiThread);
        } catch (...) {
            ReportError("Unknown error", onGuiThread);
        }
    }
};

// The worker of a threaded FrameTimer. It is created suspended and runs once started; pausing
// and continuing it are cooperative (it parks between sleeps), so it is never stopped while it
// holds a lock, which suspending an arbitrary thread could do. Its owner and the thread itself
// each hold a reference; the object is freed when the thread has ended and the owner has let go.
class FrameTimerThread {
public:
    static std::shared_ptr<FrameTimerThread> createSuspended(std::shared_ptr<FrameTimerState> timer);
    FrameTimerThread(const FrameTimerThread&) = delete;
    FrameTimerThread& operator=(const FrameTimerThread&) = delete;

    // Lets the thread run (the first call ends its creation suspension).
    void resume();
    // Holds the thread before its next firing until resume.
    void suspend();
    bool suspended() const { return suspended_.load(); }
    // Asks the thread to end and lets it run to its end.
    void terminate();
    void setPriority(ThreadPriority priority) { SetThreadPriority(thread_.get(), ToWin32Priority(priority)); }

private:
    explicit FrameTimerThread(std::shared_ptr<FrameTimerState> timer) : timer_(std::move(timer)) {}
    static DWORD WINAPI ThreadProc(void* self);
    void execute();
    // Ends the creation suspension, once.
    void start();
    // On the GUI thread, while the worker waits: one tick, unless the worker was stopped since.
    void synchronizedTick();

    std::shared_ptr<FrameTimerState> timer_;
    std::shared_ptr<FrameTimerThread> self_;  // the running thread's own reference
    qvx::UniqueKernelHandle thread_;
    qvx::UniqueKernelHandle wake_;  // set while not suspended
    qvx::UniqueKernelHandle stop_;  // set once terminated; cuts a sleep short
    bool started_ = false;
    std::atomic<bool> suspended_{true};
    std::atomic<bool> terminated_{false};
};

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
    // The thread's reference: the object lives at least until execute has returned.
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
            timer_->service.runOnWindowThread([this] { synchronizedTick(); });
        }
    }
}

void FrameTimerThread::synchronizedTick() {
    if (!terminated_.load() && !suspended_.load()) timer_->fire(true);
}

void FrameTimerThread::start() {
    if (started_) return;
    started_ = true;
    DWORD previous;
    do previous = ResumeThread(thread_.get());
    while (previous != static_cast<DWORD>(-1) && previous > 1);
}

void FrameTimerThread::resume() {
    suspended_.store(false);
    SetEvent(wake_.get());
    start();
}

void FrameTimerThread::suspend() {
    suspended_.store(true);
    ResetEvent(wake_.get());
}

void FrameTimerThread::terminate() {
    terminated_.store(true);
    SetEvent(stop_.get());
    SetEvent(wake_.get());
    start();
}


// ---- FrameTimer --------------------------------------------------------------------------

FrameTimer::FrameTimer() : state_(std::make_shared<FrameTimerState>()) {
    state_->owner.store(this);
    state_->serviceTimer = state_->service.add([weak = std::weak_ptr<FrameTimerState>(state_)] {
        if (const auto state = weak.lock()) state->fire(true);
    });
    updateTimer();
}

FrameTimer::~FrameTimer() {
    FrameTimerState& s = *state_;
    s.enabled.store(false);
    s.service.remove(s.serviceTimer);
    if (s.thread) {
        s.thread->terminate();
        s.thread.reset();
    }
    s.owner.store(nullptr);
    TimerHandler old;
    {
        std::lock_guard<std::mutex> g(s.handlerLock);
        old.swap(s.onTimer);
    }
}

void FrameTimer::updateTimer() {
    FrameTimerState& s = *state_;
    if (s.thread && !s.thread->suspended()) s.thread->suspend();
    s.service.stop(s.serviceTimer);
    if (s.threaded) {
        if (!s.thread) {
            // The worker's ticks run through the service's window, which must exist first.
            if (!s.service.window()) throw OutOfResourcesError("Cannot create the timer window");
            s.thread = FrameTimerThread::createSuspended(state_);
        }
    } else if (s.thread) {
        s.thread->terminate();
        s.thread.reset();
    }
    if (s.interval.load() == 0 || !s.enabled.load() || !s.hasHandler()) return;
    if (s.threaded) {
        s.thread->setPriority(s.priority.load());
        s.thread->resume();
    } else if (!s.service.start(s.serviceTimer, s.interval.load())) {
        throw OutOfResourcesError("No More Timers Available");
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

void FrameTimer::setOnTimer(TimerHandler handler) {
    TimerHandler old;
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

bool FrameTimer::hasThread() const { return static_cast<bool>(state_->thread); }

} // namespace qvx::gif
