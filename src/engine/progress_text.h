#pragma once
// Texts of the progress area and of the run's messages. The per-block ones (MB text, duration
// text) append to a caller's string and use no formatted I/O, because the run formats them up
// to six times per 64 KiB block.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace qvx::engine {

// Byte count / 1,048,576 with digit grouping and one decimal (after rounding to 10
// significant digits), then " MB": 1,536.0 MB. Same result as
// FormatFixed(bytes / 1048576.0, 1, fs, true) + " MB".
void AppendMbText(std::string& out, std::int64_t bytes, const FormatSettings& fs);
std::string MbText(std::int64_t bytes, const FormatSettings& fs);

// Whole seconds of a day-based duration: the magnitude is rounded to whole milliseconds, then
// the fraction of a second is dropped. Whole days count as 24 hours each, since a run over a
// large disk lasts days. Durations beyond what an int holds (68 years) stop at its maximum.
int DurationSeconds(double days);

// "HH:MM:SS" with the user's time separator: total hours, two digits at least (25 hours 3
// minutes is 25:03:00, 100 hours is 100:00:00), minutes and seconds two digits each.
void AppendDurationText(std::string& out, int seconds, const FormatSettings& fs);
std::string DurationText(double days, const FormatSettings& fs);

// English day name, blank, the short date picture, ", ", the long time picture.
std::string StartStampText(double localDateTime, const FormatSettings& fs);

// Overall writing speed in MB (1,048,576 bytes) per second, grouped, one decimal. Without a
// measurable time (elapsed 0 or less, as when the clock did not move or was set back) there
// is no rate to report: the text is that of 0.
std::string SpeedText(std::int64_t writtenBytes, double elapsedDays, const FormatSettings& fs);

// "Pass p of N".
std::string PassText(int pass, int passCount);
// " Progress :    Pass p of N .... "
std::string ProgressCaptionText(int pass, int passCount);
// "Pass p of N : "
std::string PassLabelText(int pass, int passCount);

inline constexpr std::string_view kAbortedLabelText = " Processing Aborted !! ";

} // namespace qvx::engine
