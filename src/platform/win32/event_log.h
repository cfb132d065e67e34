#pragma once
// Events in the Windows event log (Application), and the registration that lets Event Viewer
// and wevtutil show their text from the program's own message table.
#include <windows.h>

#include <string>
#include <string_view>

namespace qvx {

// What a test's hook records instead of ReportEventW.
struct EventLogCall {
    std::string source;
    WORD type = 0;  // EVENTLOG_INFORMATION_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_ERROR_TYPE
    DWORD id = 0;
    std::string text;  // the one insertion string
};

// Writes one event of `source` to the Application log with `text` as its one insertion string.
// Any user may write one, whether the source is registered or not; false when it failed.
bool ReportEventText(std::string_view source, WORD type, DWORD id, std::string_view text);

// The source's key under HKEY_LOCAL_MACHINE.
std::string EventSourceKey(std::string_view source);
// Registers `source` in the Application log with `messageFile` (an executable holding the
// message table) as its message file, or points it there when it names another file (the
// program has moved). Writing the machine's hive needs administrator rights: true when the
// registry holds that file afterwards.
bool RegisterEventSourceFile(std::string_view source, std::string_view messageFile);

} // namespace qvx
