#pragma once
// What the animated image needs of its frame timer. The Win32 control uses FrameTimer
// (frame_timer_win.h); without a window system the control gets an InertTimer, which keeps its
// interval and never fires, so that the owner (a test, a tool) calls timerTick itself.
#include <cstdint>
#include <functional>

namespace qvx::gif {

enum class ThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class AnimationTimer {
public:
    virtual ~AnimationTimer() = default;
    virtual std::uint32_t interval() const = 0;
    // Restarts the countdown only when the value differs from the current one.
    virtual void setInterval(std::uint32_t ms) = 0;
    virtual void setThreaded(bool threaded) = 0;
    virtual void setThreadPriority(ThreadPriority priority) = 0;
    // What each firing runs.
    virtual void setTickHandler(std::function<void()> handler) = 0;
};

class InertTimer final : public AnimationTimer {
public:
    std::uint32_t interval() const override { return interval_; }
    void setInterval(std::uint32_t ms) override { interval_ = ms; }
    void setThreaded(bool) override {}
    void setThreadPriority(ThreadPriority) override {}
    void setTickHandler(std::function<void()>) override {}

private:
    std::uint32_t interval_ = 1000;  // the default of a new timer
};

} // namespace qvx::gif
