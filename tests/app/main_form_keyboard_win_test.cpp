// The main window driven through real input (SendInput), as a user with a keyboard and a mouse
// drives it: the page tabs, the Tab order of both pages, Ctrl+Tab, the arrow keys in the level
// group, Enter and Escape, and the hints of disabled buttons.
#include "app/main_form_win.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qvx {
namespace {

constexpr const char* kCaptionPrefix = "Quarvex v2.0f    -  ";

class MainFormKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        DeleteFileW(Widen(test::ExeFolder() + "quarvex.ini").c_str());
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        ui::Application::instance().setActiveForm(form.get());
        form->createHandle();
        form->show();
        ASSERT_TRUE(test::ForegroundForInput(form->handle()));
        test::PumpFor(50);
    }
    void TearDown() override {
        form.reset();
        test::ResetApplication();
    }

    // Lets the input just sent reach the window.
    static void settle() { test::PumpInput(); }
    void key(WORD vk, std::initializer_list<WORD> held = {}) {
        test::SendKey(vk, held);
        settle();
    }

    HWND tabs() const { return form->pages.handle(); }
    // A click on a tab. Successive clicks land 20 pixels apart, so that two of them never make a
    // double click unless `sameSpot` asks for one.
    void clickTab(int index, bool sameSpot = false) {
        RECT r{};
        SendMessageW(tabs(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        if (!sameSpot) clickShift_ = clickShift_ == 10 ? -10 : 10;
        test::SendClick(tabs(), {(r.left + r.right) / 2 + clickShift_, (r.top + r.bottom) / 2});
        settle();
    }
    int clickShift_ = 10;
    // The page shown, as the user sees it: -1 when the tab and the shown sheet disagree.
    int shownPage() const {
        const int selected = static_cast<int>(SendMessageW(tabs(), TCM_GETCURSEL, 0, 0));
        const bool first = IsWindowVisible(form->sanitizePage.handle()), second = IsWindowVisible(form->settingsPage.handle());
        if (selected == 0 && first && !second) return 0;
        if (selected == 1 && second && !first) return 1;
        return -1;
    }

    // What has the focus: a control's name, or "level i" for a button of the level group.
    std::string focusName() const {
        const HWND focus = GetFocus();
        for (int i = 0; i < 6; ++i)
            if (focus == form->levelGroup.itemHandle(i)) return "level " + std::to_string(i);
        if (ui::Control* c = ui::Control::fromHandle(focus)) return c->name();
        return focus ? "another window" : "nothing";
    }
    // The controls Tab (or Shift+Tab) reaches, one press each.
    std::vector<std::string> walk(int presses, bool backward) {
        std::vector<std::string> seen;
        for (int i = 0; i < presses; ++i) {
            backward ? key(VK_TAB, {VK_SHIFT}) : key(VK_TAB);
            seen.push_back(focusName());
        }
        return seen;
    }

    std::string caption() const { return test::WindowText(form->handle()); }

    test::MessageBoxRecorder boxes;
    std::unique_ptr<MainForm> form;
};

TEST_F(MainFormKeyboardTest, ATabAnswersClicksWhateverChangedThePageBefore) {
    // Each step and the page it leaves shown; the tab row keeps the focus after the first click.
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { clickTab(0); }, 0},
        {[&] { key(VK_RIGHT); }, 1},
        {[&] { clickTab(0); }, 0},
        {[&] { key(VK_RIGHT); }, 1},
        {[&] { key(VK_RIGHT); }, 1},  // no page past the last: the arrows do not wrap
        {[&] { key(VK_LEFT); }, 0},
        {[&] { clickTab(1); }, 1},
        {[&] { form->pages.setActivePage(form->sanitizePage); }, 0},  // as a run does
        {[&] { clickTab(1); }, 1},
        {[&] { key(VK_TAB, {VK_CONTROL}); }, 0},
        {[&] { clickTab(1); }, 1},
        {[&] { key(VK_LEFT); }, 0},
        {[&] { clickTab(1, true); }, 1},  // the second click on that spot arrives as a double click
    };
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i].first();
            ASSERT_EQ(shownPage(), steps[i].second) << "round " << round << ", step " << i;
        }
    }
    EXPECT_EQ(focusName(), "pages");
}

