#include "platform/date_time.h"

#include <gtest/gtest.h>

using namespace qvx;

namespace {
CivilDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return CivilDateTime{y, mo, d, h, mi, s, ms};
}
bool Same(const CivilDateTime& a, const CivilDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}
} // namespace

TEST(DateTime, DayNumbersAndWeekdays) {
    EXPECT_EQ(EncodeDateTime(At(1899, 12, 30)), 0.0);
    EXPECT_EQ(EncodeDateTime(At(1900, 3, 1)), 61.0);  // 1900 was no leap year
    EXPECT_EQ(EncodeDateTime(At(2024, 1, 2)), 45293.0);
    EXPECT_EQ(EncodeDateTime(At(2024, 1, 2, 18)), 45293.75);
    EXPECT_EQ(DayOfWeek(0), 6);        // Saturday
    EXPECT_EQ(DayOfWeek(45293.9), 2);  // Tuesday
    EXPECT_EQ(DayOfWeek(-1.25), 5);    // Friday 1899-12-29
    EXPECT_TRUE(Same(DecodeDateTime(-1.25), At(1899, 12, 29, 6)));
    EXPECT_EQ(EncodeDateTime(At(1899, 12, 29, 6)), -1.25);
    // Rounded to whole milliseconds before splitting: a hair before midnight is midnight.
    EXPECT_TRUE(Same(DecodeDateTime(45292.9999999999), At(2024, 1, 2)));
}

TEST(DateTime, DecodeInvertsEncodeAcrossCenturies) {
    for (int day = -40000; day < 120000; day += 997) {
        const CivilDateTime t = DecodeDateTime(day + 0.5 + 1234.0 / kMillisecondsPerDay);
        EXPECT_EQ(t.hour, day < 0 ? 11 : 12);
        const CivilDateTime u = DecodeDateTime(EncodeDateTime(t));
        ASSERT_TRUE(Same(t, u)) << day;
    }
    EXPECT_TRUE(Same(DecodeDateTime(EncodeDateTime(At(2000, 2, 29, 23, 59, 59, 999))),
                     At(2000, 2, 29, 23, 59, 59, 999)));
}

TEST(DateTime, WindowsPictures) {
    FormatSettings fs;
    const CivilDateTime pm = At(2024, 1, 2, 13, 5, 9);
    const CivilDateTime am = At(2009, 11, 30, 0, 7, 3);
    EXPECT_EQ(FormatDateTimePicture("dddd, MMMM d, yyyy", pm, fs), "Tuesday, January 2, 2024");
    EXPECT_EQ(FormatDateTimePicture("ddd dd/MM/yy y", pm, fs), "Tue 02/01/24 4");
    EXPECT_EQ(FormatDateTimePicture("d MMM yyyy g", am, fs), "30 Nov 2009 A.D.");
    EXPECT_EQ(FormatDateTimePicture("h:mm:ss tt", pm, fs), "1:05:09 PM");
    EXPECT_EQ(FormatDateTimePicture("hh:m:s t", am, fs), "12:7:3 A");
    EXPECT_EQ(FormatDateTimePicture("HH.mm.ss|H", am, fs), "00.07.03|0");
    EXPECT_EQ(FormatDateTimePicture("'Time: 'HH' o''clock' ''", pm, fs), "Time: 13 o'clock '");
    EXPECT_EQ(FormatDateTimePicture("'unterminated d", pm, fs), "unterminated d");
    fs.pmDesignator = "\xE5\x8D\x88\xE5\xBE\x8C";  // UTF-8, two characters
    EXPECT_EQ(FormatDateTimePicture("t", pm, fs), "\xE5\x8D\x88");
}
