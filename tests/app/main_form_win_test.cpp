// The main window as a user (or a screen reader) meets it: real windows with their captions and
// places, menus, pages, the drive panel, closing, and the launcher's show state.
#include "app/main_form_layout.h"
#include "app/main_form_win.h"
#include "drive/drive_info_win.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/dpi_win.h"
#include "ui/offscreen_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace qvx {
namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        DeleteFileW(Widen(test::ExeFolder() + "quarvex.ini").c_str());
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        form->show();
    }
    void TearDown() override {
        form.reset();
        test::ResetApplication();
    }

    // WS_VISIBLE of the control's own window (a control on the hidden page is still "shown").
    static bool ShownFlag(const ui::Control& c) { return (GetWindowLongW(c.handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

    // Where a control's window lies inside its parent window's client area.
    static RECT PlaceInParent(HWND hwnd) {
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static std::string MenuText(HMENU menu, int pos) {
        wchar_t buf[128] = {};
        GetMenuStringW(menu, pos, buf, 128, MF_BYPOSITION);
        return Narrow(buf);
    }

    static std::vector<std::string> MenuTexts(HMENU menu) {
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            texts.push_back((state & MF_SEPARATOR) ? "-" : MenuText(menu, i));
        }
        return texts;
    }

    test::MessageBoxRecorder boxes;
    std::unique_ptr<MainForm> form;
};

TEST_F(MainFormTest, EveryVisualControlIsARealWindowAtItsDesignPlace) {
    // The design client area, scaled to the monitor's DPI, gives every control the place its
    // layout row names, scaled alike.
    const int dpi = test::CheckedDpi(form->handle());
    EXPECT_EQ(form->dpi(), dpi);
    const auto at = [dpi](int v) { return ui::ScaleForDpi(v, dpi); };
    const int tolerance = test::PlaceTolerance(dpi);
    form->setClientSize(at(597), at(373));
    EXPECT_EQ(form->clientWidth(), at(597));
    EXPECT_EQ(form->clientHeight(), at(373));
    int checked = 0;
    for (const ui::ControlDesign& row : MainFormLayout()) {
        if (!ui::IsVisual(row.kind)) continue;
        auto& control = form->find<ui::Control>(row.name);
        ASSERT_NE(control.handle(), nullptr) << row.name;
        if (row.kind == ui::Kind::TabSheet) continue;  // placed by the page control
        if (row.kind == ui::Kind::Memo) continue;      // filled into its group box at start-up
        const RECT r = PlaceInParent(control.handle());
        EXPECT_NEAR(r.left, at(row.left), tolerance) << row.name;
        EXPECT_NEAR(r.top, at(row.top), tolerance) << row.name;
        EXPECT_NEAR(r.right - r.left, at(row.width), tolerance) << row.name;
        if (row.kind != ui::Kind::DriveComboBox) {  // its window includes the drop-down list
            EXPECT_NEAR(r.bottom - r.top, at(row.height), tolerance) << row.name;
        }
        if (row.kind == ui::Kind::Label || row.kind == ui::Kind::BitBtn || row.kind == ui::Kind::GroupBox) {
            EXPECT_EQ(test::WindowText(control.handle()), control.caption()) << row.name;
        }
        if (row.kind != ui::Kind::Memo) {
            EXPECT_EQ(ShownFlag(control), row.visible) << row.name;
        }
        ++checked;
    }
    EXPECT_GT(checked, 30);  // the table's controls were all looked at
    // Texts a reader of the window finds.
    EXPECT_EQ(test::WindowText(form->find<ui::Control>("volumeSerialCaption").handle()), "Drive Volume Serial Number :");
    EXPECT_EQ(test::WindowText(form->abortButton.handle()), "Abort");
    EXPECT_EQ(test::WindowText(form->driveGroup.handle()), " Selected Drive : ");
    // Fonts: bold 16 px buttons (12 pt), regular 15 px progress captions (11 pt).
    EXPECT_EQ(form->refreshButton.fontSize(), 12);
    EXPECT_TRUE(form->refreshButton.font().bold);
    EXPECT_EQ(form->find<ui::Control>("totalTimeCaption").fontSize(), 11);
    EXPECT_EQ(form->find<ui::Control>("totalTimeCaption").font().face, "Times New Roman");
}

TEST_F(MainFormTest, ButtonsHintsAndGlyphs) {
    EXPECT_FALSE(IsWindowEnabled(form->abortButton.handle()));
    for (ui::BitBtn* b : {&form->refreshButton, &form->sanitizeButton, &form->exitButton})
        EXPECT_TRUE(IsWindowEnabled(b->handle())) << b->name();
    // Each button has a two-image glyph whose disabled look differs from the normal one.
    for (ui::BitBtn* b : {&form->refreshButton, &form->sanitizeButton, &form->abortButton, &form->exitButton}) {
        const ui::Glyph& g = b->glyph();
        ASSERT_FALSE(g.empty()) << b->name();
        const auto& px = g.pixels();
        const int w = g.imageWidth();
        int differing = 0;
        for (int y = 0; y < g.imageHeight(); ++y)
            for (int x = 0; x < w; ++x)
                if (px[y * 2 * w + x] != px[y * 2 * w + w + x]) ++differing;
        EXPECT_GT(differing, 10) << b->name();
    }
    // The hints are registered with the window's tooltip.
    std::vector<std::string> tips;
    HWND tip = form->tooltipHandle();
    const int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.lpszText = text;
        SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti));
        tips.push_back(Narrow(text));
    }
    for (const char* hint : {"Refresh the details for the selected drive.", "Sanitize the free space on the selected drive.",
                             "Abort the sanitization process.", "Exit this program."})
        EXPECT_NE(std::find(tips.begin(), tips.end(), hint), tips.end()) << hint;
}

