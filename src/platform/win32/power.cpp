#include "platform/win32/power.h"

#include "platform/win32/system_hooks.h"

#include <windows.h>

namespace qvx {

namespace {
void SetExecutionState(EXECUTION_STATE flags) {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->executionState) {
        hooks->executionState(flags);
        return;
    }
    SetThreadExecutionState(flags);
}
} // namespace

SystemAwake::SystemAwake() { SetExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }

SystemAwake::~SystemAwake() { SetExecutionState(ES_CONTINUOUS); }

} // namespace qvx
