// Playback state machine, sizing and paint planning of the GIF image.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

// Records what the control asks of its window, and lets the test move the tick count.
class ProbeImage : public TGIFImageCore {
public:
    int invalidates = 0, repaints = 0, paletteQueries = 0;
    std::uint32_t tickStep = 0;
    std::string events;  // '<' OnChanging, '>' OnChange, 'W' OnWrapAnimation

    ProbeImage() {
        OnChanging = [this](TGIFImageCore&) { events += '<'; };
        OnChange = [this](TGIFImageCore&) { events += '>'; };
        OnWrapAnimation = [this](TGIFImageCore&) { events += 'W'; };
    }
    int Wraps() const { return static_cast<int>(std::count(events.begin(), events.end(), 'W')); }

protected:
    void Invalidate() override { ++invalidates; }
    void Repaint() override { ++repaints; }
    void PostPaletteQuery(bool) override { ++paletteQueries; }
    std::uint32_t TickCount() const override { return now_ += tickStep, now_ - tickStep; }

private:
    mutable std::uint32_t now_ = 1000;
};

// `frames` full-size frames of the solid colours 0, 1, 2, ..., each with the given delay.
std::vector<std::uint8_t> Animation(int frames, int loop = -1, int delayCs = 10, int w = 4, int h = 4) {
    GifBuilder b(w, h, Palette(16));
    if (loop >= 0) b.Loop(loop);
    for (int k = 0; k < frames; ++k)
        b.Control({.delayCs = delayCs}).AddImage(MakeImage(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, static_cast<std::uint8_t>(k))));
    return b.Trailer().Bytes();
}

// Which frame the composite shows.
int Shown(const TGIFImageCore& img) {
    for (int k = 1; k <= img.FrameCount(); ++k)
        if (img.Frame(k)->FBitmap.Color(static_cast<std::uint8_t>(k - 1)) == img.Composite().At(0, 0)) return k;
    return 0;
}

TEST(GifPlayback, FrameIntervalFollowsDelayAndSpeed) {
    GifBuilder b(2, 2, Palette(2));
    b.Control({.delayCs = 10}).AddImage(MakeImage(2, 2, {0, 0, 0, 0}));
    b.AddImage(MakeImage(2, 2, {1, 1, 1, 1}));  // no graphic control: delay 0
    ProbeImage img;
    ASSERT_TRUE(Load(img, b.Trailer().Bytes()));
    EXPECT_EQ(img.FrameInterval(1), 100);
    EXPECT_EQ(img.FrameInterval(2), 50);  // at least 50 ms
    img.SetSpeed(200);
    EXPECT_EQ(img.FrameInterval(2), 25);
    img.SetSpeed(50);
    EXPECT_EQ(img.FrameInterval(1), 200);
    for (int speed : {0, -5}) {
        img.SetSpeed(speed);
        EXPECT_EQ(img.Speed(), 1);
        EXPECT_EQ(img.FrameInterval(1), 10000);
    }
}

TEST(GifPlayback, OnePassThenFinishedThenLoopRestarts) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3)));  // no looping extension: one pass
    EXPECT_EQ(img.events, "<>");           // the load draws frame 1 between the two
    img.events.clear();
    img.SetAnimate(true);
    ASSERT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.Timer()->Interval(), 100u);
    img.TimerTick();  // frame 1 stays for a second interval
    EXPECT_EQ(img.repaints, 0);
    EXPECT_EQ(img.CurrentFrame(), 2);
    img.TimerTick();
    EXPECT_EQ(Shown(img), 2);
    img.TimerTick();
    EXPECT_EQ(Shown(img), 3);
    // The pass has run out: the timer is gone, the last frame stays, OnWrapAnimation once.
    EXPECT_EQ(img.Timer(), nullptr);
    EXPECT_EQ(img.CurrentFrame(), 4);
    EXPECT_EQ(img.events, "<><><>W");
    img.TimerTick();  // a stray firing does nothing without a timer
    img.PaintMessageFinish();  // and a paint keeps the finished animation stopped
    EXPECT_EQ(img.Timer(), nullptr);
    EXPECT_EQ(img.events, "<><><>W");
    // Loop restarts from frame 1 and then plays without end.
    img.SetLoop(true);
    ASSERT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.CurrentFrame(), 1);
    img.events.clear();
    for (int i = 0; i < 9; ++i) img.TimerTick();
    EXPECT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.events, "<><><>W<><><>W<><><>W");
}

