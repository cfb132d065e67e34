#include "platform/win32/event_log.h"

#include "platform/win32/registry.h"
#include "platform/win32/system_hooks.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace qvx {

bool ReportEventText(std::string_view source, WORD type, DWORD id, std::string_view text) {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->eventLog) {
        hooks->eventLog({std::string(source), type, id, std::string(text)});
        return true;
    }
    const UniqueEventSource log(RegisterEventSourceW(nullptr, Widen(source).c_str()));
    if (!log) return false;
    const std::wstring wide = Widen(text);
    LPCWSTR strings[] = {wide.c_str()};
    return ReportEventW(log.get(), type, 0, id, nullptr, 1, 0, strings, nullptr) != FALSE;
}

std::string EventSourceKey(std::string_view source) {
    return "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\" + std::string(source);
}

bool RegisterEventSourceFile(std::string_view source, std::string_view messageFile) {
    const std::string key = EventSourceKey(source);
    // Nothing to write when it is registered as it should be: a standard user's run ends here
    // too, without trying the hive it may not write.
    const auto registered = RegistryQuery(HKEY_LOCAL_MACHINE, key, "EventMessageFile");
    const auto types = RegistryQuery(HKEY_LOCAL_MACHINE, key, "TypesSupported");
    constexpr DWORD kTypes = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    if (registered && registered->data == messageFile && types && types->type == REG_DWORD) return true;
    return RegistryCreateKey(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS &&
           RegistrySetString(HKEY_LOCAL_MACHINE, key, "EventMessageFile", messageFile) == ERROR_SUCCESS &&
           RegistrySetDword(HKEY_LOCAL_MACHINE, key, "TypesSupported", kTypes) == ERROR_SUCCESS;
}

} // namespace qvx
