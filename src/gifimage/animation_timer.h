#pragma once
// What the animated image needs of its frame timer. The Win32 control uses TTimerEx
// (timer_ex_win.h); without a window system the control gets an InertTimer, which keeps its
// settings and never fires, so that the owner (a test, a tool) calls TimerTick itself.
#include <cstdint>
#include <functional>

namespace qvx::gif {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class IAnimationTimer {
public:
    virtual ~IAnimationTimer() = default;
    virtual std::uint32_t Interval() const = 0;
    // Restarts the countdown only when the value differs from the current one.
    virtual void SetInterval(std::uint32_t ms) = 0;
    virtual void SetThreaded(bool threaded) = 0;
    virtual void SetThreadPriority(TThreadPriority priority) = 0;
    // What each firing runs.
    virtual void SetTickHandler(std::function<void()> handler) = 0;
};

class InertTimer final : public IAnimationTimer {
public:
    std::uint32_t Interval() const override { return interval_; }
    void SetInterval(std::uint32_t ms) override {
        if (ms != interval_) {
            interval_ = ms;
            ++restarts_;
        }
    }
    void SetThreaded(bool threaded) override { threaded_ = threaded; }
    void SetThreadPriority(TThreadPriority priority) override { priority_ = priority; }
    void SetTickHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

    bool Threaded() const { return threaded_; }
    TThreadPriority ThreadPriority() const { return priority_; }
    int Restarts() const { return restarts_; }
    bool HasHandler() const { return static_cast<bool>(handler_); }

private:
    std::uint32_t interval_ = 1000;  // the default of a new timer
    bool threaded_ = false;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    int restarts_ = 0;
    std::function<void()> handler_;
};

} // namespace qvx::gif
