#include "platform/date_time.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace qvx {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// 1970-01-01 is day 25,569 of the day-based count.
constexpr std::int64_t kUnixEpochDay = 25'569;
// Beyond about 270,000 years the count stops being a date; keep the arithmetic defined.
constexpr double kLargestDay = 1e8;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Whole milliseconds of a value, and from them the day number (towards zero) and the time of
// day (of the magnitude).
struct Split {
    std::int64_t day;
    std::int64_t timeMs;
};

Split SplitValue(double value) {
    if (!std::isfinite(value)) value = 0;
    if (value > kLargestDay) value = kLargestDay;
    if (value < -kLargestDay) value = -kLargestDay;
    const std::int64_t ms = std::llround(value * kMillisecondsPerDay);
    return {ms / kMsPerDay, std::llabs(ms) % kMsPerDay};
}

constexpr std::array<std::string_view, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

void AppendNumber(std::string& out, int value, int minDigits) {
    char buf[16];
    int n = 0;
    unsigned v = static_cast<unsigned>(value < 0 ? -value : value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < minDigits) buf[n++] = '0';
    if (value < 0) out.push_back('-');
    while (n > 0) out.push_back(buf[--n]);
}

// First character of a UTF-8 text (a whole code point).
std::string_view FirstCharacter(std::string_view s) {
    if (s.empty()) return s;
    std::size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
    return s.substr(0, n);
}

} // namespace

double EncodeDateTime(const CivilDateTime& t) {
    const double day =
        static_cast<double>(DaysFromCivil(t.year, t.month, t.day) + kUnixEpochDay);
    const double time =
        ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
    const double fraction = time / kMillisecondsPerDay;
    // Before the epoch the fraction counts away from zero, so that the time of day reads the
    // same from the magnitude.
    return day < 0 ? day - fraction : day + fraction;
}

CivilDateTime DecodeDateTime(double value) {
    const Split s = SplitValue(value);
    CivilDateTime t;
    CivilFromDays(s.day - kUnixEpochDay, t.year, t.month, t.day);
    t.hour = static_cast<int>(s.timeMs / 3'600'000);
    t.minute = static_cast<int>(s.timeMs / 60'000 % 60);
    t.second = static_cast<int>(s.timeMs / 1000 % 60);
    t.millisecond = static_cast<int>(s.timeMs % 1000);
    return t;
}

int DayOfWeek(double value) {
    // Day 0, 1899-12-30, was a Saturday.
    const std::int64_t day = SplitValue(value).day;
    return static_cast<int>(((day % 7) + 7 + 6) % 7);
}

std::string_view EnglishDayName(int dayOfWeek, bool abbreviated) {
    if (dayOfWeek < 0 || dayOfWeek > 6) return {};
    const std::string_view name = kDayNames[static_cast<std::size_t>(dayOfWeek)];
    return abbreviated ? name.substr(0, 3) : name;
}

std::string_view EnglishMonthName(int month, bool abbreviated) {
    if (month < 1 || month > 12) return {};
    const std::string_view name = kMonthNames[static_cast<std::size_t>(month - 1)];
    return abbreviated ? name.substr(0, 3) : name;
}

namespace {

// A quoted literal starting at picture[i] (the opening quote): copied without its quotes; two
// quotes in a row stand for one quote, inside or outside. Returns the index after it.
std::size_t AppendQuoted(std::string& out, std::string_view picture, std::size_t i) {
    ++i;
    if (i < picture.size() && picture[i] == '\'') {
        out.push_back('\'');
        return i + 1;
    }
    while (i < picture.size()) {
        if (picture[i] != '\'') {
            out.push_back(picture[i++]);
        } else if (i + 1 < picture.size() && picture[i + 1] == '\'') {
            out.push_back('\'');
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i;
}

// One picture field: `n` repetitions of the letter `c`.
void AppendField(std::string& out, char c, int n, const CivilDateTime& t, const FormatSettings& fs) {
    const int width = n >= 2 ? 2 : 1;
    switch (c) {
    case 'd':
        if (n <= 2) AppendNumber(out, t.day, n);
        else out += EnglishDayName(DayOfWeek(EncodeDateTime(t)), n == 3);
        break;
    case 'M':
        if (n <= 2) AppendNumber(out, t.month, n);
        else out += EnglishMonthName(t.month, n == 3);
        break;
    case 'y': AppendNumber(out, n == 1 ? t.year % 10 : n == 2 ? t.year % 100 : t.year, n <= 2 ? n : 4); break;
    case 'g': out += "A.D."; break;
    case 'h': AppendNumber(out, t.hour % 12 == 0 ? 12 : t.hour % 12, width); break;
    case 'H': AppendNumber(out, t.hour, width); break;
    case 'm': AppendNumber(out, t.minute, width); break;
    case 's': AppendNumber(out, t.second, width); break;
    case 't': {
        const std::string& marker = t.hour < 12 ? fs.amDesignator : fs.pmDesignator;
        out += n == 1 ? FirstCharacter(marker) : std::string_view(marker);
        break;
    }
    default: out.append(static_cast<std::size_t>(n), c); break;
    }
}

} // namespace

std::string FormatDateTimePicture(std::string_view picture, const CivilDateTime& t,
                                  const FormatSettings& fs) {
    std::string out;
    out.reserve(picture.size() + 16);
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            i = AppendQuoted(out, picture, i);
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        AppendField(out, c, static_cast<int>(run), t, fs);
        i += run;
    }
    return out;
}

} // namespace qvx
