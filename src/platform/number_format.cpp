#include "platform/format_settings.h"

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

} // namespace

std::string FormatFixed(double value, int decimals, const FormatSettings& fs, bool grouped,
                        int significantDigits) {
    if (!std::isfinite(value)) return "0";
    const bool negative = value < 0;
    Digits d = SignificantDigits(std::fabs(value), significantDigits);

    // Round the digit string so that it ends `decimals` places after the point.
    const int keep = d.pointPos + decimals;
    std::string digits;
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(d.digits.size())) {
        digits = d.digits.substr(0, keep);
        if (d.digits[keep] >= '5') {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == '9') {
                    digits[i] = '0';
                } else {
                    ++digits[i];
                    break;
                }
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                ++d.pointPos;
            }
        }
    } else {
        digits = d.digits + std::string(keep - d.digits.size(), '0');
    }

    // Split into integer and fraction parts.
    std::string intPart, fracPart;
    const int total = static_cast<int>(digits.size());
    const int intLen = total - decimals;  // digits before the point
    if (intLen > 0) {
        intPart = digits.substr(0, intLen);
        fracPart = digits.substr(intLen);
    } else {
        intPart = "0";
        fracPart = std::string(-intLen, '0') + digits;
    }
    while (static_cast<int>(fracPart.size()) < decimals) fracPart.push_back('0');
    const size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);

    std::string out;
    const bool isZero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    if (negative && !isZero) out.push_back('-');
    if (grouped) {
        for (size_t i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0) out += fs.thousandSeparator;
            out.push_back(intPart[i]);
        }
    } else {
        out += intPart;
    }
    if (decimals > 0) {
        out += fs.decimalSeparator;
        out += fracPart;
    }
    return out;
}

} // namespace qvx
