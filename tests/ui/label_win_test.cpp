#include "ui/label_win.h"

#include <gtest/gtest.h>

namespace qvx::ui {
namespace {

TEST(LabelWrapLines, BreaksAtBlanksWithoutKeepingThemAndHonoursLineBreaks) {
    HDC dc = GetDC(nullptr);
    SIZE word{};
    GetTextExtentPoint32W(dc, L"abcd efgh", 9, &word);
    // Room for two words but not three.
    const auto lines = WrapLines(dc, L"abcd efgh  ijkl mnop\r\nqr", word.cx);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"abcd efgh", L"ijkl mnop", L"qr"}));
    HDC dc2 = GetDC(nullptr);
    // A word wider than the label keeps its own line; an empty text is one empty line.
    EXPECT_EQ(WrapLines(dc2, L"abcdefghijklmnop x", 5), (std::vector<std::wstring>{L"abcdefghijklmnop", L"x"}));
    EXPECT_EQ(WrapLines(dc2, L"", 50), (std::vector<std::wstring>{L""}));
    ReleaseDC(nullptr, dc2);
}

} // namespace
} // namespace qvx::ui
