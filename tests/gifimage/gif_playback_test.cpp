// Playback state machine, sizing and paint planning of the GIF image.
#include <gtest/gtest.h>

#include <string>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

// Records what the control asks of its window and lets the test move the tick count.
class ProbeImage : public TGIFImageCore {
public:
    int invalidates = 0, repaints = 0, paletteQueries = 0;
    std::uint32_t tickStep = 0;
    std::string events;

    ProbeImage() {
        OnChanging = [this](TGIFImageCore&) { events += '<'; };
        OnChange = [this](TGIFImageCore&) { events += '>'; };
        OnWrapAnimation = [this](TGIFImageCore&) { events += 'W'; };
    }
    InertTimer* Inert() const { return dynamic_cast<InertTimer*>(Timer()); }

protected:
    void Invalidate() override { ++invalidates; }
    void Repaint() override { ++repaints; }
    void PostPaletteQuery(bool) override { ++paletteQueries; }
    std::uint32_t TickCount() const override {
        const std::uint32_t t = now_;
        now_ += tickStep;
        return t;
    }

private:
    mutable std::uint32_t now_ = 1000;
};

// `frames` full-size frames of distinct solid colours, each with the given delay.
std::vector<std::uint8_t> Animation(int frames, int loop = -1, int delayCs = 10, int w = 4, int h = 4) {
    GifBuilder b(w, h, Palette(16));
    if (loop >= 0) b.Loop(loop);
    for (int k = 0; k < frames; ++k) {
        b.Control({.delayCs = delayCs});
        b.AddImage(MakeImage(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, static_cast<std::uint8_t>(k))));
    }
    b.Trailer();
    return b.Bytes();
}

// Which frame the composite shows (frames are solid colours 0, 1, 2, ...).
int Shown(const TGIFImageCore& img) {
    const Pixel p = img.Composite().At(0, 0);
    for (int k = 1; k <= img.FrameCount(); ++k)
        if (img.Frame(k)->FBitmap.Color(static_cast<std::uint8_t>(k - 1)) == p) return k;
    return 0;
}

TEST(GifPlayback, FrameIntervalFollowsDelayAndSpeed) {
    GifBuilder b(2, 2, Palette(2));
    b.Control({.delayCs = 10}).AddImage(MakeImage(2, 2, {0, 0, 0, 0}));
    b.AddImage(MakeImage(2, 2, {1, 1, 1, 1}));  // no graphic control: delay 0
    b.Control({.delayCs = 3}).AddImage(MakeImage(2, 2, {1, 1, 1, 1})).Trailer();
    ProbeImage img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameInterval(1), 100);
    EXPECT_EQ(img.FrameInterval(2), 50);  // at least 50 ms
    EXPECT_EQ(img.FrameInterval(3), 50);
    img.SetSpeed(200);
    EXPECT_EQ(img.FrameInterval(2), 25);
    img.SetSpeed(50);
    EXPECT_EQ(img.FrameInterval(1), 200);
    for (int speed : {0, -5}) {
        img.SetSpeed(speed);
        EXPECT_EQ(img.Speed(), 1);
        EXPECT_EQ(img.FrameInterval(1), 10000);
    }
    img.SetSpeed(100000);
    EXPECT_EQ(img.FrameInterval(1), 1);
}

TEST(GifPlayback, OnePassThenFinishedThenLoopRestarts) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3)));  // no looping extension: one pass
    EXPECT_EQ(img.events, "<>");           // the load draws frame 1 between the two
    img.events.clear();
    img.SetAnimate(true);
    ASSERT_NE(img.Inert(), nullptr);
    EXPECT_EQ(img.Timer()->Interval(), 100u);
    EXPECT_TRUE(img.Inert()->HasHandler());

    img.TimerTick();  // frame 1 stays for a second interval
    EXPECT_EQ(img.repaints, 0);
    EXPECT_EQ(img.CurrentFrame(), 2);
    img.TimerTick();
    EXPECT_EQ(Shown(img), 2);
    img.TimerTick();
    EXPECT_EQ(Shown(img), 3);
    EXPECT_EQ(img.repaints, 2);
    // The pass has run out: the timer is gone, the last frame stays, OnWrapAnimation once.
    EXPECT_EQ(img.Timer(), nullptr);
    EXPECT_EQ(img.CurrentFrame(), 4);
    EXPECT_EQ(img.LoopsDone(), 2);
    EXPECT_EQ(img.events, "<><><>W");
    img.TimerTick();  // a stray firing does nothing without a timer
    EXPECT_EQ(img.events, "<><><>W");

    // A paint keeps the finished animation stopped.
    img.PaintMessageFinish();
    EXPECT_EQ(img.Timer(), nullptr);

    // Loop restarts from frame 1 and then plays without end.
    img.SetLoop(true);
    ASSERT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.CurrentFrame(), 1);
    EXPECT_EQ(img.LoopsDone(), 1);
    img.events.clear();
    for (int i = 0; i < 9; ++i) img.TimerTick();
    EXPECT_NE(img.Timer(), nullptr);
    EXPECT_EQ(img.events, "<><><>W<><><>W<><><>W");
    EXPECT_EQ(Shown(img), 3);
}

