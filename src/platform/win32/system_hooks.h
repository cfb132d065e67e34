#pragma once
// The system calls a test may take over, so that it can observe them without launching
// anything, sounding a speaker or needing administrator rights: shell and process starts,
// tones, and the answer to whether the process is elevated. The application owns one set and
// installs it while it lives; the platform calls consult the installed set.
#include "platform/drive_list.h"

#include <cstdint>
#include <functional>
#include <optional>

struct HWND__;  // a window handle (HWND), without all of <windows.h>

namespace qvx {

struct ShellCall;
struct SoundCall;
struct TaskbarCall;
struct EventLogCall;

struct SystemHooks {
    std::function<void(const ShellCall&)> shell;
    std::function<void(const SoundCall&)> sound;
    std::optional<bool> elevated;
    // SetThreadExecutionState's flags, instead of the call.
    std::function<void(unsigned flags)> executionState;
    // Runs on the querying thread before a drive's volume queries (1 for A:): a test holds it
    // up there, as a drive that takes seconds to answer does.
    std::function<void(std::uint8_t driveNumber)> beforeDriveQuery;
    // The taskbar button's progress calls, instead of the shell's interface; with this hook every
    // window has a button.
    std::function<void(const TaskbarCall&)> taskbar;
    // FlashWindowEx's window, instead of the call; and the window the system reports in the
    // foreground.
    std::function<void(HWND__* window)> flashWindow;
    std::function<HWND__*()> foregroundWindow;
    // ReportEventW's arguments, instead of the call.
    std::function<void(const EventLogCall&)> eventLog;
    // The system's drive letters, what kind each is and its volume, instead of asking.
    std::function<DriveList()> driveList;
};

// Makes `hooks` the set the platform calls consult; null uninstalls it. The caller keeps the set
// alive while it is installed.
void InstallSystemHooks(SystemHooks* hooks);
// The installed set; null when none is, and every call is the system's.
SystemHooks* InstalledSystemHooks();
// The installed set, for replacing a hook. Throws std::logic_error when none is installed (no
// application object yet): a hook set then would be lost.
SystemHooks& HooksToReplace();

} // namespace qvx
