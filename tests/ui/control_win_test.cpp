// The windowing framework on its own, on a small form built for the tests: properties mirrored
// to the windows, deferred updates, notifications reflected to the control that caused them,
// menus, windows the system destroys with their parent, and the GDI objects controls share.
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/button_win.h"
#include "ui/check_box_win.h"
#include "ui/form_win.h"
#include "ui/group_box_win.h"
#include "ui/image_win.h"
#include "ui/label_win.h"
#include "ui/list_box_win.h"
#include "ui/menu_win.h"
#include "ui/offscreen_win.h"
#include "ui/page_control_win.h"
#include "ui/progress_bar_win.h"
#include "ui/radio_group_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qvx::ui {
namespace {

constexpr Color kCheckColor = Rgb(10, 120, 200);

const std::vector<ControlDesign>& Rows() {
    static const std::vector<ControlDesign> rows = {
        {.kind = Kind::MainMenu, .name = "menu"},
        {.kind = Kind::MenuItem, .name = "fileMenu", .parent = "menu", .caption = "&File"},
        {.kind = Kind::MenuItem, .name = "openItem", .parent = "fileMenu", .caption = "&Open"},
        {.kind = Kind::MenuItem, .name = "hiddenItem", .parent = "fileMenu", .caption = "&Hidden", .visible = false},
        {.kind = Kind::GroupBox, .name = "group", .left = 10, .top = 10, .width = 200, .height = 100, .caption = "Group"},
        {.kind = Kind::Button, .name = "button", .parent = "group", .left = 12, .top = 30, .width = 80, .height = 25,
         .caption = "Press"},
        {.kind = Kind::Button, .name = "otherButton", .parent = "group", .left = 100, .top = 30, .width = 80,
         .height = 25, .caption = "Other"},
        {.kind = Kind::CheckBox, .name = "check", .left = 10, .top = 120, .width = 120, .height = 20, .caption = "Check",
         .color = kCheckColor, .checked = true},
        {.kind = Kind::Label, .name = "label", .left = 220, .top = 10, .width = 120, .height = 20, .caption = "Label",
         .font = {.height = 20, .bold = true}},
        {.kind = Kind::ListBox, .name = "list", .left = 220, .top = 40, .width = 120, .height = 60,
         .items = {"one", "two"}},
        {.kind = Kind::ProgressBar, .name = "bar", .left = 220, .top = 110, .width = 120, .height = 16},
        {.kind = Kind::RadioGroup, .name = "radio", .left = 10, .top = 150, .width = 200, .height = 90,
         .caption = "Radio", .items = {"a", "b", "c"}, .itemIndex = 1},
        {.kind = Kind::PageControl, .name = "pages", .left = 220, .top = 140, .width = 160, .height = 100},
        {.kind = Kind::TabSheet, .name = "firstPage", .parent = "pages", .caption = "First"},
        {.kind = Kind::TabSheet, .name = "secondPage", .parent = "pages", .caption = "Second"},
        {.kind = Kind::Button, .name = "pageButton", .parent = "secondPage", .left = 5, .top = 5, .width = 60,
         .height = 22, .caption = "On page"},
        {.kind = Kind::Image, .name = "picture", .left = 350, .top = 10, .width = 30, .height = 30},
    };
    return rows;
}

const FormDesign kDesign{.name = "frameworkForm", .caption = "Framework", .left = 30, .top = 30, .clientWidth = 400,
                         .clientHeight = 260};

// A control's rectangle in its parent window's client coordinates, as the window has it.
RECT WindowBounds(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int FontHeightOf(HWND hwnd) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return 0;
    return -lf.lfHeight;
}

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        form = std::make_unique<Form>(kDesign, Rows());
    }
    void TearDown() override {
        form.reset();
        test::ResetApplication();
    }
    void show() {
        form->show();
        test::PumpFor(20);
    }
    template <class T>
    T& get(const char* name) {
        return form->find<T>(name);
    }

    std::unique_ptr<Form> form;
};

