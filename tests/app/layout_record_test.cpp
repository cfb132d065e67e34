#include "app/layout_record.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

const LayoutRecord kDesign{.clientWidth = 597, .clientHeight = 373};
const ControlGeometry kRefresh{.left = 21, .width = 130, .top = 336, .height = 33, .fontSize = 12};

TEST(LayoutRecord, FactorsAndTruncatedProducts) {
    const auto at = [](int w, int h) { return ScaleGeometry(kRefresh, *ComputeScaleFactors(kDesign, w, h)); };
    EXPECT_EQ(at(1194, 746), (ControlGeometry{.left = 42, .width = 260, .top = 672, .height = 66, .fontSize = 24}));
    // 21 x 537/597 = 18.89 gives 18; fonts follow the smaller factor.
    EXPECT_EQ(at(537, 336), (ControlGeometry{.left = 18, .width = 116, .top = 302, .height = 29, .fontSize = 10}));
    EXPECT_EQ(at(1194, 373), (ControlGeometry{.left = 42, .width = 260, .top = 336, .height = 33, .fontSize = 12}));
    EXPECT_EQ(at(597, 186), (ControlGeometry{.left = 21, .width = 130, .top = 167, .height = 16, .fontSize = 5}));
    EXPECT_EQ(at(0, 0), ControlGeometry{});
    const ControlGeometry offside{.left = -21, .width = 10, .top = -5, .height = 10, .fontSize = 8};
    EXPECT_EQ(ScaleGeometry(offside, *ComputeScaleFactors(kDesign, 537, 336)).left, -18);  // toward zero
    // Products beyond an int stop at its ends instead of overflowing.
    const ControlGeometry huge{.left = 2'000'000'000, .width = -2'000'000'000};
    const ControlGeometry big = ScaleGeometry(huge, *ComputeScaleFactors(kDesign, 597 * 4, 373));
    EXPECT_EQ(big.left, 2147483647);
    EXPECT_EQ(big.width, -2147483647 - 1);
    // A record without a usable client size scales nothing.
    EXPECT_FALSE(ComputeScaleFactors(LayoutRecord{.clientWidth = 0, .clientHeight = 373}, 597, 373));
    EXPECT_FALSE(ComputeScaleFactors(LayoutRecord{}, 597, 373));
}

TEST(LayoutRecord, AtAnotherDpiPlacesScaleByThePixelsAndFontsKeepTheirDesignedPoints) {
    const auto at = [](int w, int h, int dpi) { return ScaleGeometry(kRefresh, *ComputeScaleFactors(kDesign, w, h, dpi)); };
    // The design client area at 125, 150 and 200 %, each a fraction off the exact scale: places
    // follow the pixels, and the font stays at 12 points (made at the DPI), never 11.
    EXPECT_EQ(at(746, 466, 120), (ControlGeometry{.left = 26, .width = 162, .top = 419, .height = 41, .fontSize = 12}));
    EXPECT_EQ(at(895, 559, 144), (ControlGeometry{.left = 31, .width = 194, .top = 503, .height = 49, .fontSize = 12}));
    EXPECT_EQ(at(1193, 745, 192), (ControlGeometry{.left = 41, .width = 259, .top = 671, .height = 65, .fontSize = 12}));
    // A window the user made twice as large at 150 %: fonts grow by the user's factor only.
    EXPECT_EQ(at(1791, 1119, 144).fontSize, 24);
    // At 96 DPI nothing changes: the factors of the pixels.
    EXPECT_EQ(at(537, 336, 96), ScaleGeometry(kRefresh, *ComputeScaleFactors(kDesign, 537, 336)));
    EXPECT_FALSE(ComputeScaleFactors(kDesign, 597, 373, 0));
}

} // namespace
} // namespace qvx
