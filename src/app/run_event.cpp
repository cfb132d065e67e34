#include "app/run_event.h"

namespace qvx {

namespace {
void AddLine(std::string& text, std::string_view name, const std::string& value) {
    text += "\r\n";
    text += name;
    text += ": ";
    text += value;
}
} // namespace

RunEvent RunEventOf(const RunRecord& record) {
    RunEvent event;
    if (record.result == "completed") event = {kRunCompletedEventId, EventLevel::Information, {}};
    else if (record.result == "aborted") event = {kRunAbortedEventId, EventLevel::Warning, {}};
    std::string& text = event.text;
    text = record.message;
    text += "\r\n";
    // What was asked of which drive: a line that could not be used may name neither.
    if (record.drive) AddLine(text, "Drive", std::string(1, record.drive) + ":");
    if (record.level >= 0) AddLine(text, "Level", std::to_string(record.level) + ", " + record.levelCaption);
    if (record.passesPlanned > 0)
        AddLine(text, "Passes", std::to_string(record.passesCompleted) + " of " + std::to_string(record.passesPlanned) + " completed");
    AddLine(text, "Bytes written", std::to_string(record.bytesWritten));
    if (record.unreachableBytes) AddLine(text, "Unreachable bytes", std::to_string(*record.unreachableBytes));
    AddLine(text, "Result", record.result);
    AddLine(text, "Started by", record.startedBy);
    return event;
}

} // namespace qvx
