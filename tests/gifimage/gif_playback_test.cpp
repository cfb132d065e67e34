// Playback state machine, sizing and paint planning of the GIF image.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

// Records what the control asks of its window, and lets the test move the tick count.
class ProbeImage : public GifImage {
public:
    int invalidates = 0, repaints = 0, paletteQueries = 0;
    std::uint32_t tickStep = 0;
    std::string events;  // '<' OnChanging, '>' OnChange, 'W' OnWrapAnimation

    ProbeImage() {
        OnChanging = [this](GifImage&) { events += '<'; };
        OnChange = [this](GifImage&) { events += '>'; };
        OnWrapAnimation = [this](GifImage&) { events += 'W'; };
    }
    int Wraps() const { return static_cast<int>(std::count(events.begin(), events.end(), 'W')); }

protected:
    void invalidateImage() override { ++invalidates; }
    void repaintNow() override { ++repaints; }
    void postPaletteQuery(bool) override { ++paletteQueries; }
    std::uint32_t tickCount() const override { return now_ += tickStep, now_ - tickStep; }

private:
    mutable std::uint32_t now_ = 1000;
};

// `frames` full-size frames of the solid colours 0, 1, 2, ..., each with the given delay.
std::vector<std::uint8_t> Animation(int frames, int loop = -1, int delayCs = 10, int w = 4, int h = 4) {
    GifBuilder b(w, h, Palette(16));
    if (loop >= 0) b.loop(loop);
    for (int k = 0; k < frames; ++k)
        b.control({.delayCs = delayCs}).addImage(MakeImage(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, static_cast<std::uint8_t>(k))));
    return b.trailer().bytes();
}

// Which frame the composite shows.
int Shown(const GifImage& img) {
    for (int k = 1; k <= img.frameCount(); ++k)
        if (img.frame(k)->bitmap.color(static_cast<std::uint8_t>(k - 1)) == img.composite().at(0, 0)) return k;
    return 0;
}

TEST(GifPlayback, FrameIntervalFollowsDelayAndSpeed) {
    GifBuilder b(2, 2, Palette(2));
    b.control({.delayCs = 10}).addImage(MakeImage(2, 2, {0, 0, 0, 0}));
    b.addImage(MakeImage(2, 2, {1, 1, 1, 1}));  // no graphic control: delay 0
    ProbeImage img;
    ASSERT_TRUE(Load(img, b.trailer().bytes()));
    EXPECT_EQ(img.frameInterval(1), 100);
    EXPECT_EQ(img.frameInterval(2), 50);  // at least 50 ms
    img.setSpeed(200);
    EXPECT_EQ(img.frameInterval(2), 25);
    img.setSpeed(50);
    EXPECT_EQ(img.frameInterval(1), 200);
    for (int speed : {0, -5}) {
        img.setSpeed(speed);
        EXPECT_EQ(img.speed(), 1);
        EXPECT_EQ(img.frameInterval(1), 10000);
    }
}

TEST(GifPlayback, OnePassThenFinishedThenLoopRestarts) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3)));  // no looping extension: one pass
    EXPECT_EQ(img.events, "<>");           // the load draws frame 1 between the two
    img.events.clear();
    img.setAnimate(true);
    ASSERT_NE(img.timer(), nullptr);
    EXPECT_EQ(img.timer()->interval(), 100u);
    img.timerTick();  // frame 1 stays for a second interval
    EXPECT_EQ(img.repaints, 0);
    EXPECT_EQ(img.currentFrame(), 2);
    img.timerTick();
    EXPECT_EQ(Shown(img), 2);
    img.timerTick();
    EXPECT_EQ(Shown(img), 3);
    // The pass has run out: the timer is gone, the last frame stays, OnWrapAnimation once.
    EXPECT_EQ(img.timer(), nullptr);
    EXPECT_EQ(img.currentFrame(), 4);
    EXPECT_EQ(img.events, "<><><>W");
    img.timerTick();  // a stray firing does nothing without a timer
    img.paintMessageFinish();  // and a paint keeps the finished animation stopped
    EXPECT_EQ(img.timer(), nullptr);
    EXPECT_EQ(img.events, "<><><>W");
    // Loop restarts from frame 1 and then plays without end.
    img.setLoop(true);
    ASSERT_NE(img.timer(), nullptr);
    EXPECT_EQ(img.currentFrame(), 1);
    img.events.clear();
    for (int i = 0; i < 9; ++i) img.timerTick();
    EXPECT_NE(img.timer(), nullptr);
    EXPECT_EQ(img.events, "<><><>W<><><>W<><><>W");
}

