// GifImageControl on a form under Wine: what reaches the screen, the window timer driving frames,
// Animate off, switching to a threaded timer mid-animation, and a demo form for screenshots
// (set QUARVEX_GIF_DEMO_SECONDS to keep it on screen that long).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

#include "gif_win_test_support.h"
#include "gifimage/gif_image_control_win.h"
#include "gifimage/gif_writer.h"
#include "gifimage/frame_timer_win.h"
#include "ui/form_win.h"

namespace qvx::gif::testing {
namespace {

using gifwriter::GifBuilder;
using gifwriter::Rgb;

constexpr COLORREF kFormColor = RGB(0, 128, 128);
const std::vector<Rgb> kColors = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 255, 255}};

gifwriter::Image Solid(int w, int h, std::uint8_t index) {
    gifwriter::Image img;
    img.width = w;
    img.height = h;
    img.indices.assign(static_cast<std::size_t>(w) * h, index);
    return img;
}

// Frames of solid colours 1, 2, 3, ... (red, green, blue, ...), `delayCs` each.
std::vector<std::uint8_t> SolidAnimation(int frames, int delayCs, int w = 8, int h = 8) {
    GifBuilder b(w, h, kColors);
    b.loop(0);
    for (int k = 0; k < frames; ++k) b.control({.delayCs = delayCs}).addImage(Solid(w, h, static_cast<std::uint8_t>(k + 1)));
    return b.trailer().bytes();
}

class GifForm {
public:
    explicit GifForm(std::vector<ui::ControlDesign> rows) : rows_(std::move(rows)) {
        static const bool registered = (RegisterGifImageKind(), true);
        (void)registered;
        spec_ = {.name = "GifTestForm", .caption = "GifImageControl", .left = 40, .top = 40, .clientWidth = 420,
                 .clientHeight = 260, .color = ui::Rgb(0, 128, 128)};
        form_ = std::make_unique<ui::Form>(spec_, rows_);
        form_->show();
        PumpFor(50);
    }
    ~GifForm() {
        form_.reset();
        PumpFor(10);
    }
    GifImageControl& Gif(const char* name = "Gif1") { return form_->find<GifImageControl>(name); }
    // The colour on screen at a point of the form's client area.
    COLORREF at(int x, int y) const {
        HDC dc = GetDC(form_->handle());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(form_->handle(), dc);
        return c;
    }
    bool ShowsSoon(int x, int y, COLORREF c) const { return Pump([&] { return at(x, y) == c; }, 2000); }

private:
    std::vector<ui::ControlDesign> rows_;
    ui::FormDesign spec_;
    std::unique_ptr<ui::Form> form_;
};

ui::ControlDesign GifRow(const char* name, int left, int top, int width, int height, bool stretch = false) {
    return {.kind = ui::Kind::GifImage, .name = name, .left = left, .top = top, .width = width, .height = height,
            .stretch = stretch};
}

