#include "platform/win32/user_format_settings.h"

#include <gtest/gtest.h>

TEST(FormatSettingsWin, ReadsTheUsersSeparatorsAndPictures) {
    const qvx::FormatSettings fs = qvx::ReadUserFormatSettings();
    EXPECT_FALSE(fs.decimalSeparator.empty());
    EXPECT_FALSE(fs.timeSeparator.empty());
    EXPECT_NE(fs.shortDateFormat.find('d'), std::string::npos);
    EXPECT_NE(fs.longTimeFormat.find('m'), std::string::npos);
}
