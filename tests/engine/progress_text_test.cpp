#include "engine/progress_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "engine/run_messages.h"
#include "platform/date_time.h"

using namespace qvx;
using namespace qvx::engine;

namespace {
constexpr std::int64_t MiB = 1 << 20;
FormatSettings Comma() {
    FormatSettings fs;
    fs.decimalSeparator = ",";
    fs.thousandSeparator = ".";
    fs.timeSeparator = ".";
    fs.shortDateFormat = "dd.MM.yyyy";
    fs.longTimeFormat = "HH:mm:ss";
    return fs;
}
} // namespace

TEST(ProgressText, MbTextMatchesTheGeneralFormatter) {
    const FormatSettings us;
    FormatSettings nbsp;
    nbsp.thousandSeparator = "\xC2\xA0";
    std::vector<std::int64_t> samples = {
        0, 1, 52428, 52429, 104857, 1536 * MiB + MiB / 2, 35840 * MiB, 999 * MiB + 996147,
        // Ties at the tenth significant digit: 123,456,789.25 and 1,234,567,890.5 MB.
        123456789 * MiB + MiB / 4, 1234567890 * MiB + MiB / 2, 9999999999 * MiB + 1015000,
        (std::int64_t{1} << 53) - 1, std::int64_t{1} << 53, std::int64_t{1} << 62};
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) samples.push_back(static_cast<std::int64_t>(rng() >> (rng() % 63 + 1)));
    for (std::int64_t b : samples) {
        const double mb = static_cast<double>(b) / 1048576.0;
        ASSERT_EQ(MbText(b, us), FormatFixed(mb, 1, us, true) + " MB") << b;
        ASSERT_EQ(MbText(b, nbsp), FormatFixed(mb, 1, nbsp, true) + " MB") << b;
    }
    EXPECT_EQ(MbText(1536 * MiB + MiB / 2, us), "1,536.5 MB");
    EXPECT_EQ(MbText(0, us), "0.0 MB");
    EXPECT_EQ(MbText(1234567 * MiB + MiB / 4, Comma()), "1.234.567,3 MB");
}

