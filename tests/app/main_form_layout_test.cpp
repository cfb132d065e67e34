#include "app/main_form_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qvx {
namespace {

TEST(MainFormLayout, ContainersComeBeforeTheirChildrenAndNamesAreUnique) {
    std::set<std::string> seen{MainFormDesign().name};
    for (const ui::ControlDesign& row : MainFormLayout()) {
        EXPECT_TRUE(seen.count(row.parent[0] ? row.parent : MainFormDesign().name)) << row.name << " before " << row.parent;
        EXPECT_TRUE(seen.insert(row.name).second) << "duplicate " << row.name;
    }
}

TEST(MainFormLayout, LayoutFitsTheDesignClientArea) {
    // The start-up sequence fits the client area to the page control and the bottom buttons.
    const ui::ControlDesign* pages = nullptr;
    const ui::ControlDesign* exit = nullptr;
    for (const ui::ControlDesign& row : MainFormLayout()) {
        if (std::string(row.name) == "pages") pages = &row;
        if (std::string(row.name) == "exitButton") exit = &row;
    }
    ASSERT_TRUE(pages && exit);
    EXPECT_EQ(pages->width + 2 * pages->left, 597);
    EXPECT_EQ(exit->top + exit->height + pages->top, 373);
}

} // namespace
} // namespace qvx