TEST_F(MainFormKeyboardTest, TabAndShiftTabWalkEachPageInOrder) {
    // Sanitize page; Abort is disabled while no run goes.
    clickTab(0);
    EXPECT_EQ(walk(5, false), (std::vector<std::string>{"driveList", "refreshButton", "sanitizeButton", "exitButton",
                                                        "pages"}));
    EXPECT_EQ(walk(5, true), (std::vector<std::string>{"exitButton", "sanitizeButton", "refreshButton", "driveList",
                                                       "pages"}));

    // Settings page: the group is one stop, at its selected level.
    key(VK_RIGHT);
    ASSERT_EQ(shownPage(), 1);
    EXPECT_EQ(walk(5, false),
              (std::vector<std::string>{"level 0", "refreshButton", "sanitizeButton", "exitButton", "pages"}));
    SendMessageW(form->levelGroup.itemHandle(3), BM_CLICK, 0, 0);
    SetFocus(form->exitButton.handle());
    EXPECT_EQ(walk(5, true),
              (std::vector<std::string>{"sanitizeButton", "refreshButton", "level 3", "pages", "exitButton"}));

    // An enabled Abort (as during a run) takes its place between Sanitize and Exit.
    form->abortButton.setEnabled(true);
    SetFocus(form->sanitizeButton.handle());
    EXPECT_EQ(walk(2, false), (std::vector<std::string>{"abortButton", "exitButton"}));
}

TEST_F(MainFormKeyboardTest, CtrlTabAndCtrlPageKeysTurnThePagesFromAnywhere) {
    SetFocus(form->exitButton.handle());
    const std::pair<const char*, std::function<void()>> turns[] = {
        {"Ctrl+Tab", [&] { key(VK_TAB, {VK_CONTROL}); }},
        {"Ctrl+Shift+Tab", [&] { key(VK_TAB, {VK_CONTROL, VK_SHIFT}); }},
        {"Ctrl+PgDn", [&] { key(VK_NEXT, {VK_CONTROL}); }},
        {"Ctrl+PgUp", [&] { key(VK_PRIOR, {VK_CONTROL}); }},
    };
    // Two pages: every turn, either way, shows the other one; past the last it starts again.
    int expected = 0;
    for (const auto& [name, turn] : turns) {
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(std::string(name) + " #" + std::to_string(i));
            turn();
            expected = 1 - expected;
            EXPECT_EQ(shownPage(), expected);
            EXPECT_EQ(focusName(), "exitButton");  // a focus off the pages stays
        }
    }
    // A focus on the page that goes away moves to the first control of the new page.
    ASSERT_EQ(shownPage(), 0);
    SetFocus(form->driveList.handle());
    key(VK_TAB, {VK_CONTROL});
    EXPECT_EQ(shownPage(), 1);
    EXPECT_EQ(focusName(), "level 0");
    key(VK_TAB, {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(shownPage(), 0);
    EXPECT_EQ(focusName(), "driveList");
}

TEST_F(MainFormKeyboardTest, ArrowKeysInTheLevelGroupSelectTheLevelTheyReach) {
    clickTab(1);
    key(VK_TAB);
    ASSERT_EQ(focusName(), "level 0");
    ASSERT_EQ(caption(), std::string(kCaptionPrefix) + "Basic / Quick  (1 Pass)");
    auto& group = form->levelGroup;
    // Down and Right go to the next level, Up and Left to the previous one, round the group.
    const std::pair<WORD, int> steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 3}, {VK_LEFT, 2}, {VK_UP, 1},
                                          {VK_UP, 0},   {VK_UP, 5},    {VK_DOWN, 0}, {VK_LEFT, 5}};
    for (const auto& [vk, level] : steps) {
        SCOPED_TRACE("to level " + std::to_string(level));
        key(vk);
        EXPECT_EQ(focusName(), "level " + std::to_string(level));
        EXPECT_EQ(group.itemIndex(), level);
        EXPECT_EQ(caption(), kCaptionPrefix + group.items()[level]);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(SendMessageW(group.itemHandle(i), BM_GETCHECK, 0, 0) == BST_CHECKED, i == level) << i;
            EXPECT_EQ(IsWindowVisible(form->levelDescriptions[i]->handle()) != FALSE, i == level) << i;
        }
    }
    // Space on the selected level changes nothing; Tab leaves the group.
    key(VK_SPACE);
    EXPECT_EQ(group.itemIndex(), 5);
    key(VK_TAB);
    EXPECT_EQ(focusName(), "refreshButton");
}

