#include "app/main_form_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qvx {
namespace {

TEST(MainFormLayout, ContainersComeBeforeTheirChildrenAndNamesAreUnique) {
    std::set<std::string> seen{MainFormSpec().name};
    for (const ui::ControlSpec& row : MainFormLayout()) {
        EXPECT_TRUE(seen.count(row.parent[0] ? row.parent : MainFormSpec().name)) << row.name << " before " << row.parent;
        EXPECT_TRUE(seen.insert(row.name).second) << "duplicate " << row.name;
    }
}

TEST(MainFormLayout, LayoutFitsTheDesignClientArea) {
    // The start-up sequence fits the client area to the page control and the bottom buttons.
    const ui::ControlSpec* pages = nullptr;
    const ui::ControlSpec* exit = nullptr;
    for (const ui::ControlSpec& row : MainFormLayout()) {
        if (std::string(row.name) == "Overall_PageControl") pages = &row;
        if (std::string(row.name) == "Exit_BitBtn") exit = &row;
    }
    ASSERT_TRUE(pages && exit);
    EXPECT_EQ(pages->width + 2 * pages->left, 597);
    EXPECT_EQ(exit->top + exit->height + pages->top, 373);
}

} // namespace
} // namespace qvx