TEST(GifImageControlWin, PaintsOnItsForm) {
    // Frame 1: left half red, right half transparent (index 0); 2 x 1 pixels stretched 40 x 20.
    GifBuilder t(2, 1, kColors);
    t.control({.transparent = true, .transparentIndex = 0});
    gifwriter::Image half = Solid(2, 1, 1);
    half.indices[1] = 0;
    const auto transparentFile = t.addImage(half).trailer().bytes();
    // A 2 x 2 image: red, green / blue, yellow.
    GifBuilder q(2, 2, kColors);
    gifwriter::Image quad = Solid(2, 2, 1);
    quad.indices = {1, 2, 3, 4};
    const auto quadFile = q.addImage(quad).trailer().bytes();

    GifForm f({GifRow("Gif1", 10, 10, 40, 20, true), GifRow("Gif2", 10, 100, 40, 40, true), GifRow("Gif3", 100, 10, 5, 5),
               GifRow("Gif4", 200, 10, 10, 10)});
    GifImageControl& gif = f.Gif("Gif1");
    EXPECT_EQ(gif.width(), 40);
    ASSERT_TRUE(gif.loadFromStream(transparentFile));
    EXPECT_TRUE(f.ShowsSoon(15, 15, RGB(255, 0, 0)));
    EXPECT_EQ(f.at(45, 25), kFormColor);  // the transparent half shows the form
    EXPECT_EQ(f.at(60, 15), kFormColor);  // outside the control
    EXPECT_FALSE(gif.opaque());

    // Stretched, tiled and centred.
    GifImageControl& stretched = f.Gif("Gif2");
    GifImageControl& tiled = f.Gif("Gif3");
    GifImageControl& centred = f.Gif("Gif4");
    tiled.setTile(true);
    centred.setCenter(true);
    for (GifImageControl* g : {&stretched, &tiled, &centred}) ASSERT_TRUE(g->loadFromStream(quadFile));
    EXPECT_TRUE(stretched.opaque());  // opaque and covering: the parent may skip its background
    EXPECT_TRUE(f.ShowsSoon(10 + 35, 100 + 35, RGB(255, 255, 0)));  // bottom-right quarter
    EXPECT_EQ(f.at(10 + 5, 100 + 5), RGB(255, 0, 0));
    EXPECT_EQ(f.at(10 + 35, 100 + 5), RGB(0, 255, 0));
    // Tiles repeat every 2 pixels: (100 + 4, 10 + 3) is image pixel (0, 1).
    EXPECT_EQ(f.at(104, 13), RGB(0, 0, 255));
    EXPECT_EQ(f.at(103, 14), RGB(0, 255, 0));
    EXPECT_EQ(f.at(103, 13), RGB(255, 255, 0));
    // Centred in 10 x 10: the image at (4, 4)..(6, 6); the rest is the form.
    EXPECT_EQ(f.at(204, 14), RGB(255, 0, 0));
    EXPECT_EQ(f.at(205, 15), RGB(255, 255, 0));
    EXPECT_EQ(f.at(202, 12), kFormColor);

    // Opaque: the client area is filled with the control's colour behind the image.
    gif.setColor(ui::Rgb(255, 255, 0));
    gif.setOpaqueBackground(true);
    EXPECT_TRUE(f.ShowsSoon(45, 25, RGB(255, 255, 0)));
    EXPECT_EQ(f.at(15, 15), RGB(255, 0, 0));

    // Visible off paints nothing, but the control keeps its place.
    gif.setImageVisible(false);
    EXPECT_TRUE(f.ShowsSoon(15, 15, kFormColor));
    EXPECT_EQ(gif.width(), 40);
}

TEST(GifImageControlWin, WindowTimerDrivesTheFramesAndAnimateOffShowsFrameOne) {
    GifForm f({GifRow("Gif1", 10, 10, 16, 16)});
    GifImageControl& gif = f.Gif();
    ASSERT_TRUE(gif.loadFromStream(SolidAnimation(3, 5)));
    ASSERT_TRUE(f.ShowsSoon(12, 12, RGB(255, 0, 0)));
    gif.setAnimate(true);
    PumpFor(20);  // the paint after Animate arms the timer
    auto* timer = dynamic_cast<FrameTimer*>(gif.timer());
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->threaded() || timer->hasThread());

    // Every frame reaches the screen by the direct repaint.
    std::set<COLORREF> seen;
    Pump([&] {
        seen.insert(f.at(12, 12));
        return seen.size() >= 3;
    }, 3000);
    EXPECT_TRUE(seen.count(RGB(0, 255, 0)));
    EXPECT_TRUE(seen.count(RGB(0, 0, 255)));

    ASSERT_TRUE(Pump([&] { return gif.currentFrame() == 3; }, 2000));  // frame 2 is shown
    gif.setAnimate(false);
    EXPECT_EQ(gif.timer(), nullptr);
    EXPECT_EQ(gif.currentFrame(), 1);
    EXPECT_TRUE(f.ShowsSoon(12, 12, RGB(255, 0, 0)));
    PumpFor(150);
    EXPECT_EQ(f.at(12, 12), RGB(255, 0, 0));  // and stays

    // Setting CurrentFrame repaints at once, without waiting for a paint message.
    gif.setCurrentFrame(3);
    EXPECT_EQ(f.at(12, 12), RGB(0, 0, 255));
    // The palette of the frame shown and the bitmap copy of frame 1.
    HPALETTE p = gif.palette();
    ASSERT_NE(p, nullptr);
    PALETTEENTRY e[8];
    ASSERT_EQ(GetPaletteEntries(p, 0, 8, e), 8u);
    EXPECT_EQ(e[3].peBlue, 255);
    ui::Picture picture;
    ASSERT_TRUE(gif.assignTo(picture));
    EXPECT_EQ(picture.width(), 8);
    gif.clear();
    EXPECT_FALSE(gif.assignTo(picture));
    EXPECT_EQ(gif.palette(), nullptr);
}