TEST_F(FrameworkTest, PropertiesLiveInTheControlsAndReachTheirWindows) {
    Button& button = get<Button>("button");
    // Without a window the values are simply kept; the window is made from them.
    button.setCaption("Before");
    button.setBounds(14, 32, 70, 24);
    button.setEnabled(false);
    EXPECT_EQ(button.handle(), nullptr);
    EXPECT_EQ(button.caption(), "Before");
    show();
    ASSERT_NE(button.handle(), nullptr);
    EXPECT_EQ(test::WindowText(button.handle()), "Before");
    const RECT r = WindowBounds(button.handle());
    EXPECT_EQ(r.left, 14);
    EXPECT_EQ(r.top, 32);
    EXPECT_EQ(r.right - r.left, 70);
    EXPECT_FALSE(IsWindowEnabled(button.handle()));

    // Each change goes to the window at once while nothing defers it.
    button.setCaption("After");
    button.setLeft(40);
    button.setEnabled(true);
    button.setVisible(false);
    EXPECT_EQ(test::WindowText(button.handle()), "After");
    EXPECT_EQ(WindowBounds(button.handle()).left, 40);
    EXPECT_TRUE(IsWindowEnabled(button.handle()));
    EXPECT_FALSE(IsWindowVisible(button.handle()));

    // Fonts: a child without a font of its own follows its parent's; one with its own keeps it.
    Label& label = get<Label>("label");
    GroupBox& group = get<GroupBox>("group");
    EXPECT_EQ(FontHeightOf(label.handle()), 20);
    group.setFontSize(16);
    EXPECT_EQ(button.fontSize(), 16);
    EXPECT_EQ(FontHeightOf(button.handle()), PixelsFromPoints(16));
    form->setFontSize(9);
    EXPECT_EQ(FontHeightOf(label.handle()), 20);
    EXPECT_EQ(button.fontSize(), 16);  // its parent's own font, not the form's
}

