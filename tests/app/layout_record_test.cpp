#include "app/layout_record.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

const std::string kHeader = "597 373 W/H Mainform1";
const std::string kRefresh = "21 130 336 33 12 Refresh_BitBtn";

TEST(LayoutRecord, LinesAndFieldAsInteger) {
    EXPECT_EQ(LayoutHeaderLine(597, 373), kHeader);
    EXPECT_EQ(LayoutControlLine({.left = 21, .width = 130, .top = 336, .height = 33, .fontSize = 12}, "Refresh_BitBtn"), kRefresh);
    const std::tuple<std::string, int, int> cases[] = {
        {kRefresh, 1, 21}, {kRefresh, 5, 12}, {kHeader, 2, 373},
        {kHeader, 3, 0},   // "W/H": no digits
        {kHeader, 4, 1},   // "Mainform1"
        {"12 34", 5, 34},  // fewer fields than asked for: the last one
        {"-42 x", 1, -42}, {"+42", 1, 42}, {"a-4b2", 1, -42}, {"4-2", 1, 42}, {"1,234.5", 1, 12345},
        {"", 1, 0}, {"-", 1, 0}, {"99999999999999999999", 1, 0}, {"1  2", 2, 0}, {"1  2", 3, 2},
    };
    for (const auto& [line, n, expected] : cases) EXPECT_EQ(FieldAsInteger(line, " ", n), expected) << line << " #" << n;
}

TEST(LayoutRecord, FactorsAndTruncatedProducts) {
    const auto at = [](int w, int h) { return ScaleControlLine(kRefresh, *ComputeScaleFactors(kHeader, w, h)); };
    EXPECT_EQ(at(1194, 746), (ControlGeometry{.left = 42, .width = 260, .top = 672, .height = 66, .fontSize = 24}));
    // 21 x 537/597 = 18.89 gives 18; fonts follow the smaller factor.
    EXPECT_EQ(at(537, 336), (ControlGeometry{.left = 18, .width = 116, .top = 302, .height = 29, .fontSize = 10}));
    EXPECT_EQ(at(1194, 373), (ControlGeometry{.left = 42, .width = 260, .top = 336, .height = 33, .fontSize = 12}));
    EXPECT_EQ(at(597, 186), (ControlGeometry{.left = 21, .width = 130, .top = 167, .height = 16, .fontSize = 5}));
    EXPECT_EQ(ScaleControlLine("10 220 118 19 11 Label5", *ComputeScaleFactors(kHeader, 597, 186)).fontSize, 5);
    EXPECT_EQ(at(0, 0), ControlGeometry{});
    EXPECT_EQ(ScaleControlLine("-21 10 -5 10 8 X", *ComputeScaleFactors(kHeader, 537, 336)).left, -18);  // toward zero
    // A header without a usable reference size scales nothing.
    EXPECT_FALSE(ComputeScaleFactors("0 373 W/H Mainform1", 597, 373));
    EXPECT_FALSE(ComputeScaleFactors("", 597, 373));
}

} // namespace
} // namespace qvx
