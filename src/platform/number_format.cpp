#include "platform/format_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qvx {

const FormatSettings& DefaultFormatSettings() {
    static const FormatSettings settings;
    return settings;
}

namespace {

// Decimal digits of a value and the power of ten of the first one:
// value = 0.d1 d2 d3 ... x 10^pointPos.
struct Digits {
    std::string digits;
    int pointPos = 0;
};

Digits SignificantDigits(double value, int significant) {
    Digits out;
    if (value == 0) {
        out.digits = "0";
        out.pointPos = 1;
        return out;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    // buf: d.ddddde[+-]XX
    for (const char* p = buf; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') out.digits.push_back(*p);
    const char* e = std::strchr(buf, 'e');
    out.pointPos = std::atoi(e + 1) + 1;
    return out;
}

// The digits rounded (halves away from zero) so that they end `decimals` places after the
// point; a carry out of the first digit moves the point.
std::string RoundToDecimals(Digits& d, int decimals) {
    const int keep = d.pointPos + decimals;
    if (keep < 0) return {};
    if (keep >= static_cast<int>(d.digits.size())) return d.digits + std::string(keep - d.digits.size(), '0');
    std::string digits = d.digits.substr(0, static_cast<std::size_t>(keep));
    if (d.digits[static_cast<std::size_t>(keep)] < '5') return digits;
    int i = keep - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++digits[static_cast<std::size_t>(i)];
    } else {
        digits.insert(digits.begin(), '1');
        ++d.pointPos;
    }
    return digits;
}

// The whole part (no leading zeros, at least "0") with digit groups when asked for.
void AppendWholePart(std::string& out, std::string_view digits, const FormatSettings& fs, bool grouped) {
    const std::size_t first = digits.find_first_not_of('0');
    digits = first == std::string_view::npos ? std::string_view("0") : digits.substr(first);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (grouped && i > 0 && (digits.size() - i) % 3 == 0) out += fs.thousandSeparator;
        out.push_back(digits[i]);
    }
}

} // namespace

std::string FormatFixed(double value, int decimals, const FormatSettings& fs, bool grouped,
                        int significantDigits) {
    if (!std::isfinite(value)) return "0";
    Digits d = SignificantDigits(std::fabs(value), significantDigits);
    const std::string digits = RoundToDecimals(d, decimals);
    // Before the point: all but the last `decimals` digits (none: "0").
    const int wholeLength = static_cast<int>(digits.size()) - decimals;
    const std::string whole = wholeLength > 0 ? digits.substr(0, static_cast<std::size_t>(wholeLength)) : "0";
    std::string fraction = wholeLength > 0 ? digits.substr(static_cast<std::size_t>(wholeLength))
                                           : std::string(static_cast<std::size_t>(-wholeLength), '0') + digits;
    fraction.resize(static_cast<std::size_t>(std::max(decimals, 0)), '0');

    std::string out;
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) out.push_back('-');
    AppendWholePart(out, whole, fs, grouped);
    if (decimals > 0) {
        out += fs.decimalSeparator;
        out += fraction;
    }
    return out;
}

} // namespace qvx
