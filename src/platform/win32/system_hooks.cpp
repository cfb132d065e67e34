#include "platform/win32/system_hooks.h"

#include <stdexcept>

namespace qvx {

namespace {
// Not owned here: the application's set, while it is installed.
SystemHooks* g_installed = nullptr;
} // namespace

void InstallSystemHooks(SystemHooks* hooks) { g_installed = hooks; }

SystemHooks* InstalledSystemHooks() { return g_installed; }

SystemHooks& HooksToReplace() {
    if (!g_installed) throw std::logic_error("no system hooks are installed");
    return *g_installed;
}

} // namespace qvx
