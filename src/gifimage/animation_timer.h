#pragma once
// What the animated image needs of its frame timer. The Win32 control uses FrameTimer
// (frame_timer_win.h); without a window system the control gets an InertTimer, which keeps its
// settings and never fires, so that the owner (a test, a tool) calls timerTick itself.
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
    void setInterval(std::uint32_t ms) override {
        if (ms != interval_) {
            interval_ = ms;
            ++restarts_;
        }
    }
    void setThreaded(bool threaded) override { threaded_ = threaded; }
    void setThreadPriority(ThreadPriority priority) override { priority_ = priority; }
    void setTickHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    bool threaded() const { return threaded_; }
    ThreadPriority threadPriority() const { return priority_; }
    int restarts() const { return restarts_; }
    bool hasHandler() const { return static_cast<bool>(handler_); }

private:
    std::uint32_t interval_ = 1000;  // the default of a new timer
    bool threaded_ = false;
    ThreadPriority priority_ = ThreadPriority::Normal;
    int restarts_ = 0;
    std::function<void()> handler_;
};

} // namespace qvx::gif