TEST(GifPlayback, LoopCountsFromTheFile) {
    {
        ProbeImage img;  // count 0: without end
        ASSERT_TRUE(Load(img, Animation(2, 0)));
        img.SetAnimate(true);
        for (int i = 0; i < 20; ++i) img.TimerTick();
        EXPECT_NE(img.Timer(), nullptr);
        EXPECT_EQ(std::count(img.events.begin(), img.events.end(), 'W'), 10);
    }
    {
        ProbeImage img;  // count 2: two passes
        ASSERT_TRUE(Load(img, Animation(2, 2)));
        img.SetAnimate(true);
        int ticks = 0;
        while (img.Timer() != nullptr && ticks < 100) {
            img.TimerTick();
            ++ticks;
        }
        EXPECT_EQ(ticks, 4);
        EXPECT_EQ(Shown(img), 2);
        EXPECT_EQ(img.LoopsDone(), 3);
        // Switching Animate off and on starts the passes again from frame 1.
        img.SetAnimate(false);
        EXPECT_EQ(Shown(img), 1);
        img.SetAnimate(true);
        EXPECT_NE(img.Timer(), nullptr);
        EXPECT_EQ(img.LoopsDone(), 1);
    }
}

TEST(GifPlayback, AnimateOffMidPassShowsFrameOne) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(4, 0)));
    img.SetAnimate(true);
    for (int i = 0; i < 3; ++i) img.TimerTick();
    ASSERT_EQ(Shown(img), 3);
    const int invalidates = img.invalidates;
    img.SetAnimate(false);
    EXPECT_EQ(img.Timer(), nullptr);
    EXPECT_EQ(img.CurrentFrame(), 1);
    EXPECT_EQ(Shown(img), 1);
    EXPECT_EQ(img.invalidates, invalidates + 1);
    img.SetAnimate(false);  // not a change: nothing happens
    EXPECT_EQ(img.invalidates, invalidates + 1);
}

TEST(GifPlayback, StillImagesAndEmptyControlsNeverStartATimer) {
    ProbeImage img;
    img.SetAnimate(true);
    EXPECT_EQ(img.Timer(), nullptr);
    img.PaintMessageFinish();
    EXPECT_EQ(img.Timer(), nullptr);
    ASSERT_TRUE(Load(img, Animation(1)));
    EXPECT_FALSE(img.Animated());
    img.PaintMessageFinish();
    EXPECT_EQ(img.Timer(), nullptr);
    img.TimerTick();
    EXPECT_EQ(img.CurrentFrame(), 1);
    // A new animated load while Animate is on: the load frees the timer and the paint that
    // follows starts a new one.
    ASSERT_TRUE(Load(img, Animation(3, 0)));
    EXPECT_EQ(img.Timer(), nullptr);
    EXPECT_TRUE(img.FirstTick());
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
    EXPECT_EQ(img.repaints, 0);
    EXPECT_EQ(Shown(img), 1);
    img.SetCurrentFrame(3);
    EXPECT_EQ(img.events, "<>");
    EXPECT_EQ(img.repaints, 1);
    EXPECT_EQ(Shown(img), 3);
    ProbeImage empty;
    empty.SetCurrentFrame(1);
    EXPECT_EQ(empty.events, "");
}

