#pragma once
// The user's regional formats, read once from the system (Win32: format_settings_win.cpp)
// and handed to the portable text formatters.
#include <string>

namespace qvx {

struct FormatSettings {
    std::string decimalSeparator = ".";
    std::string thousandSeparator = ",";
    std::string timeSeparator = ":";
    // Windows date/time pictures (d, dd, M, MM, yy, yyyy, h, hh, H, HH, m, mm, s, ss, t, tt, '...').
    std::string shortDateFormat = "M/d/yyyy";
    std::string longTimeFormat = "h:mm:ss tt";
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
};

// Default (US English) settings; what the tests use unless they say otherwise.
const FormatSettings& DefaultFormatSettings();

// Fixed-point text of a value: first rounded to `significantDigits` significant digits, then to
// `decimals` digits after the decimal separator (halves away from zero), at least one digit
// before the separator, a leading minus only for negative values, digit groups of three
// separated by the thousand separator when `grouped` is set.
std::string FormatFixed(double value, int decimals, const FormatSettings& fs, bool grouped = false,
                        int significantDigits = 10);

} // namespace qvx
