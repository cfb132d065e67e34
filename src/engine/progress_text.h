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

// Whole seconds (0..86,399) of a day-based duration's time-of-day part: the magnitude is
// rounded to whole milliseconds, whole days are dropped, then the fraction of a second.
int DurationSecondsOfDay(double days);

// "HH:MM:SS" with the user's time separator, from DurationSecondsOfDay.
void AppendDurationText(std::string& out, int secondsOfDay, const FormatSettings& fs);
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