TEST(GifImageControlWin, SwitchingToAThreadedTimerMidAnimation) {
    GifForm f({GifRow("Gif1", 10, 10, 16, 16)});
    GifImageControl& gif = f.Gif();
    ASSERT_TRUE(gif.loadFromStream(SolidAnimation(4, 5)));
    gif.setAnimate(true);
    ASSERT_TRUE(Pump([&] { return gif.currentFrame() == 3; }, 3000));
    const int loops = gif.loopsDone();
    gif.setThreaded(true);
    auto* timer = dynamic_cast<FrameTimer*>(gif.timer());
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->threaded());
    EXPECT_TRUE(timer->hasThread());
    // Not restarted: the frames go on from where they were, ticked from the worker (on this
    // thread, which the worker waits for).
    EXPECT_EQ(gif.currentFrame(), 3);
    EXPECT_EQ(gif.loopsDone(), loops);
    std::set<int> frames;
    Pump([&] {
        frames.insert(gif.currentFrame());
        return frames.size() >= 4;
    }, 3000);
    EXPECT_EQ(frames.size(), 4u);
    EXPECT_TRUE(f.ShowsSoon(12, 12, RGB(255, 255, 0)));  // frame 4 reaches the screen
    gif.setThreaded(false);
    EXPECT_FALSE(dynamic_cast<FrameTimer*>(gif.timer())->threaded());
}

// A form with the animation in several sizing modes; stays on screen for
// QUARVEX_GIF_DEMO_SECONDS seconds when that is set (for a screenshot).
TEST(GifImageControlWin, DemoForm) {
    // 40 x 30, a red ball moving over a transparent background, 8 frames of 100 ms.
    GifBuilder b(40, 30, kColors);
    b.loop(0);
    for (int k = 0; k < 8; ++k) {
        gifwriter::Image img = Solid(40, 30, 0);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const int cx = 5 + k * 4, cy = 15, dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy <= 25) img.indices[static_cast<std::size_t>(y) * 40 + x] = 1;
                if (y == 29) img.indices[static_cast<std::size_t>(y) * 40 + x] = 3;
            }
        b.control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 0}).addImage(img);
    }
    const auto file = b.trailer().bytes();
    GifForm f({GifRow("Plain", 10, 10, 60, 60), GifRow("Stretch", 80, 10, 173, 165, true), GifRow("Ratio", 260, 10, 150, 60),
               GifRow("Tile", 260, 80, 150, 90), GifRow("Centre", 10, 80, 60, 60)});
    f.Gif("Ratio").setStretchRatio(true);
    f.Gif("Tile").setTile(true);
    f.Gif("Centre").setCenter(true);
    f.Gif("Centre").setOpaqueBackground(true);
    f.Gif("Centre").setColor(ui::Rgb(255, 255, 255));
    for (const char* name : {"Plain", "Stretch", "Ratio", "Tile", "Centre"}) {
        ASSERT_TRUE(f.Gif(name).loadFromStream(file));
        f.Gif(name).setAnimate(true);
    }
    int seconds = 0;
    if (const char* s = std::getenv("QUARVEX_GIF_DEMO_SECONDS")) seconds = std::atoi(s);
    PumpFor(seconds > 0 ? seconds * 1000 : 1200);
    for (const char* name : {"Plain", "Stretch", "Ratio", "Tile", "Centre"}) EXPECT_NE(f.Gif(name).timer(), nullptr) << name;
}

} // namespace
} // namespace qvx::gif::testing
