#include "ui/timer_win.h"

#include "ui/application_win.h"

namespace qvx::ui {

Timer::Timer(Form& owner, const ControlDesign& design)
    : Component(owner, design),
      enabled_(design.enabled),
      interval_(static_cast<unsigned>(design.interval)),
      id_(Application::instance().timers().add([this] { fire(); })) {
    update();
}

Timer::~Timer() { Application::instance().timers().remove(id_); }

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    update();
}

void Timer::setInterval(unsigned ms) {
    if (ms == interval_) return;
    interval_ = ms;
    update();
}

void Timer::update() {
    TimerService& timers = Application::instance().timers();
    if (enabled_ && interval_ > 0) {
        timers.start(id_, interval_);  // a refused timer simply does not tick
    } else {
        timers.stop(id_);
    }
}

void Timer::fire() {
    if (OnTimer) OnTimer(*this);
}

} // namespace qvx::ui
