#pragma once
// Message pumping for the Windows-side GIF and timer tests.
#include <windows.h>

#include <algorithm>
#include <functional>

namespace qvx::gif::testing {

// Processes messages until `done` holds or `ms` have passed; returns `done()`.
inline bool Pump(const std::function<bool()>& done, int ms) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        const auto left = static_cast<long>(until - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long>(left, 10)), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return done();
}

inline void PumpFor(int ms) {
    Pump([] { return false; }, ms);
}

// Waits (without pumping) until `done` holds or `ms` have passed.
inline bool WaitFor(const std::function<bool()>& done, int ms) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(ms);
    while (!done() && static_cast<long>(until - GetTickCount()) > 0) Sleep(5);
    return done();
}

} // namespace qvx::gif::testing