TEST_F(FrameworkTest, KindSpecificStateReachesTheWindowsAndTheWindowsAnswerFromIt) {
    show();
    CheckBox& check = get<CheckBox>("check");
    EXPECT_EQ(SendMessageW(check.handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    check.setChecked(false);
    EXPECT_EQ(SendMessageW(check.handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    ListBox& list = get<ListBox>("list");
    list.addItem("three");
    EXPECT_EQ(SendMessageW(list.handle(), LB_GETCOUNT, 0, 0), 3);
    list.clear();
    EXPECT_EQ(SendMessageW(list.handle(), LB_GETCOUNT, 0, 0), 0);

    // The bar keeps its range and position and answers the queries about them itself.
    ProgressBar& bar = get<ProgressBar>("bar");
    bar.setRange(10, 50);
    bar.setPosition(80);
    EXPECT_EQ(bar.position(), 50);
    EXPECT_EQ(SendMessageW(bar.handle(), PBM_GETPOS, 0, 0), 50);
    PBRANGE range{};
    EXPECT_EQ(SendMessageW(bar.handle(), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
    EXPECT_EQ(range.iHigh, 50);
    bar.setRange(0, 20);
    EXPECT_EQ(SendMessageW(bar.handle(), PBM_GETPOS, 0, 0), 20);

    RadioGroup& radio = get<RadioGroup>("radio");
    EXPECT_EQ(SendMessageW(radio.itemHandle(1), BM_GETCHECK, 0, 0), BST_CHECKED);
    radio.setItemIndex(2);
    EXPECT_EQ(SendMessageW(radio.itemHandle(1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(radio.itemHandle(2), BM_GETCHECK, 0, 0), BST_CHECKED);
    radio.setItemIndex(7);  // kept within the items
    EXPECT_EQ(radio.itemIndex(), 2);
}

TEST_F(FrameworkTest, DeferredChangesReachTheWindowsAtTheFlushOnly) {
    show();
    Button& button = get<Button>("button");
    ProgressBar& bar = get<ProgressBar>("bar");
    {
        DeferredUpdates outer;
        button.setCaption("First");
        button.setCaption("Second");
        button.setTop(50);
        bar.setPosition(40);
        {
            DeferredUpdates inner;
            button.setEnabled(false);
        }
        // The inner scope ended inside the outer one: still nothing on the windows.
        EXPECT_EQ(test::WindowText(button.handle()), "Press");
        EXPECT_EQ(WindowBounds(button.handle()).top, 30);
        EXPECT_TRUE(IsWindowEnabled(button.handle()));
        EXPECT_EQ(SendMessageW(bar.handle(), PBM_GETPOS, 0, 0), 40);  // the value, not the picture
        EXPECT_EQ(button.caption(), "Second");

        // An explicit flush brings everything up to date while the deferral goes on.
        Application::instance().flushDeferred();
        EXPECT_EQ(test::WindowText(button.handle()), "Second");
        EXPECT_EQ(WindowBounds(button.handle()).top, 50);
        EXPECT_FALSE(IsWindowEnabled(button.handle()));
        button.setCaption("Third");
        EXPECT_EQ(test::WindowText(button.handle()), "Second");
    }
    EXPECT_EQ(test::WindowText(button.handle()), "Third");
    EXPECT_FALSE(Application::instance().deferring());
}

TEST_F(FrameworkTest, NotificationsGoBackToTheControlThatSentThem) {
    show();
    std::vector<std::string> clicks;
    const auto record = [&](Control& sender) { clicks.push_back(sender.name()); };
    for (const char* name : {"button", "otherButton", "check", "radio", "picture", "group"})
        get<Control>(name).OnClick = record;

    // A button inside a group box: its BN_CLICKED goes to the group's window.
    SendMessageW(get<Button>("button").handle(), BM_CLICK, 0, 0);
    SendMessageW(get<GroupBox>("group").handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(get<Button>("otherButton").handle()));
    // A check box on the form: the click also reads the new check mark.
    CheckBox& check = get<CheckBox>("check");
    SendMessageW(check.handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(check.checked());
    // A radio button is the group's own window: a new item is a click, the same one is not.
    RadioGroup& radio = get<RadioGroup>("radio");
    SendMessageW(radio.itemHandle(0), BM_CLICK, 0, 0);
    SendMessageW(radio.itemHandle(0), BM_CLICK, 0, 0);
    EXPECT_EQ(radio.itemIndex(), 0);
    // A graphic control has no window: its parent passes the click on.
    const LPARAM inPicture = MAKELPARAM(360, 20), outside = MAKELPARAM(395, 250);
    SendMessageW(form->handle(), WM_LBUTTONDOWN, MK_LBUTTON, inPicture);
    EXPECT_EQ(GetCapture(), form->handle());
    SendMessageW(form->handle(), WM_LBUTTONUP, 0, inPicture);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(form->handle(), WM_LBUTTONDOWN, MK_LBUTTON, outside);
    SendMessageW(form->handle(), WM_LBUTTONUP, 0, outside);
    EXPECT_EQ(clicks, (std::vector<std::string>{"button", "otherButton", "check", "radio", "picture"}));

    // The tab control's selection change comes back to the page control.
    PageControl& pages = get<PageControl>("pages");
    SendMessageW(pages.handle(), TCM_SETCURSEL, 1, 0);
    NMHDR hdr{pages.handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(form->handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(pages.activePageIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(get<Control>("secondPage").handle()));
    EXPECT_FALSE(IsWindowVisible(get<Control>("firstPage").handle()));

    // Colours are asked of the control: the check box paints on its own colour.
    const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(form->handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                     reinterpret_cast<LPARAM>(check.handle())));
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, kCheckColor);
    EXPECT_EQ(GetBkColor(dc.get()), kCheckColor);
}

TEST_F(FrameworkTest, MenuCommandsReachTheirItemsAndHiddenItemsAreNotInTheBar) {
    show();
    MainMenu& menu = get<MainMenu>("menu");
    MenuItem& open = get<MenuItem>("openItem");
    MenuItem& hidden = get<MenuItem>("hiddenItem");
    EXPECT_NE(open.commandId(), hidden.commandId());
    int opened = 0;
    open.OnClick = [&](MenuItem&) { ++opened; };
    SendMessageW(form->handle(), WM_COMMAND, MAKEWPARAM(open.commandId(), 0), 0);
    EXPECT_EQ(opened, 1);

    ASSERT_EQ(GetMenu(form->handle()), menu.handle());
    const auto fileMenu = [&] { return GetSubMenu(GetMenu(form->handle()), 0); };
    EXPECT_EQ(GetMenuItemCount(fileMenu()), 1);
    hidden.setVisible(true);
    hidden.setChecked(true);
    EXPECT_EQ(GetMenuItemCount(fileMenu()), 2);
    EXPECT_TRUE(GetMenuState(fileMenu(), hidden.commandId(), MF_BYCOMMAND) & MF_CHECKED);
    open.setEnabled(false);
    EXPECT_TRUE(GetMenuState(fileMenu(), open.commandId(), MF_BYCOMMAND) & MF_GRAYED);
}

// Windows the system destroys with their parent are not destroyed again (nor anything that
// gets their handle afterwards): each owner lets go when its window's last message comes.
TEST_F(FrameworkTest, WindowsDestroyedWithTheirParentAreReleased) {
    show();
    Button& button = get<Button>("button");
    RadioGroup& radio = get<RadioGroup>("radio");
    ASSERT_NE(radio.itemHandle(0), nullptr);
    ASSERT_NE(form->tooltipHandle(), nullptr);
    DestroyWindow(form->handle());
    EXPECT_EQ(form->handle(), nullptr);
    EXPECT_EQ(button.handle(), nullptr);
    EXPECT_EQ(get<GroupBox>("group").handle(), nullptr);
    EXPECT_EQ(get<Control>("pageButton").handle(), nullptr);
    EXPECT_EQ(radio.itemHandle(0), nullptr);
    EXPECT_EQ(form->tooltipHandle(), nullptr);
    // The controls keep their values and make their windows again.
    form->createHandle();
    EXPECT_EQ(test::WindowText(button.handle()), "Press");
    EXPECT_EQ(SendMessageW(radio.itemHandle(1), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(GdiCache, FontsAndBrushesAreSharedAndNestedPaintsGetBitmapsOfTheirOwn) {
    GdiCache& gdi = Application::instance().gdi();
    const FontDesc desc{.face = "Arial", .height = 17};
    const SharedFont a = AcquireFont(desc, 96), b = AcquireFont(desc, 96);
    EXPECT_EQ(a->get(), b->get());
    EXPECT_NE(AcquireFont({.face = "Arial", .height = 18}, 96)->get(), a->get());
    // The same description for a window at 150 %: a font of its own, 1.5 times as high (25.5
    // rounds up).
    const SharedFont large = AcquireFont(desc, 144);
    EXPECT_NE(large->get(), a->get());
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(large->get(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfHeight, -26);
    EXPECT_EQ(gdi.solidBrush(RGB(1, 2, 3)), gdi.solidBrush(RGB(1, 2, 3)));
    EXPECT_NE(gdi.solidBrush(RGB(1, 2, 3)), gdi.solidBrush(RGB(3, 2, 1)));

    HDC kept = nullptr;
    {
        OffscreenBuffer outer(40, 30);
        kept = outer.dc();
        ASSERT_NE(kept, nullptr);
        OffscreenBuffer nested(40, 30);
        ASSERT_NE(nested.dc(), nullptr);
        EXPECT_NE(nested.dc(), kept);
        // Painted into, each is a bitmap of at least its size.
        EXPECT_TRUE(PatBlt(nested.dc(), 0, 0, 40, 30, BLACKNESS));
        SetPixel(nested.dc(), 39, 29, RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(nested.dc(), 39, 29), RGB(255, 0, 0));
    }
    OffscreenBuffer next(200, 100);  // the kept one again, grown
    EXPECT_EQ(next.dc(), kept);
    SetPixel(next.dc(), 199, 99, RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(next.dc(), 199, 99), RGB(0, 255, 0));
}

} // namespace
} // namespace qvx::ui
