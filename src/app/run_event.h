#pragma once
// A run's entry in the Application event log, where administrators and their collectors read
// outcomes: one event per run record, at the same moment. Its ID and level follow the record's
// result; its text is the closing box's text followed by the record's main fields.
#include "app/run_record.h"

#include <string>

namespace qvx {

inline constexpr char kEventSource[] = "Quarvex";

enum class EventLevel { Information, Warning, Error };

// The IDs of the messages in the program's message table (src/app/quarvex_events.mc); each
// message is the event's one inserted text.
inline constexpr unsigned kRunCompletedEventId = 1;
inline constexpr unsigned kRunAbortedEventId = 2;
inline constexpr unsigned kRunFailedEventId = 3;

struct RunEvent {
    unsigned id = kRunFailedEventId;
    EventLevel level = EventLevel::Error;
    std::string text;  // UTF-8, lines joined with CR LF
};

RunEvent RunEventOf(const RunRecord& record);

} // namespace qvx
