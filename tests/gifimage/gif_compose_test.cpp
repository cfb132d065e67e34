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

std::vector<Pixel> CompositeOf(const GifImage& img) { return img.composite().pixels(); }

// Plays the image the way the animation timer does, one tick per call after the first.
void Tick(GifImage& img) { img.timerTick(); }

TEST(GifCompose, TransparentFramesWithDisposalTwoAndThree) {
    // Screen 4 x 2.
    //  F1 (0,0) 4x2, transparent index 0, disposal 1:   1 0 1 0 / 0 2 0 2
    //  F2 (1,0) 2x2, transparent index 3, disposal 3:   3 2 / 1 3
    //  F3 (0,0) 2x1, opaque, disposal 2:                2 2
    GifBuilder b(4, 2, kColors);
    b.control({.disposal = 1, .transparent = true, .transparentIndex = 0});
    b.addImage(MakeImage(4, 2, {1, 0, 1, 0, 0, 2, 0, 2}));
    b.control({.disposal = 3, .transparent = true, .transparentIndex = 3});
    b.addImage(MakeImage(2, 2, {3, 2, 1, 3}, 1, 0));
    b.control({.disposal = 2});
    b.addImage(MakeImage(2, 1, {2, 2})).trailer();

    GifImage img;
    ASSERT_TRUE(Load(img, b.bytes()));
    ASSERT_EQ(img.frameCount(), 3);
    ASSERT_NE(img.mask(), nullptr);
    // Load: black composite, all-transparent mask, then F1 through its mask.
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.mask()), "0101/1010");

    img.setLoop(true);
    img.setAnimate(true);
    Tick(img);  // the first tick only ends the wait after the load
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));

    // F1 leaves its area; F2 saves what lies under it, then covers it where it is opaque.
    Tick(img);
    EXPECT_EQ(img.currentFrame(), 3);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, G, K, K, R, K, G}));
    EXPECT_EQ(MaskText(*img.mask()), "0101/1010");
    EXPECT_EQ(img.frame(2)->savedImage.pixels(), (std::vector<Pixel>{K, R, G, K}));
    EXPECT_EQ(MaskText(img.frame(2)->savedMask), "10/01");

    // F2's area is restored; F3 is opaque and clears the mask under it.
    Tick(img);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{G, G, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.mask()), "0001/1010");

    // F3's area goes back to background, which is transparent black; then F1 again.
    img.disposeFrame(3);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{K, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.mask()), "1101/1010");
    img.drawFrame();  // CurrentFrame is 1 again after the wrap
    EXPECT_EQ(img.currentFrame(), 1);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R, K, K, G, K, G}));
    EXPECT_EQ(MaskText(*img.mask()), "0101/1010");
}

TEST(GifCompose, WithoutTransparencyBackgroundIsBlackAndThereIsNoMask) {
    GifBuilder b(3, 1, kColors);
    b.addImage(MakeImage(3, 1, {1, 1, 1}));
    b.control({.disposal = 2});
    b.addImage(MakeImage(1, 1, {3}, 1, 0));
    b.control({.disposal = 3});
    b.addImage(MakeImage(2, 1, {2, 2}, 1, 0)).trailer();
    GifImage img;
    ASSERT_TRUE(Load(img, b.bytes()));
    ASSERT_EQ(img.frameCount(), 3);
    EXPECT_EQ(img.mask(), nullptr);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, R, R}));
    img.setCurrentFrame(2);  // disposes frame 1 (leave), draws frame 2
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, B, R}));
    img.disposeFrame(2);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
    img.setCurrentFrame(3);  // disposal 2 of frame 2 again, then frame 3
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, G, G}));
    img.disposeFrame(3);  // back to what lay under frame 3
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
    // Frame numbers outside the image change nothing.
    img.disposeFrame(0);
    img.disposeFrame(4);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{R, K, R}));
}

TEST(GifCompose, IndicesBeyondThePaletteDrawBlack) {
    // A 2-entry global table and pixel values 2 and 3 (the code size allows them).
    GifBuilder b(4, 1, {{10, 20, 30}, {40, 50, 60}});
    auto image = MakeImage(4, 1, {0, 1, 2, 3});
    image.minCodeSize = 2;
    b.addImage(image).trailer();
    GifImage img;
    ASSERT_TRUE(Load(img, b.bytes()));
    EXPECT_EQ(img.frame(1)->bitmap.paletteSize(), 2);
    EXPECT_EQ(CompositeOf(img), (std::vector<Pixel>{MakePixel(10, 20, 30), MakePixel(40, 50, 60), K, K}));
}

} // namespace
} // namespace qvx::gif::testing
