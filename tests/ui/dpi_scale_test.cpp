#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace qvx::ui {
namespace {

TEST(DpiScale, LengthsRoundToNearestAndSavedSizesNeverDrift) {
    // The design client area at 125, 150 and 200 %, and back; halves round away from zero.
    EXPECT_EQ(ScaleForDpi(597, 120), 746);  // 746.25
    EXPECT_EQ(ScaleForDpi(373, 144), 560);  // 559.5
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);    // -4.5
    EXPECT_EQ(UnscaleForDpi(895, 144), 597);  // 596.67
    EXPECT_EQ(UnscaleForDpi(1193, 192), 597);  // 596.5
    EXPECT_EQ(MulDivRounded(5, 3, -2), -8);
    EXPECT_EQ(MulDivRounded(7, 1, 0), 7);
    // The default 602 x 427 at 150 %: the client area of 96 DPI (frame 8 x 46) scaled, in the
    // frame of 144 DPI (10 x 66); saved, it is 602 x 427 again, so it opens alike at 100 %.
    EXPECT_EQ(WindowExtentAtDpi(427, 144, 46, 66), 572 + 66);  // 571.5
    EXPECT_EQ(WindowExtentAt96(638, 144, 46, 66), 427);
    for (const int dpi : {96, 120, 144, 192}) {
        const int frame = 46 + (dpi - 96) / 4;
        for (int size = 120; size <= 2400; ++size) {
            // A size in the file survives any number of loads and saves unchanged...
            int units = size;
            for (int cycle = 0; cycle < 4; ++cycle) units = WindowExtentAt96(WindowExtentAtDpi(units, dpi, 46, frame), dpi, 46, frame);
            ASSERT_EQ(units, size) << dpi;
            // ...and a window of any size is kept after its first save, a pixel or two off at most.
            const int once = WindowExtentAtDpi(WindowExtentAt96(size, dpi, 46, frame), dpi, 46, frame);
            ASSERT_LE(std::abs(once - size), dpi / 96) << dpi << " " << size;
            ASSERT_EQ(WindowExtentAtDpi(WindowExtentAt96(once, dpi, 46, frame), dpi, 46, frame), once);
        }
    }
}

TEST(DpiScale, ResamplingReplicatesAtWholeScalesAndAveragesCoveredAreasOtherwise) {
    // Premultiplied 0xAARRGGBB.
    constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kClear = 0;
    const std::vector<std::uint32_t> square{kRed, kBlue, kClear, kRed};
    EXPECT_EQ(ResampleArea(square, 2, 2, 2, 2), square);
    const auto tripled = ResampleArea(square, 2, 2, 6, 6);
    ASSERT_EQ(tripled.size(), 36u);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(tripled[i], square[(i / 6 / 3) * 2 + (i % 6) / 3]) << i;
    // 150 %: the middle pixel covers a third of each neighbour and is their average, half
    // transparent where one of them is clear; the outer ones keep theirs.
    EXPECT_EQ(ResampleArea({kRed, kBlue}, 2, 1, 3, 1), (std::vector<std::uint32_t>{kRed, 0xFF800080, kBlue}));
    EXPECT_EQ(ResampleArea({kRed, kClear}, 2, 1, 3, 1)[1], 0x80800000u);
    EXPECT_EQ(ResampleArea(square, 2, 2, 1, 1), (std::vector<std::uint32_t>{0xBF800040}));
    EXPECT_TRUE(ResampleArea(square, 2, 2, 0, 4).empty());
    EXPECT_TRUE(ResampleArea(square, 3, 2, 4, 4).empty());  // too few pixels
}

} // namespace
} // namespace qvx::ui