TEST_F(MainFormTest, MenusAndPagesInOrder) {
    HMENU bar = GetMenu(form->handle());
    ASSERT_NE(bar, nullptr);
    // The hidden spare item is not on the bar; the hidden separator is not in the Help menu.
    EXPECT_EQ(MenuTexts(bar), (std::vector<std::string>{"&File", "&Help"}));
    EXPECT_EQ(MenuTexts(GetSubMenu(bar, 0)), (std::vector<std::string>{"Always &On Top", "&Auto-Run at Windows Startup",
                                                                        "&Restore Factory Defaults", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(GetSubMenu(bar, 1)),
              (std::vector<std::string>{"&View Readme file", "View &Shareware Catalog", "&About"}));
    EXPECT_FALSE(form->spareMenu.visible());
    EXPECT_EQ(form->spareMenu.caption(), "");

    HWND tabs = form->pages.handle();
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    std::vector<std::string> names;
    for (int i = 0; i < 2; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        names.push_back(Narrow(text));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Sanitize", "Settings"}));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(form->sanitizePage.handle()));
    EXPECT_FALSE(IsWindowVisible(form->settingsPage.handle()));
}

TEST_F(MainFormTest, StartUpShowsTheDriveThroughTheSelectorAndTheLevelDescription) {
    EXPECT_EQ(form->driveList.drive(), 'c');
    // Free and total space of C: (whose free space other programs may be changing).
    EXPECT_NE(form->diskSpaceLabel.caption().find(" GB"), std::string::npos);
    EXPECT_NE(form->diskSpaceLabel.caption().find(" / "), std::string::npos);
    EXPECT_EQ(form->passLabel.caption(), " Pass : ");
    EXPECT_EQ(test::WindowText(form->handle()), "Quarvex v2.0f    -  Basic / Quick  (1 Pass)");
    EXPECT_TRUE(ShownFlag(*form->levelDescriptions[0]));
    for (int i = 1; i < 6; ++i) EXPECT_FALSE(form->levelDescriptions[i]->visible());

    // Choosing a level with the mouse shows only its description and names it in the caption.
    form->pages.setActivePage(form->settingsPage);
    SendMessageW(form->levelGroup.itemHandle(1), BM_CLICK, 0, 0);
    EXPECT_EQ(form->levelGroup.itemIndex(), 1);
    EXPECT_EQ(test::WindowText(form->handle()), "Quarvex v2.0f    -  Medium  (3 Passes)");
    EXPECT_TRUE(IsWindowVisible(form->levelDescriptions[1]->handle()));
    for (int i = 0; i < 6; ++i) {
        if (i != 1) {
            EXPECT_FALSE(IsWindowVisible(form->levelDescriptions[i]->handle())) << i;
        }
    }
    // The memos fill their group box and wrap their lines.
    RECT memo = PlaceInParent(form->levelDescriptions[1]->handle());
    EXPECT_LE(memo.left, 3);
    EXPECT_GE(memo.right, form->levelDescriptionGroup.width() - 3);
    EXPECT_FALSE(GetWindowLongW(form->levelDescriptions[1]->handle(), GWL_STYLE) & ES_AUTOHSCROLL);
}

TEST_F(MainFormTest, DrivePanelFollowsTheSelectorForLabelledUnlabelledAndFailingDrives) {
    form->passLabel.setCaption("Pass 3 of 9 : ");
    form->driveList.setDrive('U');  // a plain folder: no label
    EXPECT_EQ(form->driveList.drive(), 'u');
    EXPECT_EQ(form->volumeNameLabel.caption(), "");
    EXPECT_EQ(form->volumeSerialLabel.caption().size(), 8u);
    EXPECT_NE(form->fileSystemLabel.caption(), "Unknown");
    EXPECT_EQ(form->passLabel.caption(), " Pass : ");  // the refresh resets the progress area

    form->driveList.setDrive('q');  // no such drive: every query fails quietly
    EXPECT_EQ(form->diskSpaceLabel.caption(), "0");
    EXPECT_EQ(form->volumeNameLabel.caption(), "Unknown");
    EXPECT_EQ(form->volumeSerialLabel.caption(), "Unknown");
    EXPECT_EQ(form->fileSystemLabel.caption(), "Unknown");
    EXPECT_EQ(boxes.count(), 0u);

    form->driveList.setDrive('f');  // mapped to a folder that is gone: no space figures
    EXPECT_EQ(form->diskSpaceLabel.caption(), "0");

    std::string why;
    if (const char s = test::TmpfsDrive(&why)) {
        form->driveList.setDrive(s);
        EXPECT_EQ(form->volumeNameLabel.caption(), "QVXSCRATCH");
        EXPECT_EQ(form->volumeSerialLabel.caption(), "00F0A1B2");
        EXPECT_EQ(form->diskSpaceLabel.caption(), "64.0 MB / 64.0 MB");
    } else {
        std::printf("SKIPPED part: labelled tmpfs drive not available: %s\n", why.c_str());
    }
}

// What a window shows on the screen now, pixel by pixel (0x00RRGGBB), rows top to bottom.
std::vector<std::uint32_t> ScreenPixels(HWND hwnd, int& width) {
    RECT r;
    GetClientRect(hwnd, &r);
    width = r.right;
    void* bits = nullptr;
    HDC screen = GetDC(hwnd);
    HDC mem = CreateCompatibleDC(screen);
    const UniqueBitmap bmp = ui::CreateTopDownBitmap(r.right, r.bottom, &bits);
    HGDIOBJ old = SelectObject(mem, bmp.get());
    BitBlt(mem, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(p, p + static_cast<size_t>(r.right) * r.bottom);
    for (auto& px : pixels) px &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(hwnd, screen);
    return pixels;
}

// During a run the progress area reaches the screen at each flush by direct drawing: nothing
// waits for a paint message, and the windows answer with what they show.
TEST_F(MainFormTest, ProgressAreaReachesTheScreenAtAFlushWithoutPaintMessages) {
    form->pages.setActivePage(form->sanitizePage);
    test::PumpFor(100);
    HWND bar = form->progressBar.handle();
    HWND label = form->passMegabytesLabel.handle();
    int labelWidth = 0;
    const auto labelBefore = ScreenPixels(label, labelWidth);
    {
        ui::DeferredUpdates deferred;
        form->progressBar.setRange(0, 400);
        form->progressBar.setPosition(100);
        form->passMegabytesLabel.setCaption("1,234.5 MB");
        ui::Application::instance().flushDeferred();

        EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
        EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
        // A quarter filled: the bar's colour at an eighth, the track's at three eighths; full:
        // the bar's colour there too. Theme or not.
        int width = 0;
        const auto quarter = ScreenPixels(bar, width);
        ASSERT_GT(width, 40);
        const size_t middleRow = quarter.size() / width / 2 * width;
        const std::uint32_t fill = quarter[middleRow + width / 8];
        EXPECT_NE(quarter[middleRow + width * 3 / 8], fill);
        EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
        PBRANGE range{};
        EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 400);
        EXPECT_EQ(range.iLow, 0);
        EXPECT_EQ(range.iHigh, 400);
        form->progressBar.setPosition(400);
        ui::Application::instance().flushDeferred();
        EXPECT_EQ(ScreenPixels(bar, width)[middleRow + width * 3 / 8], fill);

        EXPECT_EQ(test::WindowText(label), "1,234.5 MB");
        EXPECT_NE(ScreenPixels(label, labelWidth), labelBefore);
    }
}

// The character height of the font a control's window uses.
int FontPixels(HWND hwnd) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return -lf.lfHeight;
}

TEST_F(MainFormTest, AtTheMonitorsScaleTheWindowOpensScaledWithEveryTextInsideItsControl) {
    const int dpi = test::CheckedDpi(form->handle());
    const auto at = [dpi](int v) { return ui::ScaleForDpi(v, dpi); };
    // With no settings file: the client area of the default 602 x 427 at 96 DPI, scaled.
    const RECT frame96 = ui::WindowRectForClient({}, GetWindowLongW(form->handle(), GWL_STYLE), true,
                                                 GetWindowLongW(form->handle(), GWL_EXSTYLE), 96);
    EXPECT_NEAR(form->clientWidth(), at(602 - (frame96.right - frame96.left)), test::PlaceTolerance(dpi));
    EXPECT_NEAR(form->clientHeight(), at(427 - (frame96.bottom - frame96.top)), test::PlaceTolerance(dpi));
    // Fonts are made once at this DPI from their point sizes; the tabs keep their designed width.
    EXPECT_EQ(FontPixels(form->refreshButton.handle()), at(ui::PixelsFromPoints(form->refreshButton.fontSize())));
    RECT tab{};
    SendMessageW(form->pages.handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_NEAR(tab.right - tab.left, at(150), 1);

    // Every caption fits: labels, group box titles after their indent, glyph and caption of the
    // buttons side by side inside their frames.
    form->driveList.setDrive('s');
    for (const auto& component : form->components()) {
        const auto* c = dynamic_cast<const ui::Control*>(component.get());
        const std::set<ui::Kind> captioned{ui::Kind::Label, ui::Kind::GroupBox, ui::Kind::RadioGroup, ui::Kind::BitBtn};
        if (!c || c->caption().empty() || !captioned.count(c->kind())) continue;
        const SIZE text = test::TextExtentIn(c->handle(), c->caption());
        const int room = c->kind() == ui::Kind::Label ? c->width() : c->kind() == ui::Kind::BitBtn ? c->width() - 8 - at(16 + 4) : c->width() - at(8);
        EXPECT_LE(text.cx, room) << c->name() << ": " << c->caption();
        EXPECT_LE(text.cy, c->height()) << c->name();
    }

    // The Refresh glyph is drawn at its scaled size: its green pixels span 16 pixels at 96 DPI.
    test::PumpFor(100);
    int width = 0;
    const std::vector<std::uint32_t> pixels = ScreenPixels(form->refreshButton.handle(), width);
    int leftmost = width, rightmost = -1;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int r = (pixels[i] >> 16) & 0xFF, g = (pixels[i] >> 8) & 0xFF, b = pixels[i] & 0xFF;
        if (g < r + 60 || g < b + 60) continue;
        leftmost = std::min(leftmost, static_cast<int>(i % width));
        rightmost = std::max(rightmost, static_cast<int>(i % width));
    }
    EXPECT_NEAR(rightmost - leftmost + 1, at(16), 1);
}

// Moved to a monitor with another scale, the window takes the suggested rectangle, everything
// inside follows at the new DPI, and moving back restores every place exactly, however often.
TEST_F(MainFormTest, AMoveToAnotherScaleTakesTheSuggestedRectangleAndMovingBackRestoresEverything) {
    const int dpi = form->dpi(), other = test::OtherDpi(dpi);
    const auto look = [&] {  // per component: left, top, width, height, points (zeros for menu items)
        std::vector<std::array<int, 5>> all;
        for (const auto& component : form->components()) {
            const auto* c = dynamic_cast<const ui::Control*>(component.get());
            all.push_back(c ? std::array<int, 5>{c->left(), c->top(), c->width(), c->height(), c->fontSize()} : std::array<int, 5>{});
        }
        return all;
    };
    const auto moveTo = [&](int newDpi, const RECT& suggested) {
        SendMessageW(form->handle(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
        RECT now;
        GetWindowRect(form->handle(), &now);
        EXPECT_TRUE(EqualRect(&now, &suggested));
    };
    const auto before = look();
    const auto record = form->layoutRecord();
    // The client area scaled (the frame stays Wine's, which draws frames at its one DPI).
    RECT original, suggested;
    GetWindowRect(form->handle(), &original);
    suggested = original;
    suggested.right += ui::MulDivRounded(form->clientWidth(), other, dpi) - form->clientWidth();
    suggested.bottom += ui::MulDivRounded(form->clientHeight(), other, dpi) - form->clientHeight();

    moveTo(other, suggested);
    EXPECT_EQ(form->dpi(), other);
    const auto moved = look();
    for (size_t k = 0; k < before.size(); ++k) {
        // Sheets and the descriptions fill what the tabs and a group box's caption leave.
        const auto* c = dynamic_cast<const ui::Control*>(form->components()[k].get());
        if (!c || c->kind() == ui::Kind::TabSheet || c->alignClient()) continue;
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(moved[k][i], before[k][i] * other / dpi, 2) << c->name() << " " << i;
        EXPECT_EQ(moved[k][4], before[k][4]) << c->name();  // the same points, made at the new DPI
    }
    EXPECT_EQ(FontPixels(form->refreshButton.handle()), ui::ScaleForDpi(ui::PixelsFromPoints(form->refreshButton.fontSize()), other));
    ICONINFO icon{};  // the title bar's icon at the new DPI's size
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(form->handle(), WM_GETICON, ICON_SMALL, 0)), &icon));
    BITMAP mask{};
    GetObjectW(icon.hbmMask, sizeof(mask), &mask);
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);
    EXPECT_EQ(mask.bmWidth, ui::SystemMetricForDpi(SM_CXSMICON, other));

    for (int round = 0; round < 3; ++round) {
        moveTo(dpi, original);
        moveTo(other, suggested);
    }
    moveTo(dpi, original);
    EXPECT_EQ(look(), before);
    EXPECT_EQ(form->layoutRecord(), record);  // the designed one throughout
}

TEST_F(MainFormTest, ExitClosesTheWindow) {
    form->exitButton.click();
    EXPECT_TRUE(ui::Application::instance().terminated());
    EXPECT_FALSE(IsWindowVisible(form->handle()));
}

TEST(MainFormProcess, ALauncherAskingForAMinimizedStartGetsAMinimizedWindow) {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "run through ctest";
    std::wstring exe = Widen(std::string(build) + "/src/quarvex.exe");
    for (auto& c : exe)
        if (c == L'/') c = L'\\';
    // Build dirs are Unix paths; Wine reaches them through Z:.
    std::wstring cmd = L"\"Z:" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND window = nullptr;
    std::pair<DWORD, HWND*> search{pi.dwProcessId, &window};
    test::PumpUntil([&] {
        EnumWindows(
            [](HWND h, LPARAM lp) {
                auto* ctx = reinterpret_cast<std::pair<DWORD, HWND*>*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                wchar_t cls[64] = {};
                GetClassNameW(h, cls, 64);
                if (pid == ctx->first && std::wstring(cls) == L"QuarvexForm" && IsWindowVisible(h)) {
                    *ctx->second = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return window != nullptr;
    }, 15000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsIconic(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

} // namespace
} // namespace qvx
