#pragma once
// Day-based date-time values: a double counting days since 1899-12-30 00:00, whose fraction is
// the time of day. A duration is the difference of two such values.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace qvx {

inline constexpr double kMillisecondsPerDay = 86'400'000.0;

struct CivilDateTime {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Day-based value of a calendar date and time (proleptic Gregorian calendar).
double EncodeDateTime(const CivilDateTime& t);

// Calendar date and time of a day-based value. The value is first rounded to whole
// milliseconds; for negative values the date counts back from the epoch while the time of
// day is taken from the magnitude, as the classic day-based date-time type does.
CivilDateTime DecodeDateTime(double value);

// Day of the week of a day-based value: 0 = Sunday .. 6 = Saturday.
int DayOfWeek(double value);

// English names, Sunday first and January first; the program's own tables, not the locale's.
std::string_view EnglishDayName(int dayOfWeek, bool abbreviated);
std::string_view EnglishMonthName(int month, bool abbreviated);

// Text of a date and time by a Windows date/time picture: d dd ddd dddd, M MM MMM MMMM,
// y yy yyyy, g gg, h hh H HH, m mm, s ss, t tt and 'quoted' literals ('' gives one quote).
// Every other character is copied as it stands. Names are English.
std::string FormatDateTimePicture(std::string_view picture, const CivilDateTime& t,
                                  const FormatSettings& fs);

} // namespace qvx
