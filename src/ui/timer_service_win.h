#pragma once
// Every timer of the program ticks here: one hidden message-only window of the GUI thread gets
// the WM_TIMER messages of all of them. The same window runs, on the GUI thread, work that
// other threads hand over and wait for (the ticks of a threaded animation timer). Owned by the
// Application.
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

namespace qvx::ui {

class TimerService {
public:
    using TimerId = UINT_PTR;
    using SetTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);

    TimerService() = default;
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

    // A timer that runs `tick` at each firing once it is started.
    TimerId add(std::function<void()> tick);
    // Forgets a timer. A tick of it that is running (the timer's owner may go inside its own
    // tick) finishes with its own copy of the function.
    void remove(TimerId id);
    // Starts the countdown anew; false when the system refused a timer or the timer is unknown.
    bool start(TimerId id, unsigned milliseconds);
    // No tick comes after this, not even one the system had already posted.
    void stop(TimerId id);
    bool running(TimerId id) const;

    // The hidden window, made on first use by the calling thread, whose messages then run the
    // ticks; null when it cannot be made.
    HWND window();
    // Runs `work` on the window's thread and returns once it has run; from any thread, once the
    // window exists. Nothing runs when it does not.
    void runOnWindowThread(const std::function<void()>& work) const;
    // Hands `work` from any thread to the thread of `window` (this service's window, as window()
    // gave it there), without waiting; false when the window is gone, and nothing runs.
    static bool post(HWND window, std::function<void()> work);

    // Replaces SetTimer (tests make the system refuse a timer). Returns the previous function;
    // null restores the real one.
    SetTimerFunction replaceSetTimer(SetTimerFunction setTimer);

private:
    struct Entry {
        std::shared_ptr<const std::function<void()>> tick;
        bool running = false;
    };
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void onTimer(TimerId id);

    std::map<TimerId, Entry> timers_;
    TimerId nextId_ = 1;
    SetTimerFunction setTimer_ = ::SetTimer;
    UniqueWindow window_;
};

} // namespace qvx::ui