TEST(GifPlayback, LoopCountsFromTheFileAndAnimateOff) {
    ProbeImage endless;  // count 0: without end, a wrap after every pass
    ASSERT_TRUE(Load(endless, Animation(2, 0)));
    endless.setAnimate(true);
    for (int i = 0; i < 20; ++i) endless.timerTick();
    EXPECT_NE(endless.timer(), nullptr);
    EXPECT_EQ(endless.Wraps(), 10);

    ProbeImage twice;
    ASSERT_TRUE(Load(twice, Animation(2, 2)));
    twice.setAnimate(true);
    int ticks = 0;
    for (; twice.timer() != nullptr && ticks < 100; ++ticks) twice.timerTick();
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(Shown(twice), 2);
    // Animate off shows frame 1 again; on again starts the passes anew.
    const int invalidates = twice.invalidates;
    twice.setAnimate(false);
    EXPECT_EQ(Shown(twice), 1);
    EXPECT_EQ(twice.currentFrame(), 1);
    EXPECT_EQ(twice.invalidates, invalidates + 1);
    twice.setAnimate(true);
    EXPECT_NE(twice.timer(), nullptr);
    EXPECT_EQ(twice.loopsDone(), 1);

    // Switched off in the middle of a pass: frame 3 is disposed, frame 1 drawn.
    ProbeImage mid;
    ASSERT_TRUE(Load(mid, Animation(4, 0)));
    mid.setAnimate(true);
    for (int i = 0; i < 3; ++i) mid.timerTick();
    ASSERT_EQ(Shown(mid), 3);
    mid.setAnimate(false);
    EXPECT_EQ(mid.timer(), nullptr);
    EXPECT_EQ(Shown(mid), 1);
}

TEST(GifPlayback, StillImagesAndEmptyControlsNeverStartATimer) {
    ProbeImage img;
    img.setAnimate(true);
    img.paintMessageFinish();
    EXPECT_EQ(img.timer(), nullptr);
    ASSERT_TRUE(Load(img, Animation(1)));
    img.paintMessageFinish();
    EXPECT_EQ(img.timer(), nullptr);
    // A new animated load while Animate is on: the load frees the timer and the paint that
    // follows starts a new one.
    ASSERT_TRUE(Load(img, Animation(3, 0)));
    EXPECT_EQ(img.timer(), nullptr);
    img.paintMessageFinish();
    ASSERT_NE(img.timer(), nullptr);
    EXPECT_EQ(img.timer()->interval(), 100u);
}

TEST(GifPlayback, CurrentFrameOutsideTheImageOrUnchangedDoesNothing) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3)));
    img.events.clear();
    for (int v : {0, 4, 1, -1}) img.setCurrentFrame(v);
    EXPECT_EQ(img.events, "");
    EXPECT_EQ(Shown(img), 1);
    img.setCurrentFrame(3);
    EXPECT_EQ(img.events, "<>");
    EXPECT_EQ(img.repaints, 1);
    EXPECT_EQ(Shown(img), 3);
}

TEST(GifPlayback, TickTimeCountsTowardsTheDelayAndSpeedTakesEffectAtOnce) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3, 0, 10)));
    img.setAnimate(true);
    img.tickStep = 30;  // each tick takes 30 ms between its two readings
    img.timerTick();
    EXPECT_EQ(img.timer()->interval(), 70u);
    img.tickStep = 500;
    img.timerTick();
    EXPECT_EQ(img.timer()->interval(), 1u);
    img.tickStep = 0;
    img.timerTick();
    EXPECT_EQ(img.timer()->interval(), 100u);
    img.setSpeed(50);
    EXPECT_EQ(img.timer()->interval(), 1u);
    img.timerTick();
    EXPECT_EQ(img.timer()->interval(), 200u);
}

