#include "platform/win32/elevation.h"

#include "platform/win32/system_hooks.h"
#include "platform/win32/unique_handle.h"

#include <windows.h>

namespace qvx {

bool ProcessIsElevated() {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->elevated) return *hooks->elevated;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const UniqueKernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

void SetElevationForTests(std::optional<bool> elevated) { HooksToReplace().elevated = elevated; }

} // namespace qvx
