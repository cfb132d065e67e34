#pragma once
// TTimerEx: a timer that fires either through a window timer on a hidden message-only window
// (ticks arrive as WM_TIMER on the GUI thread) or from a worker thread of its own, TTimerThread,
// with a chosen priority. In threaded mode the tick still runs on the GUI thread, the worker
// waiting for it, unless ThreadSafe is set.
//
// A timer may be destroyed from inside its own OnTimer: the firing keeps the shared state alive
// and releases the message window only after the handler has returned.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

#include "gifimage/animation_timer.h"

namespace qvx::gif {

// The system refused a window timer.
class EOutOfResources : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TTimerEx;
struct TimerExState;

// The worker of a threaded TTimerEx. It is created suspended and runs once started; pausing and
// continuing it are cooperative (it parks between sleeps), so it is never stopped while it holds
// a lock, which suspending an arbitrary thread could do. Its owner and the thread itself each hold
// a reference; the object is freed when the thread has ended and the owner has let go.
class TTimerThread {
public:
    static std::shared_ptr<TTimerThread> CreateSuspended(std::shared_ptr<TimerExState> timer);
    ~TTimerThread();
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    // Lets the thread run (the first call ends its creation suspension).
    void Resume();
    // Holds the thread before its next firing until Resume.
    void Suspend();
    bool Suspended() const { return suspended_.load(); }
    // Asks the thread to end and lets it run to its end.
    void Terminate();
    bool Terminated() const { return terminated_.load(); }
    void SetPriority(TThreadPriority priority);

private:
    explicit TTimerThread(std::shared_ptr<TimerExState> timer);
    static DWORD WINAPI ThreadProc(void* self);
    void Execute();
    // On the GUI thread, while the worker waits: one tick, unless the worker was stopped since.
    void SynchronizedTick();
    friend LRESULT CALLBACK SyncWindowProc(HWND, UINT, WPARAM, LPARAM);

    std::shared_ptr<TimerExState> timer_;
    std::shared_ptr<TTimerThread> self_;  // the running thread's own reference
    HANDLE thread_ = nullptr;
    HANDLE wake_ = nullptr;  // set while not suspended
    HANDLE stop_ = nullptr;  // set once terminated; cuts a sleep short
    bool started_ = false;
    std::atomic<bool> suspended_{true};
    std::atomic<bool> terminated_{false};
};

class TTimerEx final : public IAnimationTimer {
public:
    using TNotifyEvent = std::function<void(TTimerEx& Sender)>;

    TTimerEx();
    ~TTimerEx() override;
    TTimerEx(const TTimerEx&) = delete;
    TTimerEx& operator=(const TTimerEx&) = delete;

    bool Enabled() const;
    void SetEnabled(bool value);
    std::uint32_t Interval() const override;
    void SetInterval(std::uint32_t value) override;
    bool Threaded() const;
    void SetThreaded(bool value) override;
    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority value) override;
    bool ThreadSafe() const;
    void SetThreadSafe(bool value);
    void SetOnTimer(TNotifyEvent handler);
    bool HasOnTimer() const;
    void SetTickHandler(std::function<void()> handler) override;

    // Runs OnTimer when Enabled and assigned, on the calling (GUI) thread.
    void Timer();

    // The hidden window of window-timer mode (null in threaded mode) and whether a worker exists.
    HWND WindowHandle() const;
    bool HasThread() const;

private:
    void UpdateTimer();
    std::shared_ptr<TimerExState> state_;
};

int ToWin32Priority(TThreadPriority priority);

// Replaces SetTimer, so that tests can see what happens when the system refuses a timer.
// Returns the previous function; null restores the real one.
using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
SetTimerFunction SetTimerFunctionForTests(SetTimerFunction fn);

} // namespace qvx::gif
