#include "app/run_event_win.h"

#include "platform/win32/elevation.h"
#include "platform/win32/event_log.h"
#include "platform/win32/executable_path.h"

namespace qvx {

namespace {
WORD EventType(EventLevel level) {
    switch (level) {
    case EventLevel::Information: return EVENTLOG_INFORMATION_TYPE;
    case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
    case EventLevel::Error: break;
    }
    return EVENTLOG_ERROR_TYPE;
}
} // namespace

void WriteRunEvent(const RunRecord& record) {
    const RunEvent event = RunEventOf(record);
    if (ProcessIsElevated()) RegisterEventSourceFile(kEventSource, ExecutablePath());
    ReportEventText(kEventSource, EventType(event.level), event.id, event.text);
}

} // namespace qvx
