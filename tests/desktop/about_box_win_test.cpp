// The About box as a user meets it: opened from the Help menu, modal, its controls in place, a
// quote and a percentage at once, the links handed to the shell, every way out stopping the
// timers and the animation.
#include "app/main_form_win.h"
#include "desktop/about_box_layout.h"
#include "desktop/about_box_win.h"
#include "desktop/about_texts.h"
#include "platform/win32/shell.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/font_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

namespace qvx {
namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        DeleteFileW(Widen(test::ExeFolder() + "quarvex.ini").c_str());
        previousShell_ = SetShellHook([this](const ShellCall& call) { shell.push_back(call); });
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        about = std::make_unique<AboutBox>();
        about->createHandle();
        form->setAboutBox(about.get());
        form->show();
    }
    void TearDown() override {
        form->setAboutBox(nullptr);
        about.reset();
        form.reset();
        SetShellHook(std::move(previousShell_));
        test::ResetApplication();
    }

    // Help > About by its menu command; `inside` runs from the box's modal loop once the box is on
    // screen, and must close it (after 5 s the test fails and the box is closed).
    void OpenFromMenu(std::function<void()> inside) {
        static AboutBoxTest* self;
        self = this;
        inside_ = std::move(inside);
        ran_ = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
            AboutBox& box = *self->about;
            if (!box.isModal() || !IsWindowVisible(box.handle())) return;
            if (!self->ran_) {
                self->ran_ = true;
                self->deadline_ = GetTickCount64() + 5000;
                self->inside_();
            } else if (GetTickCount64() > self->deadline_) {
                ADD_FAILURE() << "the About box did not close";
                box.setModalResult(ui::mrCancel);
            }
        });
        SendMessageW(form->handle(), WM_COMMAND, MAKEWPARAM(form->aboutItem.commandId(), 0), 0);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(ran_);
    }

    static RECT PlaceInParent(HWND hwnd) {
        RECT r;
        GetWindowRect(hwnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // A mouse click: on the control's window, or for a graphic control on its parent.
    static void ClickOn(ui::Control& c) {
        HWND target = c.handle();
        LPARAM at = MAKELPARAM(2, 2);
        if (auto* g = dynamic_cast<ui::GraphicControl*>(&c)) {
            const RECT r = g->rectInParentWindow();
            target = g->parentWindow();
            at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(target, WM_LBUTTONUP, 0, at);
    }

    void ExpectRunning(bool on) {
        EXPECT_EQ(about->quoteTimer.enabled(), on);
        EXPECT_EQ(about->freeMemoryTimer.enabled(), on);
        EXPECT_EQ(about->logo.animate(), on);
        EXPECT_EQ(about->isModal(), on);
        EXPECT_EQ(IsWindowVisible(about->handle()) != FALSE, on);
        EXPECT_EQ(IsWindowEnabled(form->handle()) != FALSE, !on);  // modal
    }

    test::MessageBoxRecorder boxes;
    std::vector<ShellCall> shell;
    std::function<void(const ShellCall&)> previousShell_;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<AboutBox> about;
    std::function<void()> inside_;
    bool ran_ = false;
    ULONGLONG deadline_ = 0;
};

TEST_F(AboutBoxTest, OpensModalFromTheMenuWithEverythingShownAtOnce) {
    EXPECT_FALSE(IsWindowVisible(about->handle()));  // created hidden
    OpenFromMenu([&] {
        ExpectRunning(true);
        HWND box = about->handle();
        EXPECT_EQ(test::WindowText(box), "About Quarvex v2.0f ...");
        // Everything at its designed place, scaled to the monitor's DPI.
        const int dpi = test::CheckedDpi(box);
        const auto at = [dpi](int v) { return ui::ScaleForDpi(v, dpi); };
        const int tolerance = test::PlaceTolerance(dpi);
        RECT client, outer;
        GetClientRect(box, &client);
        EXPECT_EQ(client.right, at(622));
        EXPECT_EQ(client.bottom, at(411));
        EXPECT_FALSE(GetWindowLongW(box, GWL_STYLE) & (WS_SYSMENU | WS_THICKFRAME));
        GetWindowRect(box, &outer);
        EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);

        // A quote and a percentage straight away.
        const std::string quote = test::WindowText(about->quoteLabel.handle());
        EXPECT_NE(std::find(std::begin(kAboutQuotes), std::end(kAboutQuotes), quote), std::end(kAboutQuotes)) << quote;
        const std::string percent = test::WindowText(about->freeMemoryLabel.handle());
        EXPECT_TRUE(percent.size() >= 2 && percent.back() == '%' && std::atoi(percent.c_str()) <= 100) << percent;

        // The address buttons are never seen; their captions are on the labels of their rows,
        // which fit their text within the buttons' place.
        EXPECT_FALSE(IsWindowVisible(about->emailButton.handle()));
        EXPECT_FALSE(IsWindowVisible(about->webButton.handle()));
        EXPECT_EQ(test::WindowText(about->emailAddressLabel.handle()), EmailAddressText());
        EXPECT_EQ(test::WindowText(about->webAddressLabel.handle()), WebAddressText());
        EXPECT_NEAR(PlaceInParent(about->emailAddressLabel.handle()).top, at(228), tolerance);
        EXPECT_NEAR(PlaceInParent(about->webAddressLabel.handle()).top, at(257), tolerance);
        EXPECT_EQ(about->webAddressLabel.hint(), "Click to visit Tovren's WEB Page.");
        for (ui::Label* l : {&about->emailAddressLabel, &about->webAddressLabel}) {
            EXPECT_GT(l->width(), 8 * static_cast<int>(l->caption().size()) / 3) << l->name();
            EXPECT_LE(l->left() + l->width(), about->emailButton.left() + about->emailButton.width()) << l->name();
        }

        // Every windowed control at its place (fitted labels keep their left edge).
        for (const ui::ControlDesign& row : AboutBoxLayout()) {
            if (!ui::IsVisual(row.kind) || ui::IsGraphic(row.kind)) continue;
            const RECT r = PlaceInParent(about->find<ui::Control>(row.name).handle());
            EXPECT_NEAR(r.left, at(row.left), tolerance) << row.name;
            if (row.autoSize) continue;
            EXPECT_NEAR(r.top, at(row.top), tolerance) << row.name;
            EXPECT_NEAR(r.right - r.left, at(row.width), tolerance) << row.name;
            EXPECT_NEAR(r.bottom - r.top, at(row.height), tolerance) << row.name;
        }
        EXPECT_FALSE(about->okButton.glyph().empty());
        EXPECT_EQ(about->donationImage.width(), at(62));  // sized to its picture

        // Hand cursors; the frames sent behind everything (badgeFrame first, then logoFrame).
        for (ui::Control* c : std::initializer_list<ui::Control*>{
                 &about->emailAddressLabel, &about->webAddressLabel, &about->badgeLabel, &about->badgeImage,
                 &about->logo, &about->bannerImage, &about->badgeFrame, &about->logoFrame,
                 &about->donationLabel, &about->donationImage})
            EXPECT_EQ(c->cursor(), ui::Cursor::HandPoint) << c->name();
        const auto& kids = about->contentGroup.children();
        ASSERT_GE(kids.size(), 2u);
        EXPECT_EQ(kids[0], &about->logoFrame);
        EXPECT_EQ(kids[1], &about->badgeFrame);

        // The logo plays.
        std::set<int> frames;
        test::PumpUntil([&] {
            frames.insert(about->logo.currentFrame());
            return frames.size() >= 4;
        }, 3000);
        EXPECT_GE(frames.size(), 4u);
        SendMessageW(about->okButton.handle(), BM_CLICK, 0, 0);
    });
    ExpectRunning(false);
    const int frame = about->logo.currentFrame();
    test::PumpFor(350);
    EXPECT_EQ(about->logo.currentFrame(), frame);  // stopped while hidden
}

// Dragged to a monitor with another scale while shown, the box grows like the main window, its
// labels sized to their texts are measured again in the new fonts (the address labels staying in
// their buttons' rows), and back at the first scale every place is what it was.
TEST_F(AboutBoxTest, MovedToAnotherScaleTheBoxFollowsAndComesBackExactly) {
    OpenFromMenu([&] {
        HWND box = about->handle();
        const int dpi = about->dpi(), other = test::OtherDpi(dpi);
        const auto places = [&] {
            std::vector<std::array<int, 4>> all;
            for (const auto& component : about->components())
                if (const auto* c = dynamic_cast<const ui::Control*>(component.get())) all.push_back({c->left(), c->top(), c->width(), c->height()});
            return all;
        };
        const auto before = places();
        RECT window, client;
        GetWindowRect(box, &window);
        GetClientRect(box, &client);
        RECT suggested = window;
        suggested.right += ui::MulDivRounded(client.right, other, dpi) - client.right;
        suggested.bottom += ui::MulDivRounded(client.bottom, other, dpi) - client.bottom;
        SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
        for (const ui::ControlDesign& row : AboutBoxLayout()) {
            if (!ui::IsVisual(row.kind) || row.autoSize) continue;
            const auto& c = about->find<ui::Control>(row.name);
            EXPECT_EQ((std::array<int, 4>{c.left(), c.top(), c.width(), c.height()}),
                      (std::array<int, 4>{ui::ScaleForDpi(row.left, other), ui::ScaleForDpi(row.top, other),
                                          ui::ScaleForDpi(row.width, other), ui::ScaleForDpi(row.height, other)}))
                << row.name;
        }
        for (ui::Label* l : {&about->freeMemoryCaption, &about->freeMemoryLabel, &about->emailAddressLabel})
            EXPECT_EQ(l->width(), test::TextExtentIn(l->handle(), l->caption()).cx) << l->name();
        EXPECT_EQ(about->emailAddressLabel.top(), about->emailButton.top());

        SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&window));
        EXPECT_EQ(places(), before);
        about->closeBox();
    });
}