TEST(GifPlayback, LoopCountsFromTheFileAndAnimateOff) {
    ProbeImage endless;  // count 0: without end, a wrap after every pass
    ASSERT_TRUE(Load(endless, Animation(2, 0)));
    endless.SetAnimate(true);
    for (int i = 0; i < 20; ++i) endless.TimerTick();
    EXPECT_NE(endless.Timer(), nullptr);
    EXPECT_EQ(endless.Wraps(), 10);

    ProbeImage twice;
    ASSERT_TRUE(Load(twice, Animation(2, 2)));
    twice.SetAnimate(true);
    int ticks = 0;
    for (; twice.Timer() != nullptr && ticks < 100; ++ticks) twice.TimerTick();
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(Shown(twice), 2);
    // Animate off shows frame 1 again; on again starts the passes anew.
    const int invalidates = twice.invalidates;
    twice.SetAnimate(false);
    EXPECT_EQ(Shown(twice), 1);
    EXPECT_EQ(twice.CurrentFrame(), 1);
    EXPECT_EQ(twice.invalidates, invalidates + 1);
    twice.SetAnimate(true);
    EXPECT_NE(twice.Timer(), nullptr);
    EXPECT_EQ(twice.LoopsDone(), 1);

    // Switched off in the middle of a pass: frame 3 is disposed, frame 1 drawn.
    ProbeImage mid;
    ASSERT_TRUE(Load(mid, Animation(4, 0)));
    mid.SetAnimate(true);
    for (int i = 0; i < 3; ++i) mid.TimerTick();
    ASSERT_EQ(Shown(mid), 3);
    mid.SetAnimate(false);
    EXPECT_EQ(mid.Timer(), nullptr);
    EXPECT_EQ(Shown(mid), 1);
}

TEST(GifPlayback, StillImagesAndEmptyControlsNeverStartATimer) {
    ProbeImage img;
    img.SetAnimate(true);
    img.PaintMessageFinish();
    EXPECT_EQ(img.Timer(), nullptr);
    ASSERT_TRUE(Load(img, Animation(1)));
    img.PaintMessageFinish();
    EXPECT_EQ(img.Timer(), nullptr);
    // A new animated load while Animate is on: the load frees the timer and the paint that
    // follows starts a new one.
    ASSERT_TRUE(Load(img, Animation(3, 0)));
    EXPECT_EQ(img.Timer(), nullptr);
    img.PaintMessageFinish();
    ASSERT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.Timer()->Interval(), 100u);
}

TEST(GifPlayback, CurrentFrameOutsideTheImageOrUnchangedDoesNothing) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3)));
    img.events.clear();
    for (int v : {0, 4, 1, -1}) img.SetCurrentFrame(v);
    EXPECT_EQ(img.events, "");
    EXPECT_EQ(Shown(img), 1);
    img.SetCurrentFrame(3);
    EXPECT_EQ(img.events, "<>");
    EXPECT_EQ(img.repaints, 1);
    EXPECT_EQ(Shown(img), 3);
}

