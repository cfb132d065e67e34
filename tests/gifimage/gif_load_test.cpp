// Loading: block structure, raster decoding, limits and failures.
#include <gtest/gtest.h>

#include <random>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

using gifwriter::BitWriter;
using gifwriter::SubBlocks;

// Every case encodes a raster and expects exactly those indices back.
TEST(GifLoad, RastersRoundTripInEveryLayout) {
    struct Case {
        const char* name;
        int w, h, colors;
        bool interlaced;
        int minCodeSize;  // 0: automatic
        int subBlockSize;
        bool resetWhenFull;
    };
    const Case cases[] = {
        {"interlaced h1", 5, 1, 4, true, 0, 255, true},   {"interlaced h2", 5, 2, 4, true, 0, 255, true},
        {"interlaced h3", 5, 3, 4, true, 0, 255, true},   {"interlaced h4", 5, 4, 4, true, 0, 255, true},
        {"interlaced h5", 5, 5, 4, true, 0, 255, true},   {"interlaced h9", 3, 9, 4, true, 0, 255, true},
        {"interlaced h37", 41, 37, 16, true, 0, 255, true}, {"one pixel", 1, 1, 2, false, 0, 255, true},
        {"256 colours, table clears", 200, 150, 256, false, 8, 255, true},
        // Once the table is full, codes stay 12 bits wide and no entry is added.
        {"256 colours, no clear when full", 160, 160, 256, false, 8, 255, false},
        {"16 colours, no clear when full", 300, 200, 16, false, 4, 255, false},
        // Codes straddling several sub-blocks.
        {"one-byte sub-blocks", 64, 48, 256, false, 8, 1, true}, {"two-byte sub-blocks", 64, 48, 16, false, 0, 2, true},
        {"wide codes, small palette", 90, 70, 4, false, 11, 255, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = MakeImage(c.w, c.h, Pattern(c.w, c.h, c.colors, static_cast<unsigned>(c.w * 31 + c.h)));
        image.interlaced = c.interlaced;
        image.minCodeSize = c.minCodeSize;
        image.subBlockSize = c.subBlockSize;
        image.resetWhenFull = c.resetWhenFull;
        GifBuilder b(c.w, c.h, Palette(c.colors));
        GifImage img;
        ASSERT_TRUE(Load(img, b.addImage(image).trailer().bytes()));
        ASSERT_EQ(img.frameCount(), 1);
        EXPECT_EQ(img.frame(1)->interlaced, c.interlaced);
        EXPECT_EQ(Indices(*img.frame(1)), image.indices);
    }
}

// Modelled on the About box logo.
TEST(GifLoad, AnimatedTransparentFileWithLoopAndComments) {
    GifBuilder b(135, 125, Palette(16));
    b.comment("made for the tests").loop(999).comment("second comment");
    for (int k = 0; k < 8; ++k) {
        b.control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
        b.addImage(MakeImage(135, 125, Pattern(135, 125, 16, 100 + k)));
    }
    GifImage img;
    ASSERT_TRUE(Load(img, b.trailer().bytes()));
    EXPECT_EQ(img.frameCount(), 8);
    EXPECT_EQ(img.loopCount(), 999);
    EXPECT_TRUE(img.hasTransparency() && img.animated());
    EXPECT_EQ(img.version(), GifVersion::Gif89a);
    EXPECT_EQ(img.imageWidth(), 135);
    EXPECT_EQ(img.imageHeight(), 125);
    EXPECT_EQ(img.data(), b.bytes());
    for (int k = 1; k <= 8; ++k) {
        const GifFrame& f = *img.frame(k);
        EXPECT_EQ(f.delayMs, 100);
        EXPECT_EQ(f.disposal, 2);
        EXPECT_TRUE(f.transparent);
        EXPECT_EQ(f.transparentIndex, 11);
        EXPECT_EQ(f.bitmap.paletteSize(), 16);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) ASSERT_EQ(f.mask.get(x, y), f.bitmap.at(x, y) == 11);
    }
}

