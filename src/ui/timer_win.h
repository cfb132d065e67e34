#pragma once
// A message-driven timer: OnTimer runs between other messages of the GUI thread. It ticks
// through the application's timer service.
#include "ui/control_win.h"
#include "ui/timer_service_win.h"

namespace qvx::ui {

class Timer : public Component {
public:
    Timer(Form& owner, const ControlDesign& design);
    ~Timer() override;
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    unsigned interval() const { return interval_; }
    void setInterval(unsigned ms);
    std::function<void(Timer&)> OnTimer;
    // Runs OnTimer now, as a firing would.
    void fire();

private:
    // Starts the countdown anew while enabled with an interval, else stops it.
    void update();
    bool enabled_;
    unsigned interval_;
    TimerService::TimerId id_;
};

} // namespace qvx::ui
