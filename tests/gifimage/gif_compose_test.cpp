// Frame composition onto the composite and its mask, checked pixel by pixel.
#include <gtest/gtest.h>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

constexpr Pixel K = MakePixel(0, 0, 0);
constexpr Pixel R = MakePixel(255, 0, 0);
constexpr Pixel G = MakePixel(0, 255, 0);
constexpr Pixel B = MakePixel(0, 0, 255);

const std::vector<Rgb> kColors = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

std::vector<Pixel> CompositeOf(const TGIFImageCore& img) { return img.Composite().Pixels(); }

// Plays the image the way the animation timer does, one tick per call after the first.
void Tick(TGIFImageCore& img) { img.TimerTick(); }

TEST(GifCompose, TransparentFramesWithDisposalTwoAndThree) {
    // Screen 4 x 2.
    //  F1 (0,0) 4x2, transparent index 0, disposal 1:   1 0 1 0 / 0 2 0 2
    //  F2 (1,0) 2x2, transparent index 3, disposal 3:   3 2 / 1 3
    //  F3 (0,0) 2x1, opaque, disposal 2:                2 2
    GifBuilder b(4, 2, kColors);
    b.Control({.disposal = 1, .transparent = true, .transparentIndex = 0});
    b.AddImage(MakeImage(4, 2, {1, 0, 1, 0, 0, 2, 0, 2}));
    b.Control({.disposal = 3, .transparent = true, .transparentIndex = 3});
    b.AddImage(MakeImage(2, 2, {3, 2, 1, 3}, 1, 0));
    b.Control({.disposal = 2});
    b.AddImage(MakeImage(2, 1, {2, 2})).Trailer();

    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    ASSERT_EQ(img.FrameCount(), 3);
    ASSERT_NE(img.Mask(), nullptr);
    // Load: black composite, all-transparent mask, then F1 through its mask.
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.Mask()), "0101/1010");

    img.SetLoop(true);
    img.SetAnimate(true);
    Tick(img);  // the first tick only ends the wait after the load
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));

    // F1 leaves its area; F2 saves what lies under it, then covers it where it is opaque.
    Tick(img);
    EXPECT_EQ(img.CurrentFrame(), 3);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, G, K, K, R, K, G}));
    EXPECT_EQ(MaskText(*img.Mask()), "0101/1010");
    EXPECT_EQ(img.Frame(2)->FSavedImage.Pixels(), (std::vector<Pixel>{K, R, G, K}));
    EXPECT_EQ(MaskText(img.Frame(2)->FSavedMask), "10/01");

    // F2's area is restored; F3 is opaque and clears the mask under it.
    Tick(img);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{G, G, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.Mask()), "0001/1010");

    // F3's area goes back to background, which is transparent black; then F1 again.
    img.DisposeFrame(3);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{K, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.Mask()), "1101/1010");
    img.DrawFrame();  // CurrentFrame is 1 again after the wrap
    EXPECT_EQ(img.CurrentFrame(), 1);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.Mask()), "0101/1010");
}

TEST(GifCompose, WithoutTransparencyBackgroundIsBlackAndThereIsNoMask) {
    GifBuilder b(3, 1, kColors);
    b.AddImage(MakeImage(3, 1, {1, 1, 1}));
    b.Control({.disposal = 2});
    b.AddImage(MakeImage(1, 1, {3}, 1, 0));
    b.Control({.disposal = 3});
    b.AddImage(MakeImage(2, 1, {2, 2}, 1, 0)).Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    ASSERT_EQ(img.FrameCount(), 3);
    EXPECT_EQ(img.Mask(), nullptr);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, R, R}));
    img.SetCurrentFrame(2);  // disposes frame 1 (leave), draws frame 2
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, B, R}));
    img.DisposeFrame(2);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
    img.SetCurrentFrame(3);  // disposal 2 of frame 2 again, then frame 3
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, G, G}));
    img.DisposeFrame(3);  // back to what lay under frame 3
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
    // Frame numbers outside the image change nothing.
    img.DisposeFrame(0);
    img.DisposeFrame(4);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
}

TEST(GifCompose, IndicesBeyondThePaletteDrawBlack) {
    // A 2-entry global table and pixel values 2 and 3 (the code size allows them).
    GifBuilder b(4, 1, {{10, 20, 30}, {40, 50, 60}});
    auto image = MakeImage(4, 1, {0, 1, 2, 3});
    image.minCodeSize = 2;
    b.AddImage(image).Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.Frame(1)->FBitmap.PaletteSize(), 2);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{MakePixel(10, 20, 30), MakePixel(40, 50, 60), K, K}));
}

} // namespace
} // namespace qvx::gif::testing