TEST(GifPlayback, TickTimeCountsTowardsTheDelay) {
    ProbeImage img;
    ASSERT_TRUE(Load(img, Animation(3, 0, 10)));
    img.SetAnimate(true);
    img.tickStep = 30;  // each tick takes 30 ms between its two readings
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 70u);
    img.tickStep = 500;
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 1u);
    // A new speed makes the next tick come at once.
    img.tickStep = 0;
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 100u);
    img.SetSpeed(50);
    EXPECT_EQ(img.Timer()->Interval(), 1u);
    img.TimerTick();
    EXPECT_EQ(img.Timer()->Interval(), 200u);
}

TEST(GifPlayback, ThreadingSettingsReachTheTimer) {
    ProbeImage img;
    img.SetThreaded(true);
    img.SetThreadPriority(TThreadPriority::tpHigher);
    ASSERT_TRUE(Load(img, Animation(2)));
    img.SetAnimate(true);
    ASSERT_NE(img.Inert(), nullptr);
    EXPECT_TRUE(img.Inert()->Threaded());
    EXPECT_EQ(img.Inert()->ThreadPriority(), TThreadPriority::tpHigher);
    img.SetThreaded(false);
    img.SetThreadPriority(TThreadPriority::tpIdle);
    EXPECT_FALSE(img.Inert()->Threaded());
    EXPECT_EQ(img.Inert()->ThreadPriority(), TThreadPriority::tpIdle);
}

struct RectCase {
    const char* name;
    int w, h;           // control
    int iw, ih;         // image
    bool stretch, ratio, bigOnly, center, tile;
    Rect expected;
};