TEST_F(AboutBoxTest, EveryWayOutStopsTheTimersAndTheAnimationAndReopeningRestartsThem) {
    const auto key = [](HWND target, WPARAM vk) {
        SetFocus(target);
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    };
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"OK button", [&] { SendMessageW(about->okButton.handle(), BM_CLICK, 0, 0); }},
        {"Escape on the OK button", [&] { key(about->okButton.handle(), VK_ESCAPE); }},
        {"Escape on the box itself", [&] { key(about->handle(), VK_ESCAPE); }},
        {"Enter: the default button", [&] { key(about->handle(), VK_RETURN); }},
        {"a close request (Alt+F4)", [&] { PostMessageW(about->handle(), WM_CLOSE, 0, 0); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        // Stale texts: the showing must replace them at once.
        about->quoteLabel.setCaption("");
        about->freeMemoryLabel.setCaption("Free %");
        OpenFromMenu([&] {
            ExpectRunning(true);
            EXPECT_NE(about->quoteLabel.caption(), "");
            EXPECT_NE(about->freeMemoryLabel.caption(), "Free %");
            close();
        });
        ExpectRunning(false);
    }
}

TEST_F(AboutBoxTest, EveryLinkReachesTheShellWithTheRightText) {
    OpenFromMenu([&] {
        const std::string web = WebAddressText(), donate = DonationAddressText();
        const std::pair<ui::Control*, std::string> links[] = {
            {&about->emailAddressLabel, "mailto:" + EmailAddressText() + "?subject=Shareware: win_tests.exe"},
            {&about->webAddressLabel, web},         {&about->logo, web},
            {&about->bannerImage, web},  {&about->badgeImage, web},
            {&about->badgeLabel, web},               {&about->donationLabel, donate},
            {&about->donationImage, donate},
        };
        for (const auto& [control, expected] : links) {
            shell.clear();
            ClickOn(*control);
            ASSERT_EQ(shell.size(), 1u) << control->name();
            EXPECT_EQ(shell[0].kind, ShellCall::Kind::Open);
            EXPECT_EQ(shell[0].verb, "open");
            EXPECT_EQ(shell[0].target, expected) << control->name();
            EXPECT_EQ(shell[0].showCommand, SW_SHOWNORMAL);
            EXPECT_EQ(shell[0].owner, form->handle());
        }
        // The frame round the logo is not a link, and an empty address opens nothing.
        shell.clear();
        const RECT frame = about->logoFrame.rectInParentWindow();
        SendMessageW(about->contentGroup.handle(), WM_LBUTTONUP, 0, MAKELPARAM(frame.left + 2, (frame.top + frame.bottom) / 2));
        about->donationAddressLabel.setCaption("");
        ClickOn(about->donationImage);
        EXPECT_TRUE(shell.empty());
        EXPECT_TRUE(IsWindowVisible(about->handle()));  // links leave the box open
        about->closeBox();
    });
    form->runStartUp();  // the start-up sequence sets the addresses again
    EXPECT_EQ(about->donationAddressLabel.caption(), DonationAddressText());
}

