#pragma once
// The animated image's frame timer. It ticks either through the application's timer service
// (WM_TIMER on the GUI thread) or, in threaded mode, from a worker thread of its own with a
// chosen priority. In threaded mode the tick still runs on the GUI thread, the worker waiting
// for it, unless threadSafe is set.
//
// A timer may be destroyed from inside its own OnTimer: the firing keeps the shared state alive
// until the handler has returned.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

#include "gifimage/animation_timer.h"

namespace qvx::gif {

// The system refused a timer, its thread or its window.
class OutOfResourcesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FrameTimerState;

class FrameTimer final : public AnimationTimer {
public:
    using TimerHandler = std::function<void(FrameTimer& sender)>;

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
    void setOnTimer(TimerHandler handler);
    bool hasOnTimer() const;
    void setTickHandler(std::function<void()> handler) override;

    // Whether a worker thread exists (threaded mode).
    bool hasThread() const;

private:
    void updateTimer();
    std::shared_ptr<FrameTimerState> state_;
};

} // namespace qvx::gif
