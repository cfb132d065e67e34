#pragma once
// The main window's taskbar button: its progress indicator (ITaskbarList3, Windows 7 and later)
// and flashing it to call the user. Where the shell offers no such interface (Wine, an older or
// another shell) nothing is shown and nothing fails.
#include "platform/taskbar_button.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace qvx {

// What a test's hook records instead of the interface's calls.
struct TaskbarCall {
    enum class Kind { State, Value } kind = Kind::State;
    TaskbarState state = TaskbarState::None;
    std::uint64_t completed = 0;
    std::uint64_t total = 0;
};

// The registered message ("TaskbarButtonCreated") that the shell sends a window once its taskbar
// button exists, and again whenever Explorer restarts: only then may the button be used.
UINT TaskbarButtonCreatedMessage();
// Lets that message reach `window` also when this process runs elevated and the shell does not
// (the system would otherwise filter it out).
void AllowTaskbarButtonMessage(HWND window);
// The progress indicator of `window`'s button; null where the shell offers none. COM must be
// initialised on the calling thread.
std::unique_ptr<TaskbarButton> CreateTaskbarButton(HWND window);

// Flashes `window`'s taskbar button until the window is activated, when it is not the
// foreground window (nor owns it, as a box of its own would); true when it flashed.
bool FlashUnlessForeground(HWND window);

} // namespace qvx
