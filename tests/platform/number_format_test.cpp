#include "platform/format_settings.h"

#include <gtest/gtest.h>

using qvx::FormatFixed;

namespace {
const qvx::FormatSettings& us() { return qvx::DefaultFormatSettings(); }
qvx::FormatSettings german() {
    qvx::FormatSettings fs;
    fs.decimalSeparator = ",";
    fs.thousandSeparator = ".";
    return fs;
}
} // namespace

TEST(FormatFixed, RoundsToDecimalsAfterTenSignificantDigits) {
    EXPECT_EQ(FormatFixed(500000.0 / 1024, 1, us()), "488.3");
    EXPECT_EQ(FormatFixed(2000000.0 / 1048576, 2, us()), "1.91");
    EXPECT_EQ(FormatFixed(12939444.0 / 1048576, 2, us()), "12.34");
    EXPECT_EQ(FormatFixed(0.25, 1, us()), "0.3");     // halves away from zero
    EXPECT_EQ(FormatFixed(9.96, 1, us()), "10.0");    // carry into a new digit
    EXPECT_EQ(FormatFixed(0.04, 1, us()), "0.0");
    EXPECT_EQ(FormatFixed(0, 2, us()), "0.00");
    EXPECT_EQ(FormatFixed(7, 0, us()), "7");
    EXPECT_EQ(FormatFixed(-1.5, 1, us()), "-1.5");
    // 10 significant digits: 123456789.96 -> 123456790.0
    EXPECT_EQ(FormatFixed(123456789.96, 1, us()), "123456790.0");
    // Precision 6: 49.99995 -> 50.0000 -> 50
    EXPECT_EQ(FormatFixed(49.99995, 0, us(), false, 6), "50");
}

TEST(FormatFixed, GroupsThousandsAndUsesTheLocaleSeparators) {
    EXPECT_EQ(FormatFixed(1536.5, 1, us(), true), "1,536.5");
    EXPECT_EQ(FormatFixed(35840, 1, us(), true), "35,840.0");
    EXPECT_EQ(FormatFixed(999.95, 1, us(), true), "1,000.0");
    EXPECT_EQ(FormatFixed(1234567.25, 1, german(), true), "1.234.567,3");
    EXPECT_EQ(FormatFixed(12.34, 2, german()), "12,34");
}
