#pragma once
// A run's progress on the main window's taskbar button, for the long hours in which the window
// is minimized or behind others: the passes done plus the current pass's share, over the passes
// planned. An error box turns the bar red while it is up; the end of a run takes the bar away.
// The button may come late or come again (Explorer restarted): it is then shown what the run
// shows now. Without a button (no shell that offers one) nothing is shown and nothing fails.
#include "platform/taskbar_button.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace qvx {

class TaskbarProgress {
public:
    void setButton(std::unique_ptr<TaskbarButton> button);
    bool hasButton() const { return button_ != nullptr; }

    // A run of `passCount` passes begins: the bar at 0.
    void start(int passCount);
    // Pass `pass` (1-based) has begun and has written `passBytes` of the `startFreeBytes` that
    // each pass fills. Called at the display's pace; the button hears only of changes.
    void show(int pass, std::int64_t passBytes, std::int64_t startFreeBytes);
    // The run has stopped writing: the bar stays as it is until clear() or an error box.
    void finish() { running_ = false; }
    // An error box goes up (red) or away (back to the bar while running, else no bar).
    void errorBoxShown(bool up);
    // No bar: a run's end, before its closing box, or once it has gone without one.
    void clear();

    // Steps of the bar per pass.
    static constexpr std::uint64_t kStepsPerPass = 1000;

private:
    void setState(TaskbarState state);
    void showValue();

    std::unique_ptr<TaskbarButton> button_;
    bool running_ = false;
    TaskbarState state_ = TaskbarState::None;
    std::uint64_t total_ = 0;
    std::uint64_t value_ = 0;
    std::optional<std::uint64_t> valueShown_;
};

} // namespace qvx
