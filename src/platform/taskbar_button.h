#pragma once
// The progress indicator on a window's taskbar button (Windows 7 and later), as the program uses
// it. Portable, so that what a run shows there is tested natively; the Win32 implementation is
// platform/win32/taskbar_win.h's.
#include <cstdint>

namespace qvx {

enum class TaskbarState { None, Normal, Error };

class TaskbarButton {
public:
    virtual ~TaskbarButton() = default;
    virtual void setState(TaskbarState state) = 0;
    // A determinate bar at completed / total (the state turns Normal unless it is Error).
    virtual void setValue(std::uint64_t completed, std::uint64_t total) = 0;
};

} // namespace qvx