TEST(GifLoad, LogicalSizeGrowsToCoverFramesAndTheTrailerIsOptional) {
    GifBuilder b(10, 10, Palette(4));
    b.addImage(MakeImage(6, 4, Pattern(6, 4, 4, 1), 7, 2)).addImage(MakeImage(3, 9, Pattern(3, 9, 4, 2), 1, 5));
    GifImage img;
    ASSERT_TRUE(Load(img, b.bytes()));  // no trailer
    EXPECT_EQ(img.frameCount(), 2);
    EXPECT_EQ(img.imageWidth(), 13);
    EXPECT_EQ(img.imageHeight(), 14);
    EXPECT_EQ(img.composite().width(), 13);
    EXPECT_EQ(img.composite().height(), 14);
}

TEST(GifLoad, PaletteSizesAndColourSources) {
    {  // No global table and no local table: one black entry.
        GifBuilder b(4, 4);
        GifImage img;
        ASSERT_TRUE(Load(img, b.addImage(MakeImage(4, 4, Pattern(4, 4, 4, 3))).trailer().bytes()));
        EXPECT_EQ(img.frame(1)->bitmap.paletteSize(), 1);
        for (Pixel p : img.composite().pixels()) ASSERT_EQ(p, kBlack);
    }
    // A 256-colour file leaves its colours in the control's global table; the next file's
    // 2-entry table replaces only the first two. Its 8-bit local table raises the depth, so a
    // later frame without a local table gets 256 entries, those past the new table left over.
    GifImage img;
    GifBuilder first(2, 2, Palette(256));
    ASSERT_TRUE(Load(img, first.addImage(MakeImage(2, 2, {0, 1, 2, 3})).trailer().bytes()));
    GifBuilder b(2, 2, {{200, 0, 0}, {0, 200, 0}});
    auto local = MakeImage(2, 2, {0, 1, 0, 1});
    local.localColors.assign(256, {1, 2, 3});
    ASSERT_TRUE(Load(img, b.addImage(local).addImage(MakeImage(2, 2, {0, 1, 5, 200})).trailer().bytes()));
    EXPECT_EQ(img.frame(1)->localDepth, 8);
    EXPECT_EQ(img.frame(1)->bitmap.color(0), MakePixel(1, 2, 3));
    const IndexedBitmap& second = img.frame(2)->bitmap;
    const auto old = Palette(256);
    EXPECT_EQ(second.paletteSize(), 256);
    EXPECT_EQ(second.color(1), MakePixel(0, 200, 0));
    EXPECT_EQ(second.color(200), MakePixel(old[200].r, old[200].g, old[200].b));
}

TEST(GifLoad, GraphicControlAppliesToTheNextImageOnlyAndDisposalsAboveThreeAreTwo) {
    GifBuilder b(2, 2, Palette(4));
    b.control({.disposal = 3, .delayCs = 7, .transparent = true, .transparentIndex = 2});
    b.addImage(MakeImage(2, 2, {0, 1, 2, 3})).addImage(MakeImage(2, 2, {0, 1, 2, 3}));
    for (int d = 4; d < 8; ++d) b.control({.disposal = d}).addImage(MakeImage(2, 2, {0, 1, 1, 0}));
    GifImage img;
    ASSERT_TRUE(Load(img, b.trailer().bytes()));
    const GifFrame& f1 = *img.frame(1);
    EXPECT_EQ(f1.delayMs, 70);
    EXPECT_EQ(f1.disposal, 3);
    EXPECT_TRUE(f1.transparent);
    EXPECT_EQ(f1.transparentIndex, 2);
    EXPECT_EQ(f1.savedImage.width(), 2);
    const GifFrame& f2 = *img.frame(2);
    EXPECT_EQ(f2.delayMs, 0);
    EXPECT_EQ(f2.disposal, 0);
    EXPECT_FALSE(f2.transparent);
    EXPECT_TRUE(f2.mask.empty());
    for (int k = 3; k <= 6; ++k) EXPECT_EQ(img.frame(k)->disposal, 2) << k;
}

