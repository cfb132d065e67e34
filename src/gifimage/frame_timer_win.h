#pragma once
// FrameTimer: a timer that fires either through a window timer on a hidden message-only window
// (ticks arrive as WM_TIMER on the GUI thread) or from a worker thread of its own, FrameTimerThread,
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
#include "platform/win32/unique_handle.h"

namespace qvx::gif {

// The system refused a window timer.
class OutOfResourcesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FrameTimer;
struct FrameTimerState;

// The worker of a threaded FrameTimer. It is created suspended and runs once started; pausing and
// continuing it are cooperative (it parks between sleeps), so it is never stopped while it holds
// a lock, which suspending an arbitrary thread could do. Its owner and the thread itself each hold
// a reference; the object is freed when the thread has ended and the owner has let go.
class FrameTimerThread {
public:
    static std::shared_ptr<FrameTimerThread> createSuspended(std::shared_ptr<FrameTimerState> timer);
    FrameTimerThread(const FrameTimerThread&) = delete;
    FrameTimerThread& operator=(const FrameTimerThread&) = delete;

    // Lets the thread run (the first call ends its creation suspension).
    void resume();
    // Holds the thread before its next firing until Resume.
    void suspend();
    bool suspended() const { return suspended_.load(); }
    // Asks the thread to end and lets it run to its end.
    void terminate();
    void setPriority(ThreadPriority priority);

private:
    explicit FrameTimerThread(std::shared_ptr<FrameTimerState> timer);
    static DWORD WINAPI ThreadProc(void* self);
    void execute();
    // On the GUI thread, while the worker waits: one tick, unless the worker was stopped since.
    void synchronizedTick();
    friend LRESULT CALLBACK SyncWindowProc(HWND, UINT, WPARAM, LPARAM);

    std::shared_ptr<FrameTimerState> timer_;
    std::shared_ptr<FrameTimerThread> self_;  // the running thread's own reference
    UniqueKernelHandle thread_;
    UniqueKernelHandle wake_;  // set while not suspended
    UniqueKernelHandle stop_;  // set once terminated; cuts a sleep short
    bool started_ = false;
    std::atomic<bool> suspended_{true};
    std::atomic<bool> terminated_{false};
};

class FrameTimer final : public AnimationTimer {
public:
    using NotifyHandler = std::function<void(FrameTimer& sender)>;

    FrameTimer();
    ~FrameTimer() override;
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    bool enabled() const;
    void setEnabled(bool value);
    std::uint32_t interval() const override;
    void setInterval(std::uint32_t value) override;
    bool threaded() const;
    void setThreaded(bool value) override;
    ThreadPriority threadPriority() const;
    void setThreadPriority(ThreadPriority value) override;
    bool threadSafe() const;
    void setThreadSafe(bool value);
    void setOnTimer(NotifyHandler handler);
    bool hasOnTimer() const;
    void setTickHandler(std::function<void()> handler) override;

    // Runs OnTimer when Enabled and assigned, on the calling (GUI) thread.
    void fire();

    // The hidden window of window-timer mode (null in threaded mode) and whether a worker exists.
    HWND windowHandle() const;
    bool hasThread() const;

private:
    void updateTimer();
    std::shared_ptr<FrameTimerState> state_;
};

int ToWin32Priority(ThreadPriority priority);

// Replaces SetTimer, so that tests can see what happens when the system refuses a timer.
// Returns the previous function; null restores the real one.
using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
SetTimerFunction SetTimerFunctionForTests(SetTimerFunction fn);

} // namespace qvx::gif
