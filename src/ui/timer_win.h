#pragma once
// A message-driven timer: OnTimer runs between other messages of the GUI thread.
#include "ui/control_win.h"

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
    void update();
    bool enabled_;
    unsigned interval_;
    UINT_PTR id_;
    bool running_ = false;
};

} // namespace qvx::ui