TEST(GifLoad, LoopCountAndVersion) {
    auto file = [](int loop, std::string_view version = "89a") {
        GifBuilder b(2, 2, Palette(2), version);
        if (loop >= 0) b.loop(loop);
        return b.addImage(MakeImage(2, 2, {0, 1, 1, 0})).trailer().bytes();
    };
    GifImage img;
    for (int loop : {0, 65535, -1}) {
        ASSERT_TRUE(Load(img, file(loop)));
        EXPECT_EQ(img.loopCount(), loop < 0 ? 1 : loop);
    }
    // Another application extension is skipped whole.
    GifBuilder other(2, 2, Palette(2));
    other.raw({0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 3, 1, 9, 0, 2, 7, 7, 0});
    ASSERT_TRUE(Load(img, other.addImage(MakeImage(2, 2, {0, 1, 1, 0})).trailer().bytes()));
    EXPECT_EQ(img.loopCount(), 1);
    EXPECT_EQ(img.frameCount(), 1);
    // Only the fifth byte decides the version, and only "GIF" is checked.
    for (auto [version, expected] : {std::pair{"89a", GifVersion::Gif89a}, {"87a", GifVersion::Gif87a},
                                     {"8xa", GifVersion::Gif87a}, {"99z", GifVersion::Gif89a}}) {
        ASSERT_TRUE(Load(img, file(-1, version)));
        EXPECT_EQ(img.version(), expected) << version;
    }
    for (int i = 0; i < 3; ++i) {
        auto bad = file(-1);
        bad[i] ^= 0x20;
        EXPECT_FALSE(Load(img, bad)) << "signature byte " << i;
        EXPECT_TRUE(img.empty() && img.data().empty());
    }
    EXPECT_FALSE(Load(img, {}));
}

TEST(GifLoad, UnknownBytesBetweenBlocksAreDroppedInPairs) {
    const auto first = MakeImage(2, 2, {0, 1, 1, 0});
    const auto second = MakeImage(2, 2, {1, 1, 1, 0});
    GifImage img;
    // The stray 0x99 takes the following trailer byte with it, so the second image is found.
    GifBuilder b(2, 2, Palette(2));
    ASSERT_TRUE(Load(img, b.addImage(first).raw({0x99, 0x3B}).addImage(second).trailer().bytes()));
    EXPECT_EQ(img.frameCount(), 2);
    EXPECT_EQ(Indices(*img.frame(2)), second.indices);
}

TEST(GifLoad, FrameLimitsAndFirstImageOnly) {
    GifBuilder b(3, 2, Palette(4));
    for (int k = 0; k < 300; ++k) b.addImage(MakeImage(3, 2, Pattern(3, 2, 4, k)));
    GifImage img;
    ASSERT_TRUE(Load(img, b.trailer().bytes()));
    EXPECT_EQ(img.frameCount(), 256);
    EXPECT_EQ(Indices(*img.frame(256)), Pattern(3, 2, 4, 255));
    img.firstImageOnly = true;
    ASSERT_TRUE(Load(img, b.bytes()));
    EXPECT_EQ(img.frameCount(), 1);
    EXPECT_FALSE(img.animated());
}

// Two good images with `bad` raw bytes between them; returns the frame count or -1 (failed).
int FramesWithBadImage(std::initializer_list<std::uint8_t> bad) {
    GifBuilder b(2, 2, Palette(2));
    b.addImage(MakeImage(2, 2, {0, 1, 1, 0})).raw(bad).addImage(MakeImage(2, 2, {1, 1, 1, 1})).trailer();
    GifImage img;
    return Load(img, b.bytes()) ? img.frameCount() : -1;
}

