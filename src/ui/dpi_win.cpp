#include "ui/dpi_win.h"

#include "ui/dpi_scale.h"

namespace qvx::ui {

namespace {

// A function of a system library that may be missing from older systems; null then.
template <class Fn>
Fn SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);
using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);

// The one DPI of systems without per-monitor DPI (and the primary monitor's elsewhere).
int SystemDpi() {
    const UniqueWindowDc screen = OwnWindowDc(nullptr, GetDC(nullptr));
    const int dpi = screen ? GetDeviceCaps(screen.get().dc, LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int MonitorDpiAt(POINT point) {
    static const auto getDpiForMonitor = SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the DPI the user chose for the monitor
    if (getDpiForMonitor && getDpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y) == S_OK && x)
        return static_cast<int>(x);
    return SystemDpi();
}

RECT WindowRectForClient(const RECT& client, DWORD style, bool hasMenu, DWORD exStyle, int dpi) {
    static const auto adjust = SystemFunction<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT r = client;
    if (!adjust || !adjust(&r, style, hasMenu, exStyle, static_cast<UINT>(dpi))) {
        r = client;
        AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    }
    return r;
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto metric = SystemFunction<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    if (metric) return metric(index, static_cast<UINT>(dpi));
    return MulDivRounded(GetSystemMetrics(index), dpi, SystemDpi());
}

void EnableNonClientScaling(HWND window) {
    static const auto enable = SystemFunction<EnableNonClientDpiScalingFn>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable) enable(window);
}

UniqueIcon LoadProgramIcon(HINSTANCE instance, int size) {
    // Scaled down from a larger image where the icon has no image of that size: sharper than the
    // system's usual enlargement of a smaller one.
    static const auto scaleDown = SystemFunction<LoadIconWithScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown");
    HICON icon = nullptr;
    if (scaleDown && scaleDown(instance, MAKEINTRESOURCEW(1), size, size, &icon) == S_OK && icon) return UniqueIcon(icon);
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0)));
}

} // namespace qvx::ui