TEST(GifDisplay, ImageRectInEverySizingMode) {
    struct Case {
        const char* name;
        int w, h, iw, ih;  // control, image
        bool stretch, ratio, bigOnly, center, tile;
        Rect expected;
        std::size_t targets;
    };
    const Case cases[] = {
        {"ratio, wide control", 200, 100, 100, 100, false, true, false, false, false, {50, 0, 150, 100}, 1},
        {"ratio, tall control", 100, 200, 100, 100, false, true, false, false, false, {0, 50, 100, 150}, 1},
        {"ratio and stretch", 200, 100, 100, 100, true, true, false, false, false, {0, 0, 200, 100}, 1},
        {"ratio, 0.5 rounds to 0", 101, 100, 100, 100, false, true, false, false, false, {0, 0, 100, 100}, 1},
        {"ratio, 1.5 rounds to 2", 103, 100, 100, 100, false, true, false, false, false, {2, 0, 102, 100}, 1},
        {"logo", 173, 165, 135, 125, true, false, false, false, false, {0, 0, 173, 165}, 1},
        {"big only, small image", 300, 300, 100, 100, true, false, true, false, false, {0, 0, 100, 100}, 1},
        {"big only, small image centred", 300, 300, 100, 100, true, false, true, true, false, {100, 100, 200, 200}, 1},
        {"big only, large image", 300, 300, 400, 200, true, false, true, false, false, {0, 0, 300, 300}, 1},
        {"centre, larger image", 50, 50, 101, 101, false, false, false, true, false, {-25, -25, 76, 76}, 1},
        {"tile: 3 rows of 3", 250, 100, 100, 40, false, false, false, false, true, {0, 0, 250, 100}, 9},
        {"plain", 250, 100, 100, 40, false, false, false, false, false, {0, 0, 100, 40}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeImage img;
        GifBuilder b(c.iw, c.ih, Palette(2));
        ASSERT_TRUE(Load(img, b.addImage(MakeImage(c.iw, c.ih, std::vector<std::uint8_t>(static_cast<std::size_t>(c.iw) * c.ih, 1))).trailer().bytes()));
        img.setControlSize(c.w, c.h);
        img.setStretch(c.stretch);
        img.setStretchRatio(c.ratio);
        img.setStretchBigOnly(c.bigOnly);
        img.setCenter(c.center);
        img.setTile(c.tile);
        img.updateOpaque();
        EXPECT_EQ(img.imageRect(), c.expected);
        const PaintPlan plan = img.planPaint();
        ASSERT_EQ(plan.targets.size(), c.targets);
        if (c.tile) {
            EXPECT_EQ(plan.targets[1], (Rect{100, 0, 200, 40}));
            EXPECT_EQ(plan.targets[8], (Rect{200, 80, 300, 120}));  // clipped by the control
        } else {
            EXPECT_EQ(plan.targets[0], c.expected);
        }
    }
    EXPECT_EQ(GifImage().imageRect(), (Rect{0, 0, 0, 0}));
}

TEST(GifDisplay, OpaqueStateBackgroundFillAndAutoSize) {
    // The logo: stretched over the whole control, but its first frame is transparent.
    GifBuilder t(135, 125, Palette(16));
    t.control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
    ProbeImage img;
    img.setControlSize(173, 165);
    img.setStretch(true);
    ASSERT_TRUE(Load(img, t.addImage(MakeImage(135, 125, Pattern(135, 125, 16, 1))).trailer().bytes()));
    EXPECT_TRUE(img.stretched());
    EXPECT_FALSE(img.opaqueCover());
    EXPECT_TRUE(img.planPaint().transparent);
    EXPECT_FALSE(img.planPaint().fillBackground);
    img.setOpaqueBackground(true);
    EXPECT_TRUE(img.planPaint().fillBackground);

    // An opaque first frame stretched over everything covers the client area.
    GifBuilder o(135, 125, Palette(16));
    ASSERT_TRUE(Load(img, o.addImage(MakeImage(135, 125, Pattern(135, 125, 16, 2))).trailer().bytes()));
    EXPECT_TRUE(img.opaqueCover() && img.opaqueStyle());
    EXPECT_FALSE(img.planPaint().fillBackground);
    // A paint after the style changed repaints later instead of now.
    img.setStretch(false);
    const int invalidates = img.invalidates;
    EXPECT_FALSE(img.paintMessageStart());
    EXPECT_EQ(img.invalidates, invalidates + 1);
    EXPECT_TRUE(img.paintMessageStart());
    EXPECT_TRUE(img.planPaint().fillBackground);
    // Visible off: nothing is painted; the parent is asked to realize palettes again.
    img.setImageVisible(false);
    EXPECT_EQ(img.paletteQueries, 3);  // one after each load, one now
    EXPECT_TRUE(img.planPaint().targets.empty());
    EXPECT_FALSE(img.planPaint().fillBackground);

    // AutoSize takes the logical size at a load and when switched on.
    img.setAutoSize(true);
    EXPECT_EQ(img.controlWidth(), 135);
    img.setAutoSize(false);
    ASSERT_TRUE(Load(img, Animation(2, 0, 10, 30, 20)));
    EXPECT_EQ(img.controlWidth(), 135);
    img.setAutoSize(true);
    EXPECT_EQ(img.controlWidth(), 30);
    EXPECT_EQ(img.controlHeight(), 20);
}

} // namespace
} // namespace qvx::gif::testing
