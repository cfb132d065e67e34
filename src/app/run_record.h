#pragma once
// The record of every run: one JSON object per line (JSON Lines, UTF-8) appended to
// "quarvex-runs.log" beside the settings file, saying what was sanitized, when, how and with
// what result.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/date_time.h"

namespace qvx {

inline constexpr char kRunRecordFileName[] = "quarvex-runs.log";

struct RunRecord {
    std::string version;
    std::string computer;
    std::string user;
    std::string start;  // local time with its UTC offset, ISO 8601
    std::string end;
    char drive = 0;  // upper-case letter
    std::string volumeLabel;
    std::string volumeSerial;  // 8 hexadecimal digits, as the drive panel shows it
    std::string fileSystem;
    std::int64_t totalBytes = 0;
    std::int64_t freeBytes = 0;  // at the start
    int level = -1;
    std::string levelCaption;
    int passesPlanned = 0;
    int passesCompleted = 0;
    std::int64_t bytesWritten = 0;
    std::optional<int> fileRecordsWiped;  // small files written into free file records
    // Free space the run could not overwrite: what Windows reserves for itself, a quota.
    std::optional<std::int64_t> unreachableBytes;
    int leftoversSwept = 0;
    std::string result;   // "completed", "aborted" or "error"
    std::string message;  // the closing box's text, shown or not
    std::string startedBy;  // "window" or "command line"
};

// The record's line, ending with a line feed.
std::string RunRecordLine(const RunRecord& record);

// A JSON string: quotes, backslashes and control characters escaped; text that is not valid
// UTF-8 has its bad bytes replaced by U+FFFD.
std::string JsonString(std::string_view utf8);

// "2026-12-08T10:15:30+01:00": the local time and its offset from UTC in minutes.
std::string IsoLocalTime(const CivilDateTime& local, int utcOffsetMinutes);

// A moment in UTC (day-based) as the record shows it: its local time with the offset from UTC
// that held at that moment, so that a run across a daylight-saving change starts at +01:00 and
// ends at +02:00, an hour of its length later.
using UtcOffsetAt = std::function<int(double utc)>;  // minutes local time is ahead of UTC
std::string IsoTimeOfUtc(double utc, const UtcOffsetAt& offsetAt);

} // namespace qvx