TEST(GifPlayback, TickTimeCountsTowardsTheDelayAndSpeedTakesEffectAtOnce) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3, 0, 10)));
    img.SetAnimate(true);
    img.tickStep = 30;  // each tick takes 30 ms between its two readings
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 70u);
    img.tickStep = 500;
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 1u);
    img.tickStep = 0;
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 100u);
    img.SetSpeed(50);
    EXPECT_EQ(img.Timer()->Interval(), 1u);
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 200u);
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
        ASSERT_TRUE(Load(img, b.AddImage(MakeImage(c.iw, c.ih, std::vector<std::uint8_t>(static_cast<std::size_t>(c.iw) * c.ih, 1))).Trailer().Bytes()));
        img.SetControlSize(c.w, c.h);
        img.SetStretch(c.stretch);
        img.SetStretchRatio(c.ratio);
        img.SetStretchBigOnly(c.bigOnly);
        img.SetCenter(c.center);
        img.SetTile(c.tile);
        img.UpdateOpaque();
        EXPECT_EQ(img.ImageRect(), c.expected);
        const PaintPlan plan = img.PlanPaint();
        ASSERT_EQ(plan.targets.size(), c.targets);
        if (c.tile) {
            EXPECT_EQ(plan.targets[1], (Rect{100, 0, 200, 40}));
            EXPECT_EQ(plan.targets[8], (Rect{200, 80, 300, 120}));  // clipped by the control
        } else {
            EXPECT_EQ(plan.targets[0], c.expected);
        }
    }
    EXPECT_EQ(TGIFImageCore().ImageRect(), (Rect{0, 0, 0, 0}));
}

TEST(GifDisplay, OpaqueStateBackgroundFillAndAutoSize) {
    // The logo: stretched over the whole control, but its first frame is transparent.
    GifBuilder t(135, 125, Palette(16));
    t.Control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
    ProbeImage img;
    img.SetControlSize(173, 165);
    img.SetStretch(true);
    ASSERT_TRUE(Load(img, t.AddImage(MakeImage(135, 125, Pattern(135, 125, 16, 1))).Trailer().Bytes()));
    EXPECT_TRUE(img.Stretched());
    EXPECT_FALSE(img.OpaqueCover());
    EXPECT_TRUE(img.PlanPaint().transparent);
    EXPECT_FALSE(img.PlanPaint().fillBackground);
    img.SetOpaque(true);
    EXPECT_TRUE(img.PlanPaint().fillBackground);

    // An opaque first frame stretched over everything covers the client area.
    GifBuilder o(135, 125, Palette(16));
    ASSERT_TRUE(Load(img, o.AddImage(MakeImage(135, 125, Pattern(135, 125, 16, 2))).Trailer().Bytes()));
    EXPECT_TRUE(img.OpaqueCover() && img.OpaqueStyle());
    EXPECT_FALSE(img.PlanPaint().fillBackground);
    // A paint after the style changed repaints later instead of now.
    img.SetStretch(false);
    const int invalidates = img.invalidates;
    EXPECT_FALSE(img.PaintMessageStart());
    EXPECT_EQ(img.invalidates, invalidates + 1);
    EXPECT_TRUE(img.PaintMessageStart());
    EXPECT_TRUE(img.PlanPaint().fillBackground);
    // Visible off: nothing is painted; the parent is asked to realize palettes again.
    img.SetVisible(false);
    EXPECT_EQ(img.paletteQueries, 3);  // one after each load, one now
    EXPECT_TRUE(img.PlanPaint().targets.empty());
    EXPECT_FALSE(img.PlanPaint().fillBackground);

    // AutoSize takes the logical size at a load and when switched on.
    img.SetAutoSize(true);
    EXPECT_EQ(img.ControlWidth(), 135);
    img.SetAutoSize(false);
    ASSERT_TRUE(Load(img, Animation(2, 0, 10, 30, 20)));
    EXPECT_EQ(img.ControlWidth(), 135);
    img.SetAutoSize(true);
    EXPECT_EQ(img.ControlWidth(), 30);
    EXPECT_EQ(img.ControlHeight(), 20);
}

} // namespace
} // namespace qvx::gif::testing