TEST_F(MainFormKeyboardTest, EnterPressesTheFocusedButtonAndNothingElse) {
    // Enter and Escape where no push button has the focus do nothing. A click into a description
    // gives it the focus: a multi-line edit asks its parent to close on Escape.
    form->passLabel.setCaption("Pass 9 of 9 : ");  // a refresh would reset it
    const std::pair<const char*, std::function<void()>> places[] = {
        {"the tab row", [&] { clickTab(1); }},
        {"the level group", [&] { key(VK_TAB); }},
        {"a description", [&] {
             test::SendClick(form->levelDescriptions[0]->handle(), {20, 20});
             settle();
         }},
        {"the drive list", [&] { key(VK_TAB, {VK_CONTROL}); }},
    };
    for (const auto& [where, focus] : places) {
        SCOPED_TRACE(where);
        focus();
        const HWND focused = GetFocus();
        key(VK_RETURN);
        key(VK_ESCAPE);
        EXPECT_EQ(GetFocus(), focused);
        EXPECT_EQ(boxes.count(), 0u);
        EXPECT_FALSE(ui::Application::instance().terminated());
        EXPECT_TRUE(IsWindow(form->levelDescriptionGroup.handle()) && IsWindowVisible(form->handle()));
        EXPECT_EQ(form->passLabel.caption(), "Pass 9 of 9 : ");
    }

    SetFocus(form->refreshButton.handle());
    key(VK_RETURN);
    EXPECT_EQ(form->passLabel.caption(), " Pass : ");
    // Sanitize asks first (answered No).
    SetFocus(form->sanitizeButton.handle());
    key(VK_RETURN);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Confirm);
    EXPECT_FALSE(form->running());
    EXPECT_EQ(focusName(), "sanitizeButton");
    SetFocus(form->exitButton.handle());
    key(VK_RETURN);
    EXPECT_TRUE(ui::Application::instance().terminated());
    EXPECT_EQ(boxes.count(), 1u);
}

// The tooltip window shows `text` (within a few seconds of the mouse coming to rest).
bool TooltipShows(HWND tip, const std::string& text) {
    return test::PumpUntil([&] {
        if (!IsWindowVisible(tip)) return false;
        wchar_t buf[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.lpszText = buf;
        return SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) && Narrow(buf) == text;
    }, 4000);
}

TEST_F(MainFormKeyboardTest, DisabledButtonsShowTheirHints) {
    HWND tip = form->tooltipHandle();
    const auto hover = [&](ui::Control& c) {
        test::SendMouseMove(form->handle(), {2, 2});  // away first: a hint shows after the mouse comes to rest on a button
        settle();
        test::SendMouseMove(c.handle(), {c.width() / 2, c.height() / 2});
        test::PumpFor(60);
        test::SendMouseMove(c.handle(), {c.width() / 2 + 1, c.height() / 2});
    };
    ASSERT_FALSE(IsWindowEnabled(form->abortButton.handle()));
    hover(form->abortButton);
    EXPECT_TRUE(TooltipShows(tip, "Abort the sanitization process."));
    hover(form->exitButton);
    EXPECT_TRUE(TooltipShows(tip, "Exit this program."));
    // Refresh as a run leaves it.
    form->refreshButton.setEnabled(false);
    hover(form->refreshButton);
    EXPECT_TRUE(TooltipShows(tip, "Refresh the details for the selected drive."));
}

} // namespace
} // namespace qvx