TEST(ProgressText, DurationsCountTotalHours) {
    const FormatSettings us;
    const double hour = 1.0 / 24;
    const double minute = hour / 60;
    const double second = minute / 60;
    EXPECT_EQ(DurationText(0, us), "00:00:00");
    EXPECT_EQ(DurationText(10 * minute, us), "00:10:00");
    // Across the first day: two-digit hours stay, and the day is not dropped.
    EXPECT_EQ(DurationText(23 * hour + 59 * minute + 59 * second, us), "23:59:59");
    EXPECT_EQ(DurationText(24 * hour, us), "24:00:00");
    EXPECT_EQ(DurationText(25 * hour + 3 * minute, us), "25:03:00");
    EXPECT_EQ(DurationText(26 * hour, us), "26:00:00");
    EXPECT_EQ(DurationText(99 * hour + 59 * minute + 59 * second, us), "99:59:59");
    EXPECT_EQ(DurationText(100 * hour, us), "100:00:00");
    EXPECT_EQ(DurationText(1234 * hour + 5 * minute + 6 * second, us), "1234:05:06");
    EXPECT_EQ(DurationText(100 * hour + 10 * minute, Comma()), "100.10.00");
    EXPECT_EQ(DurationText(-hour, us), "01:00:00");
    EXPECT_EQ(DurationText(-30 * hour, us), "30:00:00");
    // Whole milliseconds first: 1.9996 s is 2.000 s; 1.9994 s is 1.999 s; a hair under a day
    // is a day.
    EXPECT_EQ(DurationText(1.9996 * second, us), "00:00:02");
    EXPECT_EQ(DurationText(1.9994 * second, us), "00:00:01");
    EXPECT_EQ(DurationText(0.99999999999, us), "24:00:00");
    EXPECT_EQ(DurationText(10.0 / 1440, Comma()), "00.10.00");
    // Absurd estimates (a first block that took the whole clock tick) stop growing.
    EXPECT_EQ(DurationSeconds(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(DurationText(1e300, us), "596523:14:07");
    EXPECT_EQ(DurationSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(DurationSeconds(std::numeric_limits<double>::infinity()), 0);
}

TEST(ProgressText, StartStampUsesOurDayNamesAndTheUsersPictures) {
    const double tuesday = EncodeDateTime({2024, 1, 2, 13, 5, 9, 600});
    EXPECT_EQ(StartStampText(tuesday, FormatSettings{}), "Tue 1/2/2024, 1:05:09 PM");
    EXPECT_EQ(StartStampText(tuesday, Comma()), "Tue 02.01.2024, 13:05:09");
    EXPECT_EQ(StartStampText(tuesday + 4, Comma()).substr(0, 4), "Sat ");
}

TEST(ProgressText, SpeedAndPassTexts) {
    const FormatSettings us;
    const double second = 1.0 / 86400;
    EXPECT_EQ(SpeedText(1024 * MiB, second, us), "1,024.0");
    EXPECT_EQ(SpeedText(1024 * MiB, 80 * second, us), "12.8");
    EXPECT_EQ(SpeedText(1024 * MiB, 0.75 * second, Comma()), "1.365,3");
    // No measurable time: no rate, and no division by zero.
    EXPECT_EQ(SpeedText(1024 * MiB, 0, us), "0.0");
    EXPECT_EQ(SpeedText(1024 * MiB, -second, us), "0.0");
    EXPECT_EQ(SpeedText(1024 * MiB, 1e-320, us), "0.0");
    EXPECT_EQ(SpeedText(0, second, us), "0.0");

    EXPECT_EQ(PassText(1, 35), "Pass 1 of 35");
    EXPECT_EQ(PassLabelText(1, 35), "Pass 1 of 35 : ");
    EXPECT_EQ(ProgressCaptionText(12, 100), " Progress :    Pass 12 of 100 .... ");
}

TEST(RunMessages, ExactTexts) {
    EXPECT_EQ(ConfirmationText('d', 1),
              "WARNING: You are about to sanitize all free space on the \"D:\" drive - are you "
              "sure that you want to do this ?\r\n\r\n"
              "N.B.  No files currently on the drive will be harmed or altered.  \r\n\r\n"
              "However, the space occupied by previously existing files will be sanitized, so "
              "that the data in all deleted files is difficult or impossible to recover "
              "(depending on the Sanitation Level you have selected).\r\n\r\n"
              "The currently selected sanitization level is :   \"Medium  (3 Passes)\".\r\n\r\n"
              "You should make sure that you empty the \"Recycle Bin\" on this drive before "
              "continuing !\r\n\r\n"
              "Are you sure that you want to continue ?");
    // A command line over several drives asks once, naming each in its order.
    EXPECT_EQ(ConfirmationText(std::string_view("d"), 1), ConfirmationText('D', 1));
    const std::string two = ConfirmationText(std::string_view("sD"), 0);
    EXPECT_TRUE(two.starts_with(
              "WARNING: You are about to sanitize all free space on the \"S:\" and \"D:\" drives - are you "
              "sure that you want to do this ?\r\n\r\n"
              "N.B.  No files currently on the drives will be harmed or altered.  \r\n\r\n")) << two;
    const std::string three = ConfirmationText(std::string_view("cde"), 2);
    EXPECT_TRUE(three.starts_with("WARNING: You are about to sanitize all free space on the \"C:\", \"D:\" and \"E:\" drives - "))
        << three;
    EXPECT_NE(three.find("empty the \"Recycle Bin\" on these drives before continuing !"), std::string::npos) << three;
    EXPECT_NE(three.find("level is :   \"High  (9 Passes)\"."), std::string::npos) << three;
    EXPECT_EQ(CompletionText('c', "1,024.0"),
              "All Free Disk Space on the \"C:\" drive has been sanitized and it will now be "
              "difficult or even impossible (depending on the Sanitation Level you selected) for "
              "anyone to recover any data in any deleted files.\r\n\r\n"
              "The overall Disk Writing Speed was : 1,024.0 MB / sec");
    EXPECT_EQ(LeftoversRemovedText(1),
              "1 fill file left behind by an earlier, interrupted run was found and removed.");
    EXPECT_EQ(LeftoversRemovedText(3),
              "3 fill files left behind by an earlier, interrupted run were found and removed.");
}
