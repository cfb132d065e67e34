#pragma once
// The system's DPI services. The per-monitor calls exist from Windows 8.1 (monitor DPI) and
// Windows 10 1607 (the rest); they are looked up at run time, and older systems get the system
// DPI, which is then the only one.
#include "platform/win32/unique_handle.h"

#include <windows.h>

namespace qvx::ui {

// The DPI a window is shown at (that of its monitor for a per-monitor aware program).
int WindowDpi(HWND window);
// The DPI of the monitor nearest to a point of the virtual screen, for a window not made yet.
int MonitorDpiAt(POINT point);
// The outer rectangle of a window whose client area is `client`, with the frame, caption and
// (one line of) menu bar the system draws at `dpi`.
RECT WindowRectForClient(const RECT& client, DWORD style, bool hasMenu, DWORD exStyle, int dpi);
// A system metric (SM_CXICON...) at a DPI.
int SystemMetricForDpi(int index, int dpi);
// Lets the system scale a top-level window's frame and menu bar with its DPI where the program
// runs per-monitor aware of the first kind (Windows 10 1607, which knows no PerMonitorV2).
// Called while the window is being created (WM_NCCREATE); does nothing elsewhere.
void EnableNonClientScaling(HWND window);

struct IconTraits {
    using Handle = HICON;
    static Handle none() { return nullptr; }
    static void free(Handle h) { DestroyIcon(h); }
};
using UniqueIcon = UniqueHandle<IconTraits>;

// The program's icon (resource 1) drawn at `size` pixels from the best of its images; empty
// when the program has none.
UniqueIcon LoadProgramIcon(HINSTANCE instance, int size);

} // namespace qvx::ui