TEST(GifLoad, OutcomesOfBrokenImages) {
    // Width or height 0: the whole load fails, earlier frames included.
    EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 0, 0, 2, 0, 0, 2, 1, 0, 0}), -1);
    EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 1, 0, 0}), -1);
    // Above 16384: that frame is dropped and parsing ends; 16384 itself is fine.
    EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 0x01, 0x40, 1, 0, 0, 2, 1, 0, 0}), 1);
    EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 1, 0, 0x01, 0x40, 0}), 1);
    EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 0x00, 0x40, 1, 0, 0, 2, 0}), 3);
    // Minimum code sizes the 4096-entry tables cannot hold are refused the same way.
    for (std::uint8_t m : {12, 15, 16, 200}) EXPECT_EQ(FramesWithBadImage({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, m, 1, 0, 0}), 1) << int(m);
}

// A raw code stream written code by code, for streams no encoder would make.
std::vector<std::uint8_t> Codes(std::initializer_list<std::pair<unsigned, int>> codes) {
    BitWriter w;
    for (auto [code, width] : codes) w.put(code, width);
    return SubBlocks(w.finish());
}

// A w x h image (m = 2, transparent index 3 when `transparent`, interlaced when asked) with the
// given code stream, followed by a good image that shows whether the stream was drained.
std::vector<std::uint8_t> FileWithRaster(int w, int h, const std::vector<std::uint8_t>& blocks, bool transparent,
                                         bool interlaced = false) {
    GifBuilder b(w, h, Palette(4));
    if (transparent) b.control({.transparent = true, .transparentIndex = 3});
    b.raw({0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(w), 0, static_cast<std::uint8_t>(h), 0,
           static_cast<std::uint8_t>(interlaced ? 0x40 : 0), 2});
    b.raw(blocks).addImage(MakeImage(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, 2)));
    return b.trailer().bytes();
}

