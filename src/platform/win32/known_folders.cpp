#include "platform/win32/known_folders.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

namespace qvx {

namespace {
struct CoTaskMemDeleter {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};
} // namespace

std::string RoamingAppDataFolder() {
    PWSTR raw = nullptr;
    // The shell hands out its buffer even when the call fails.
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &raw);
    const std::unique_ptr<wchar_t, CoTaskMemDeleter> path(raw);
    if (FAILED(hr) || !path) return {};
    return Narrow(path.get());
}

} // namespace qvx
