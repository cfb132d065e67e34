#include "drive/drive_texts.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

const FormatSettings& Us() { return DefaultFormatSettings(); }
constexpr std::int64_t KiB = 1024;

TEST(DriveTexts, KiBRoundingIsHalfToEven) {
    EXPECT_EQ(BytesToKiBHalfEven(0), 0);
    EXPECT_EQ(BytesToKiBHalfEven(511), 0);
    EXPECT_EQ(BytesToKiBHalfEven(512), 0);          // tie, 0 is even
    EXPECT_EQ(BytesToKiBHalfEven(513), 1);
    EXPECT_EQ(BytesToKiBHalfEven(1024 + 512), 2);   // tie, 1 is odd: up to 2
    EXPECT_EQ(BytesToKiBHalfEven(2048 + 512), 2);   // tie, 2 stays
    EXPECT_EQ(BytesToKiBHalfEven(2048 + 513), 3);
    EXPECT_EQ(BytesToKiBHalfEven(-5), 0);
}

TEST(DriveTexts, UnitCascadeUsesStrictComparisons) {
    EXPECT_EQ(DiskSpaceText(12939444 * KiB, 104857600 * KiB, Us()), "12.34 GB / 100.00 GB");
    EXPECT_EQ(DiskSpaceText(500000 * KiB, 2000000 * KiB, Us()), "488.3 MB / 1.91 GB");
    // Exactly 1 GiB is not more than 1,048,576 KiB: still megabytes. Exactly 1 TiB: gigabytes.
    EXPECT_EQ(KiBText(1048576, Us()), "1024.0 MB");
    EXPECT_EQ(KiBText(1073741824, Us()), "1024.00 GB");
    EXPECT_EQ(KiBText(1073741825, Us()), "1.00 TB");
    EXPECT_EQ(KiBText(1048577, Us()), "1.00 GB");
    EXPECT_EQ(KiBText(1025, Us()), "1.0 MB");
    EXPECT_EQ(KiBText(1024, Us()), "1024.0 KB");
    EXPECT_EQ(KiBText(2, Us()), "2.0 KB");
    EXPECT_EQ(KiBText(1, Us()), "1.0 KB");
    EXPECT_EQ(KiBText(0, Us()), "0");
}

TEST(DriveTexts, FailedQueriesAndSeparators) {
    // A failing total drops the free part; a failing free count with a known total shows "0 / ...".
    EXPECT_EQ(DiskSpaceText(5 * KiB, 0, Us()), "0");
    EXPECT_EQ(DiskSpaceText(0, 2000000 * KiB, Us()), "0 / 1.91 GB");
    FormatSettings comma;
    comma.decimalSeparator = ",";
    comma.thousandSeparator = ".";
    EXPECT_EQ(DiskSpaceText(500000 * KiB, 2000000 * KiB, comma), "488,3 MB / 1,91 GB");
    // No digit grouping in the panel, whatever the locale.
    EXPECT_EQ(KiBText(1073741823, comma), "1024,00 GB");
}

TEST(DriveTexts, SerialAndDriveNumbers) {
    EXPECT_EQ(VolumeSerialText(255u), "000000FF");
    EXPECT_EQ(VolumeSerialText(15770034u), "00F0A1B2");
    EXPECT_EQ(VolumeSerialText(0xDEADBEEFu), "DEADBEEF");
    EXPECT_EQ(DriveNumberOfLetter('a'), 1);
    EXPECT_EQ(DriveNumberOfLetter('C'), 3);
    EXPECT_EQ(DriveNumberOfLetter('z'), 26);
    EXPECT_EQ(DriveNumberOfLetter('1'), 0);
}

} // namespace
} // namespace qvx