TEST(GifLoad, BrokenCodeStreamsEndTheImageThere) {
    GifImage img;
    // Clear 4, end 5. After 0 0 0 the next free entry is 8 and codes are 4 bits. Code 10 lies
    // beyond the table; code 9 then makes entry 9 point at 10, and code 0 entry 10 at 9: a
    // cycle, which code 9 follows until the stack is full. Nine pixels come out before.
    auto cycle = Codes({{4, 3}, {0, 3}, {0, 3}, {0, 3}, {10, 4}, {9, 4}, {0, 4}, {9, 4}, {5, 4}});
    ASSERT_TRUE(Load(img, FileWithRaster(40, 1, cycle, true)));
    ASSERT_EQ(img.frameCount(), 2);  // the stream was drained: the next image is found
    EXPECT_EQ(Indices(*img.frame(1)), std::vector<std::uint8_t>(40, 0));
    EXPECT_EQ(MaskText(img.frame(1)->mask), std::string(9, '0') + std::string(31, '1'));
    EXPECT_EQ(Indices(*img.frame(2)), std::vector<std::uint8_t>(40, 2));
    // A code whose entry points at itself: code 7 (beyond the next free 6) makes entry 6, then
    // code 1 makes entry 7 with prefix 7.
    ASSERT_TRUE(Load(img, FileWithRaster(4, 2, Codes({{4, 3}, {0, 3}, {7, 3}, {1, 3}, {7, 4}, {5, 4}}), true)));
    ASSERT_EQ(img.frameCount(), 2);
    EXPECT_EQ(Indices(*img.frame(1)), (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(MaskText(img.frame(1)->mask), "0000/1111");
    // An early end code: the rest keeps index 0 and, without transparency, there is no mask.
    ASSERT_TRUE(Load(img, FileWithRaster(3, 2, Codes({{4, 3}, {1, 3}, {2, 3}, {5, 3}}), false)));
    EXPECT_EQ(Indices(*img.frame(1)), (std::vector<std::uint8_t>{1, 2, 0, 0, 0, 0}));
    EXPECT_TRUE(img.frame(1)->mask.empty());
    // Interlaced, two pixels of a 1 x 5 image: stored rows 0 (transparent 3) and 4 (1); rows
    // 2, 1 and 3 were never reached and are transparent.
    ASSERT_TRUE(Load(img, FileWithRaster(1, 5, Codes({{4, 3}, {3, 3}, {1, 3}, {5, 3}}), true, true)));
    EXPECT_EQ(Indices(*img.frame(1)), (std::vector<std::uint8_t>{3, 0, 0, 0, 1}));
    EXPECT_EQ(MaskText(img.frame(1)->mask), "1/1/1/1/0");
}

// A w x 1 image with minimum code size m over 256 colours, transparent index `transparentIndex`
// when it is not negative, and the given sub-blocks; then a good image, which shows whether the
// stream was drained.
std::vector<std::uint8_t> FileWithCodes(int w, int m, const std::vector<std::uint8_t>& blocks,
                                        int transparentIndex = -1) {
    GifBuilder b(w, 1, Palette(256));
    if (transparentIndex >= 0)
        b.control({.transparent = true, .transparentIndex = static_cast<std::uint8_t>(transparentIndex)});
    b.raw({0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(w), 0, 1, 0, 0, static_cast<std::uint8_t>(m)});
    b.raw(blocks).addImage(MakeImage(w, 1, std::vector<std::uint8_t>(static_cast<std::size_t>(w), 2)));
    return b.trailer().bytes();
}

// With minimum code sizes 1 and 0 the first free entry already lies at or past the limit: the
// code width grows with the next entry, and (for 0) with every entry until the limit passes it.
TEST(GifLoad, DegenerateMinimumCodeSizesGrowTheCodeWidthAtOnce) {
    auto indices = Pattern(37, 23, 2, 4);
    indices[1] = static_cast<std::uint8_t>(1 - indices[0]);  // see LzwEncode
    for (int subBlock : {255, 1}) {
        auto image = MakeImage(37, 23, indices);
        image.minCodeSize = 1;
        image.subBlockSize = subBlock;
        GifBuilder b(37, 23, Palette(2));
        GifImage img;
        ASSERT_TRUE(Load(img, b.addImage(image).trailer().bytes()));
        EXPECT_EQ(Indices(*img.frame(1)), indices) << subBlock;
    }
    // Minimum code size 0: the only root is 0, code by code at the growing width (1, 1, 2, 3,
    // 3, 3, 4, ...), then the end code 2. Unreached pixels would be transparent.
    constexpr int kZeros = 40;
    BitWriter w;
    w.put(1, 1);  // clear
    int width = 1, nextFree = 3, limit = 2;
    for (int i = 0; i < kZeros; ++i) {
        w.put(0, width);
        if (i == 0) continue;  // the first code after a clear makes no entry
        if (++nextFree >= limit) limit *= 2, ++width;
    }
    w.put(2, width);
    GifImage img;
    ASSERT_TRUE(Load(img, FileWithCodes(kZeros + 6, 0, SubBlocks(w.finish()), 1)));
    ASSERT_EQ(img.frameCount(), 2);
    EXPECT_EQ(MaskText(img.frame(1)->mask), std::string(kZeros, '0') + std::string(6, '1'));
}

// A code is taken from the bits read so far only while it ends before them; one that would end
// exactly at their end asks for the next sub-block first. So a last code that ends exactly where
// the data ends is read when a new sub-block completes it, and not when the sub-block it lies
// in was read before.
TEST(GifLoad, TheLastCodeEndingExactlyAtTheDataEndIsReadOnlyFromAFreshSubBlock) {
    // Eight 9-bit codes, 72 bits: clear, then the values 65 to 71. No end code.
    BitWriter w;
    w.put(256, 9);
    for (unsigned v = 65; v <= 71; ++v) w.put(v, 9);
    const std::vector<std::uint8_t> bits = w.finish();
    ASSERT_EQ(bits.size(), 9u);
    const std::vector<std::uint8_t> allButLast{65, 66, 67, 68, 69, 70, 0, 0};
    const std::vector<std::uint8_t> all{65, 66, 67, 68, 69, 70, 71, 0};
    GifImage img;
    // One sub-block: the last code lies in it, read before.
    ASSERT_TRUE(Load(img, FileWithCodes(8, 8, SubBlocks(bits))));
    EXPECT_EQ(Indices(*img.frame(1)), allButLast);
    // Eight bytes, then one: the last code starts in the first sub-block and the second
    // completes it.
    std::vector<std::uint8_t> split{8};
    split.insert(split.end(), bits.begin(), bits.begin() + 8);
    split.insert(split.end(), {1, bits[8], 0});
    ASSERT_TRUE(Load(img, FileWithCodes(8, 8, split)));
    EXPECT_EQ(Indices(*img.frame(1)), all);
    ASSERT_EQ(img.frameCount(), 2);
}

// With roots above 255 a pixel keeps a value's low byte, but transparency compares the whole
// value: 263 is drawn as index 7 and stays opaque where the transparent index is 7.
TEST(GifLoad, WideValuesWhoseLowByteIsTheTransparentIndexStayOpaque) {
    // Clear 512, end 513. Entry 514 is 263 followed by 7; the last pixel is not reached.
    const auto codes = Codes({{512, 10}, {263, 10}, {7, 10}, {263, 10}, {514, 10}, {513, 10}});
    for (bool reference : {false, true}) {  // the direct path must not take these roots either
        GifImage img;
        img.referenceDecode = reference;
        ASSERT_TRUE(Load(img, FileWithCodes(6, 9, codes, 7)));
        ASSERT_EQ(img.frameCount(), 2);
        EXPECT_EQ(Indices(*img.frame(1)), (std::vector<std::uint8_t>{7, 7, 7, 7, 7, 0}));
        EXPECT_EQ(MaskText(img.frame(1)->mask), "010011");
    }
}

TEST(GifLoad, TruncationAtEveryOffset) {
    GifBuilder b(6, 5, Palette(4));
    b.loop(0).comment("c").control({.disposal = 1, .delayCs = 5, .transparent = true, .transparentIndex = 1});
    auto first = MakeImage(6, 5, Pattern(6, 5, 4, 7));
    first.interlaced = true;
    const std::size_t firstAt = b.bytes().size();
    const std::size_t firstEnd = b.addImage(first).bytes().size();
    const std::size_t secondAt = b.control({.disposal = 2, .delayCs = 5}).bytes().size();
    auto second = MakeImage(4, 3, Pattern(4, 3, 4, 8), 1, 1);
    second.localColors = Palette(4);
    const std::size_t secondEnd = b.addImage(second).bytes().size();
    const auto& full = b.trailer().bytes();

    for (std::size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE(len);
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
        GifImage img;
        const bool ok = Load(img, cut);
        // A frame exists once its descriptor is complete; a cut raster leaves it partial.
        const int expected = len < firstAt + 10 ? 0 : len < secondAt + 10 ? 1 : 2;
        EXPECT_EQ(ok, expected > 0);
        ASSERT_EQ(img.frameCount(), expected);
        if (len >= firstEnd) {
            EXPECT_EQ(Indices(*img.frame(1)), first.indices);
        }
        if (len >= secondEnd) {
            EXPECT_EQ(Indices(*img.frame(2)), second.indices);
        }
    }
}

// The direct path for well-formed strings must give exactly what value-by-value decoding gives.
TEST(GifLoad, DirectAndReferenceDecodingAgree) {
    std::mt19937 rng(5);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int w = 1 + static_cast<int>(rng() % 70), h = 1 + static_cast<int>(rng() % 40), colors = 2 << (rng() % 8);
        GifBuilder b(w, h, Palette(colors));
        b.control({.transparent = true, .transparentIndex = static_cast<std::uint8_t>(rng() % colors)});
        auto image = MakeImage(w, h, Pattern(w, h, colors, rng()));
        image.interlaced = rng() % 2 == 0;
        image.resetWhenFull = rng() % 2 == 0;
        image.subBlockSize = 1 + static_cast<int>(rng() % 255);
        const auto file = b.addImage(image).trailer().bytes();
        const std::size_t rasterAt = 13 + 3 * static_cast<std::size_t>(colors) + 8 + 10 + 2;
        for (int flip = 0; flip <= 8; ++flip) {  // the file, then with bytes of its raster changed
            auto input = file;
            if (flip > 0) input[rasterAt + rng() % (file.size() - rasterAt - 1)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
            GifImage fast, reference;
            reference.referenceDecode = true;
            ASSERT_EQ(Load(fast, input), Load(reference, input));
            ASSERT_EQ(fast.frameCount(), reference.frameCount());
            for (int k = 1; k <= fast.frameCount(); ++k) {
                EXPECT_EQ(fast.frame(k)->bitmap.bits(), reference.frame(k)->bitmap.bits());
                EXPECT_EQ(fast.frame(k)->mask.bits(), reference.frame(k)->mask.bits());
            }
        }
    }
}

TEST(GifLoad, DataPropertyRoundTripAssignAndClear) {
    GifBuilder b(5, 4, Palette(8));
    b.loop(3).control({.disposal = 3, .delayCs = 12, .transparent = true, .transparentIndex = 0});
    b.addImage(MakeImage(5, 4, Pattern(5, 4, 8, 1))).addImage(MakeImage(2, 2, Pattern(2, 2, 8, 2), 3, 2)).trailer();
    GifImage source;
    ASSERT_TRUE(Load(source, b.bytes()));
    const auto stored = source.writeData();
    ASSERT_EQ(stored.size(), 4 + b.bytes().size());
    EXPECT_EQ(stored[0] | (stored[1] << 8) | (stored[2] << 16) | (stored[3] << 24), static_cast<int>(b.bytes().size()));

    GifImage copy;
    ASSERT_TRUE(copy.readData(stored));
    EXPECT_TRUE(copy.empty());  // decoded only once the form data has been read
    copy.loaded();
    ASSERT_EQ(copy.frameCount(), 2);
    for (int k = 1; k <= 2; ++k) EXPECT_EQ(Indices(*copy.frame(k)), Indices(*source.frame(k)));
    EXPECT_EQ(copy.loopCount(), 3);
    EXPECT_EQ(copy.writeData(), stored);

    // Lengths of 0 or less read as no data; a value cut short is refused.
    GifImage empty;
    EXPECT_FALSE(empty.storesData());
    EXPECT_TRUE(empty.readData(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'G'}));
    EXPECT_TRUE(empty.data().empty());
    EXPECT_FALSE(empty.readData(std::span(stored).first(stored.size() - 1)));
    EXPECT_TRUE(empty.data().empty());

    // Assign: the same image from a loaded control, nothing from an empty or missing one.
    empty.assign(&source);
    EXPECT_EQ(empty.data(), source.data());
    EXPECT_EQ(empty.frameCount(), 2);
    empty.assign(&empty);
    EXPECT_EQ(empty.frameCount(), 2);
    const GifImage none;
    copy.assign(&none);
    EXPECT_TRUE(copy.empty());
    source.assign(nullptr);
    EXPECT_TRUE(source.empty() && source.data().empty() && source.composite().empty());
    EXPECT_EQ(source.mask(), nullptr);
    EXPECT_EQ(source.currentFrame(), 1);
}

TEST(GifLoad, ProgressReportsAndVeto) {
    // Two images above 100,000 pixels (a report every 32 rows), a small one between them.
    GifBuilder b(400, 260, Palette(4));
    b.addImage(MakeImage(400, 260, Pattern(400, 260, 4, 1))).addImage(MakeImage(2, 2, {0, 1, 2, 3}));
    const auto& file = b.addImage(MakeImage(400, 260, Pattern(400, 260, 4, 2))).trailer().bytes();
    GifImage img;
    std::vector<int> percents;
    std::int64_t last = -1;
    img.OnProgress = [&](GifImage&, std::int64_t done, std::int64_t total, int pct, bool&) {
        EXPECT_EQ(total, static_cast<std::int64_t>(file.size()));
        EXPECT_GE(done, last);
        last = done;
        percents.push_back(pct);
    };
    ASSERT_TRUE(Load(img, file));
    // Four block starts, rows 0, 32, ..., 256 of each large image, and the end.
    EXPECT_EQ(percents.size(), 4u + 9u + 9u + 1u);
    EXPECT_EQ(percents.back(), 100);

    // A veto at the 16th report (inside the third image) drops that image; the next report
    // fails the load unless the handler sets the flag again.
    for (bool resume : {true, false}) {
        int reports = 0;
        img.OnProgress = [&](GifImage&, std::int64_t, std::int64_t, int, bool& keep) {
            if (++reports == 16) keep = false;
            else if (reports == 17 && resume) keep = true;
        };
        EXPECT_EQ(Load(img, file), resume);
        EXPECT_EQ(img.frameCount(), resume ? 2 : 0);
    }
    // A veto at a block start, or an exception from a handler, fails the load.
    img.OnProgress = [&](GifImage&, std::int64_t, std::int64_t, int, bool& keep) { keep = false; };
    EXPECT_FALSE(Load(img, file));
    img.OnProgress = nullptr;
    img.OnChange = [](GifImage&) { throw std::runtime_error("handler"); };
    EXPECT_FALSE(Load(img, file));
    // A handler cannot restart or clear the load it is part of, nor replace the file.
    img.OnChange = [&](GifImage& self) {
        EXPECT_FALSE(self.loadFromStream(file));
        self.clear();
        EXPECT_FALSE(self.readData(std::vector<std::uint8_t>{1, 0, 0, 0, 'G'}));
    };
    EXPECT_TRUE(Load(img, file));
    EXPECT_EQ(img.frameCount(), 3);
}

// Rows are reported only for images above 100,000 pixels: every 64th row up to 320 pixels wide,
// every 32nd above.
TEST(GifLoad, RowReportsStartAbove100000PixelsAndComeEvery64RowsUpTo320PixelsWide) {
    const auto reports = [](int w, int h) {
        GifBuilder b(w, h, Palette(4));
        GifImage img;
        int count = 0;
        img.OnProgress = [&](GifImage&, std::int64_t, std::int64_t, int, bool&) { ++count; };
        EXPECT_TRUE(Load(img, b.addImage(MakeImage(w, h, Pattern(w, h, 4, 3))).trailer().bytes()));
        return count - 3;  // the image's and the trailer's block starts, and the end
    };
    EXPECT_EQ(reports(400, 250), 0);  // exactly 100,000
    EXPECT_EQ(reports(320, 320), 5);  // rows 0, 64, 128, 192, 256
    EXPECT_EQ(reports(321, 320), 10);
}

TEST(GifLoad, MemoryBudget) {
    GifImage img;
    // One 1 x 1 image at (65535, 65535) would need a 65536 x 65536 composite.
    GifBuilder far(1, 1, Palette(2));
    EXPECT_FALSE(Load(img, far.addImage(MakeImage(1, 1, {1}, 65535, 65535)).trailer().bytes()));

    GifBuilder b(100, 100, Palette(2));
    for (int k = 0; k < 3; ++k) b.addImage(MakeImage(100, 100, std::vector<std::uint8_t>(10000, 1)));
    ASSERT_TRUE(Load(img, b.trailer().bytes()));
    constexpr std::size_t kFrames = 3 * 100 * 100, kComposite = 4 * 100 * 100;
    EXPECT_EQ(img.decodedBytes(), kFrames + kComposite);
    img.maxDecodedBytes = kFrames + kComposite;
    EXPECT_TRUE(Load(img, b.bytes()));
    img.maxDecodedBytes -= 1;  // the composite no longer fits
    EXPECT_FALSE(Load(img, b.bytes()));
    img.maxDecodedBytes = 2 * 100 * 100 + 50;  // the third frame no longer fits
    EXPECT_FALSE(Load(img, b.bytes()));
    EXPECT_EQ(img.frameCount(), 0);
}

} // namespace
} // namespace qvx::gif::testing
