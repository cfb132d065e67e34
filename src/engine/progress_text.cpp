#include "engine/progress_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/date_time.h"

namespace qvx::engine {

namespace {

constexpr int kSignificant = 10;
constexpr std::int64_t kExactLimit = std::int64_t{1} << 53;  // beyond: not exact as a double
constexpr std::uint32_t kMiBMask = (1u << 20) - 1;

// Appends an unsigned decimal number with digit groups of three.
void AppendGrouped(std::string& out, const char* digits, int count, const FormatSettings& fs) {
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) out += fs.thousandSeparator;
        out.push_back(digits[i]);
    }
}

void AppendTwoDigits(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

// A decimal number as digits d[0..n) with the point after `point` of them (negative: leading
// zeros after the point).
struct Digits {
    char d[48];
    int n = 0;
    int point = 0;
};

// The exact decimal expansion of bytes / 2^20: the whole MiB, then at most 20 fraction digits
// (a binary fraction of 20 bits ends after 20 decimal places).
Digits ExactMebibytes(std::uint64_t bytes) {
    Digits v;
    std::uint64_t whole = bytes >> 20;
    std::uint32_t frac = static_cast<std::uint32_t>(bytes) & kMiBMask;
    char reversed[24];
    int r = 0;
    for (; whole != 0; whole /= 10) reversed[r++] = static_cast<char>('0' + whole % 10);
    while (r > 0) v.d[v.n++] = reversed[--r];
    v.point = v.n;
    while (frac != 0) {
        frac *= 10;
        const char digit = static_cast<char>('0' + (frac >> 20));
        frac &= kMiBMask;
        if (v.n == 0 && digit == '0') {
            --v.point;  // leading zero of a value below 1
            continue;
        }
        v.d[v.n++] = digit;
    }
    if (v.n == 0) {
        v.d[v.n++] = '0';
        v.point = 1;
    }
    return v;
}

// Adds one unit in the last of the first `n` digits; true when the carry ran out of digits
// (they were all nines and are all zeros now).
bool IncrementLastDigit(char* d, int n) {
    int i = n - 1;
    while (i >= 0 && d[i] == '9') d[i--] = '0';
    if (i < 0) return true;
    ++d[i];
    return false;
}

// Rounds to 10 significant digits, ties to even (the rounding a correctly rounded "%.9e" does),
// and pads to 10 digits.
void RoundToSignificant(Digits& v) {
    if (v.n > kSignificant) {
        const char next = v.d[kSignificant];
        bool rest = false;
        for (int i = kSignificant + 1; i < v.n; ++i) rest |= v.d[i] != '0';
        const bool up = next > '5' || (next == '5' && (rest || ((v.d[kSignificant - 1] - '0') & 1) != 0));
        v.n = kSignificant;
        if (up && IncrementLastDigit(v.d, v.n)) {
            v.d[0] = '1';  // 9999999999 -> 1000000000, one place further left
            ++v.point;
        }
    }
    while (v.n < kSignificant) v.d[v.n++] = '0';
}

// Rounds to one decimal, halves away from zero: afterwards all but the last digit are the
// whole part.
void RoundToTenths(Digits& v) {
    const int keep = v.point + 1;
    if (keep < 0) {
        v.n = 0;
    } else if (keep < v.n) {
        const bool up = v.d[keep] >= '5';
        v.n = keep;
        if (up && IncrementLastDigit(v.d, v.n)) {
            for (int j = v.n; j > 0; --j) v.d[j] = v.d[j - 1];
            v.d[0] = '1';
            ++v.n;
        }
    } else {
        while (v.n < keep) v.d[v.n++] = '0';
    }
}

} // namespace

void AppendMbText(std::string& out, std::int64_t bytes, const FormatSettings& fs) {
    if (bytes < 0 || bytes >= kExactLimit) {
        out += FormatFixed(static_cast<double>(bytes) / 1048576.0, 1, fs, true);
        out += " MB";
        return;
    }
    Digits v = ExactMebibytes(static_cast<std::uint64_t>(bytes));
    RoundToSignificant(v);
    RoundToTenths(v);
    const int wholeDigits = v.n - 1;
    int start = 0;
    while (start < wholeDigits - 1 && v.d[start] == '0') ++start;
    if (wholeDigits <= 0) {
        out.push_back('0');
    } else {
        AppendGrouped(out, v.d + start, wholeDigits - start, fs);
    }
    out += fs.decimalSeparator;
    out.push_back(v.n >= 1 ? v.d[v.n - 1] : '0');
    out += " MB";
}

std::string MbText(std::int64_t bytes, const FormatSettings& fs) {
    std::string s;
    AppendMbText(s, bytes, fs);
    return s;
}

int DurationSeconds(double days) {
    if (!std::isfinite(days)) return 0;
    const double seconds = std::floor(std::round(std::fabs(days) * kMillisecondsPerDay) / 1000);
    if (seconds >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return static_cast<int>(seconds);
}

void AppendDurationText(std::string& out, int seconds, const FormatSettings& fs) {
    const int hours = seconds / 3600;
    if (hours < 100) {
        AppendTwoDigits(out, hours);
    } else {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, hours).ptr;
        out.append(digits, end);
    }
    out += fs.timeSeparator;
    AppendTwoDigits(out, seconds / 60 % 60);
    out += fs.timeSeparator;
    AppendTwoDigits(out, seconds % 60);
}

std::string DurationText(double days, const FormatSettings& fs) {
    std::string s;
    AppendDurationText(s, DurationSeconds(days), fs);
    return s;
}

std::string StartStampText(double localDateTime, const FormatSettings& fs) {
    const CivilDateTime t = DecodeDateTime(localDateTime);
    std::string s(EnglishDayName(DayOfWeek(localDateTime), true));
    s += ' ';
    s += FormatDateTimePicture(fs.shortDateFormat, t, fs);
    s += ", ";
    s += FormatDateTimePicture(fs.longTimeFormat, t, fs);
    return s;
}

std::string SpeedText(std::int64_t writtenBytes, double elapsedDays, const FormatSettings& fs) {
    double speed = 0;
    if (elapsedDays > 0 && writtenBytes > 0)
        speed = (static_cast<double>(writtenBytes) / 1048576.0) / (elapsedDays * 86400.0);
    if (!std::isfinite(speed)) speed = 0;
    return FormatFixed(speed, 1, fs, true);
}

std::string PassText(int pass, int passCount) {
    return "Pass " + std::to_string(pass) + " of " + std::to_string(passCount);
}

std::string ProgressCaptionText(int pass, int passCount) {
    return " Progress :    " + PassText(pass, passCount) + " .... ";
}

std::string PassLabelText(int pass, int passCount) { return PassText(pass, passCount) + " : "; }

} // namespace qvx::engine