TEST_F(AboutBoxTest, StartUpSetsTextsThatFitAndThatTheProgramFileHoldsOnlyScrambled) {
    EXPECT_EQ(about->productNameLabel.caption(), "Quarvex v2.0f");
    EXPECT_EQ(about->authorLabel.caption(), AuthorText() + ", September 2007");
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_NE(about->copyrightLabel.caption().find(std::to_string(now.wYear)), std::string::npos);
    // Each one-line text fits its fixed-size label (a longer one would wrap out of sight).
    HDC dc = GetDC(nullptr);
    for (ui::Label* l : {&about->productNameLabel, &about->authorLabel, &about->developedWithLabel,
                         &about->copyrightLabel, &about->statusLabel, &about->commentsLabel, &about->webPageLabel}) {
        const ui::SharedFont font = ui::AcquireFont(l->font(), l->dpi());
        HGDIOBJ old = SelectObject(dc, font->get());
        const std::wstring text = Widen(l->caption());
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        EXPECT_LE(size.cx, l->width()) << l->name() << ": " << l->caption();
    }
    ReleaseDC(nullptr, dc);

    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "run through ctest";
    std::ifstream exe(std::string(build) + "/src/quarvex.exe", std::ios::binary);
    ASSERT_TRUE(exe) << "quarvex.exe not built";
    const std::string bytes((std::istreambuf_iterator<char>(exe)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("Quarvex v2.0f"), std::string::npos);  // the search works
    for (const std::string& text : {AuthorText(), DevelopedUsingText(), SoftwareStatusText(), CommentsLeadInText(),
                                    WebPageLeadInText(), EmailAddressText(), WebAddressText(), std::string("tovren.example"),
                                    std::string("All rights reserved")})
        EXPECT_EQ(bytes.find(text), std::string::npos) << text;
}

} // namespace
} // namespace qvx