TEST(GifDisplay, ImageRectInEverySizingMode) {
    const RectCase cases[] = {
        {"ratio, wide control", 200, 100, 100, 100, false, true, false, false, false, {50, 0, 150, 100}},
        {"ratio, tall control", 100, 200, 100, 100, false, true, false, false, false, {0, 50, 100, 150}},
        {"ratio and stretch", 200, 100, 100, 100, true, true, false, false, false, {0, 0, 200, 100}},
        {"ratio, half rounds to even (0.5)", 101, 100, 100, 100, false, true, false, false, false, {0, 0, 100, 100}},
        {"ratio, half rounds to even (1.5)", 103, 100, 100, 100, false, true, false, false, false, {2, 0, 102, 100}},
        {"logo", 173, 165, 135, 125, true, false, false, false, false, {0, 0, 173, 165}},
        {"big only, small image", 300, 300, 100, 100, true, false, true, false, false, {0, 0, 100, 100}},
        {"big only, small image centred", 300, 300, 100, 100, true, false, true, true, false, {100, 100, 200, 200}},
        {"big only, large image", 300, 300, 400, 200, true, false, true, false, false, {0, 0, 300, 300}},
        {"same size is not stretched", 100, 100, 100, 100, true, false, false, true, false, {0, 0, 100, 100}},
        {"centre, larger image", 50, 50, 101, 101, false, false, false, true, false, {-25, -25, 76, 76}},
        {"tile", 250, 100, 100, 40, false, false, false, false, true, {0, 0, 250, 100}},
        {"plain", 250, 100, 100, 40, false, false, false, false, false, {0, 0, 100, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeImage img;
        GifBuilder b(c.iw, c.ih, Palette(2));
        b.AddImage(MakeImage(c.iw, c.ih, std::vector<std::uint8_t>(static_cast<std::size_t>(c.iw) * c.ih, 1))).Trailer();
        ASSERT_TRUE(Load(img, b.Bytes()));
        img.SetControlSize(c.w, c.h);
        img.SetStretch(c.stretch);
        img.SetStretchRatio(c.ratio);
        img.SetStretchBigOnly(c.bigOnly);
        img.SetCenter(c.center);
        img.SetTile(c.tile);
        img.UpdateOpaque();
        EXPECT_EQ(img.ImageRect(), c.expected);
        const PaintPlan plan = img.PlanPaint();
        if (!c.tile) {
            ASSERT_EQ(plan.targets.size(), 1u);
            EXPECT_EQ(plan.targets[0], c.expected);
        }
    }
    TGIFImageCore empty;
    EXPECT_EQ(empty.ImageRect(), (Rect{0, 0, 0, 0}));
}

TEST(GifDisplay, TilesCoverTheControl) {
    ProbeImage img;
    GifBuilder b(100, 40, Palette(2));
    b.AddImage(MakeImage(100, 40, std::vector<std::uint8_t>(4000, 1))).Trailer();
    ASSERT_TRUE(Load(img, b.Bytes()));
    img.SetControlSize(250, 100);
    img.SetTile(true);
    img.UpdateOpaque();
    const PaintPlan plan = img.PlanPaint();
    ASSERT_EQ(plan.targets.size(), 9u);  // 3 rows of 3, the last ones clipped by the control
    EXPECT_EQ(plan.targets[0], (Rect{0, 0, 100, 40}));
    EXPECT_EQ(plan.targets[1], (Rect{100, 0, 200, 40}));
    EXPECT_EQ(plan.targets[8], (Rect{200, 80, 300, 120}));
    EXPECT_FALSE(plan.transparent);
    EXPECT_TRUE(img.OpaqueCover());  // opaque tiles over the whole client area
}

TEST(GifDisplay, OpaqueStateAndBackgroundFill) {
    // The logo: stretched over the whole control, but its first frame is transparent.
    GifBuilder t(135, 125, Palette(16));
    t.Control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
    t.AddImage(MakeImage(135, 125, Pattern(135, 125, 16, 1))).Trailer();
    ProbeImage img;
    img.SetControlSize(173, 165);
    img.SetStretch(true);
    ASSERT_TRUE(Load(img, t.Bytes()));
    EXPECT_TRUE(img.Stretched());
    EXPECT_FALSE(img.OpaqueCover());
    PaintPlan plan = img.PlanPaint();
    EXPECT_TRUE(plan.transparent);
    EXPECT_FALSE(plan.fillBackground);
    ASSERT_EQ(plan.targets.size(), 1u);
    EXPECT_EQ(plan.targets[0], (Rect{0, 0, 173, 165}));
    img.SetOpaque(true);
    EXPECT_TRUE(img.PlanPaint().fillBackground);

    // An opaque first frame stretched over everything covers the client area.
    GifBuilder o(135, 125, Palette(16));
    o.AddImage(MakeImage(135, 125, Pattern(135, 125, 16, 2))).Trailer();
    ASSERT_TRUE(Load(img, o.Bytes()));
    EXPECT_TRUE(img.OpaqueCover());
    EXPECT_TRUE(img.OpaqueStyle());
    EXPECT_FALSE(img.PlanPaint().fillBackground);
    // A paint after the style changes repaints later instead of now.
    img.SetStretch(false);
    const int invalidates = img.invalidates;
    EXPECT_FALSE(img.PaintMessageStart());
    EXPECT_FALSE(img.OpaqueStyle());
    EXPECT_EQ(img.invalidates, invalidates + 1);
    EXPECT_TRUE(img.PaintMessageStart());
    EXPECT_TRUE(img.PlanPaint().fillBackground);

    // Visible off: nothing is painted, and the parent is asked to realize palettes again.
    img.SetVisible(false);
    EXPECT_EQ(img.paletteQueries, 3);  // one after each load, one now
    plan = img.PlanPaint();
    EXPECT_FALSE(plan.fillBackground);
    EXPECT_TRUE(plan.targets.empty());
    img.UpdateOpaque();
    EXPECT_FALSE(img.OpaqueCover());
}

TEST(GifDisplay, AutoSizeAndFirstFrameCopy) {
    ProbeImage img;
    EXPECT_EQ(img.FirstFrameCopy(), nullptr);
    img.SetAutoSize(true);
    EXPECT_EQ(img.ControlWidth(), 105);
    ASSERT_TRUE(Load(img, Animation(2, 0, 10, 30, 20)));
    EXPECT_EQ(img.ControlWidth(), 30);
    EXPECT_EQ(img.ControlHeight(), 20);
    img.SetAutoSize(false);
    img.SetControlSize(5, 5);
    img.SetAutoSize(true);
    EXPECT_EQ(img.ControlWidth(), 30);

    img.SetCurrentFrame(2);
    const IndexedBitmap* copy = img.FirstFrameCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Bits(), img.Frame(1)->FBitmap.Bits());
    EXPECT_EQ(img.FirstFrameCopy(), copy);  // kept until the next load
    img.Clear();
    EXPECT_EQ(img.FirstFrameCopy(), nullptr);
}

} // namespace
} // namespace qvx::gif::testing
