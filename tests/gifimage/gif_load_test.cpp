// Loading: block structure, raster decoding, limits and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "gif_test_support.h"

namespace qvx::gif::testing {
namespace {

using gifwriter::BitWriter;
using gifwriter::SubBlocks;

struct RasterCase {
    const char* name;
    int w, h, colors;
    bool interlaced;
    int minCodeSize;  // 0: automatic
    int subBlockSize;
    bool resetWhenFull;
};

// Every case encodes a raster and expects exactly those indices back.
TEST(GifLoad, RastersRoundTripInEveryLayout) {
    const RasterCase cases[] = {
        {"interlaced h1", 5, 1, 4, true, 0, 255, true},
        {"interlaced h2", 5, 2, 4, true, 0, 255, true},
        {"interlaced h3", 5, 3, 4, true, 0, 255, true},
        {"interlaced h4", 5, 4, 4, true, 0, 255, true},
        {"interlaced h5", 5, 5, 4, true, 0, 255, true},
        {"interlaced h9", 3, 9, 4, true, 0, 255, true},
        {"interlaced h37", 41, 37, 16, true, 0, 255, true},
        {"two colours", 33, 17, 2, false, 0, 255, true},
        {"one pixel", 1, 1, 2, false, 0, 255, true},
        {"256 colours, table clears", 200, 150, 256, false, 8, 255, true},
        // Once the table is full the codes stay 12 bits wide and no entry is added.
        {"256 colours, no clear when full", 160, 160, 256, false, 8, 255, false},
        {"16 colours, no clear when full", 300, 200, 16, false, 4, 255, false},
        // One-byte and two-byte sub-blocks: codes straddle several sub-blocks.
        {"one-byte sub-blocks", 64, 48, 256, false, 8, 1, true},
        {"two-byte sub-blocks", 64, 48, 16, false, 0, 2, true},
        {"wide codes, small palette", 90, 70, 4, false, 11, 255, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto idx = Pattern(c.w, c.h, c.colors, static_cast<unsigned>(c.w * 31 + c.h));
        auto image = MakeImage(c.w, c.h, idx);
        image.interlaced = c.interlaced;
        image.minCodeSize = c.minCodeSize;
        image.subBlockSize = c.subBlockSize;
        image.resetWhenFull = c.resetWhenFull;
        GifBuilder b(c.w, c.h, Palette(c.colors));
        b.AddImage(image).Trailer();
        TGIFImageCore img;
        ASSERT_TRUE(Load(img, b.Bytes()));
        ASSERT_EQ(img.FrameCount(), 1);
        const TGIFFrame& f = *img.Frame(1);
        EXPECT_EQ(f.FInterlaced, c.interlaced);
        EXPECT_EQ(Indices(f), idx);
    }
}

// Modelled on the About box logo.
TEST(GifLoad, AnimatedTransparentFileWithLoopAndComments) {
    GifBuilder b(135, 125, Palette(16));
    b.Comment("made for the tests").Loop(999).Comment("second comment");
    for (int k = 0; k < 8; ++k) {
        b.Control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
        b.AddImage(MakeImage(135, 125, Pattern(135, 125, 16, 100 + k)));
    }
    b.Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 8);
    EXPECT_EQ(img.LoopCount(), 999);
    EXPECT_TRUE(img.HasTransparency());
    EXPECT_TRUE(img.Animated());
    EXPECT_EQ(img.Version(), TGIFVersion::gvGIF89a);
    EXPECT_EQ(img.ImageWidth(), 135);
    EXPECT_EQ(img.ImageHeight(), 125);
    EXPECT_EQ(img.ColorDepth(), 4);
    EXPECT_EQ(img.CurrentFrame(), 1);
    for (int k = 1; k <= 8; ++k) {
        const TGIFFrame& f = *img.Frame(k);
        EXPECT_EQ(f.FDelay, 100);
        EXPECT_EQ(f.FDisposal, 2);
        EXPECT_TRUE(f.FTransparent);
        EXPECT_EQ(f.FTransparentIndex, 11);
        EXPECT_EQ(f.FBitmap.PaletteSize(), 16);
        // Mask bits exactly where the index is the transparent one.
        for (int y = 0; y < f.FHeight; ++y)
            for (int x = 0; x < f.FWidth; ++x) ASSERT_EQ(f.FMaskBitmap.Get(x, y), f.FBitmap.At(x, y) == 11);
    }
    EXPECT_EQ(img.Data(), b.Bytes());
}

TEST(GifLoad, LogicalSizeGrowsToCoverEveryFrame) {
    GifBuilder b(10, 10, Palette(4));
    b.AddImage(MakeImage(6, 4, Pattern(6, 4, 4, 1), 7, 2));
    b.AddImage(MakeImage(3, 9, Pattern(3, 9, 4, 2), 1, 5)).Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.ImageWidth(), 13);
    EXPECT_EQ(img.ImageHeight(), 14);
    EXPECT_EQ(img.Composite().Width(), 13);
    EXPECT_EQ(img.Composite().Height(), 14);
    EXPECT_EQ(img.Frame(1)->FLeft, 7);
    EXPECT_EQ(img.Frame(2)->FTop, 5);
}

TEST(GifLoad, PaletteSizesAndColourSources) {
    // No global table and no local table: one black entry.
    {
        GifBuilder b(4, 4);
        b.AddImage(MakeImage(4, 4, Pattern(4, 4, 4, 3))).Trailer();
        TGIFImageCore img;
        ASSERT_TRUE(Load(img, b.Bytes()));
        EXPECT_EQ(img.ColorDepth(), 0);
        EXPECT_EQ(img.Frame(1)->FBitmap.PaletteSize(), 1);
        for (Pixel p : img.Composite().Pixels()) ASSERT_EQ(p, kBlack);
    }
    // A 256-colour file leaves its colours in the global table of the control...
    TGIFImageCore img;
    {
        GifBuilder b(2, 2, Palette(256));
        b.AddImage(MakeImage(2, 2, {0, 1, 2, 3})).Trailer();
        ASSERT_TRUE(Load(img, b.Bytes()));
    }
    // ...and the next file's 2-entry table only replaces its first two entries. A local 8-bit
    // table raises the depth, so a later frame without a local table gets 256 entries, those
    // past the new table being what the previous file left.
    auto local = Palette(256);
    for (auto& c : local) c = {1, 2, 3};
    GifBuilder b(2, 2, {{200, 0, 0}, {0, 200, 0}});
    auto first = MakeImage(2, 2, {0, 1, 0, 1});
    first.localColors = local;
    b.AddImage(first).AddImage(MakeImage(2, 2, {0, 1, 5, 200})).Trailer();
    ASSERT_TRUE(Load(img, b.Bytes()));
    const TGIFFrame& f1 = *img.Frame(1);
    const TGIFFrame& f2 = *img.Frame(2);
    EXPECT_TRUE(f1.FHasLocalColors);
    EXPECT_EQ(f1.FLocalDepth, 8);
    EXPECT_EQ(f1.FBitmap.Color(0), MakePixel(1, 2, 3));
    EXPECT_FALSE(f2.FHasLocalColors);
    EXPECT_EQ(f2.FLocalDepth, 0);
    EXPECT_EQ(f2.FBitmap.PaletteSize(), 256);
    const auto old = Palette(256);
    EXPECT_EQ(f2.FBitmap.Color(0), MakePixel(200, 0, 0));
    EXPECT_EQ(f2.FBitmap.Color(1), MakePixel(0, 200, 0));
    EXPECT_EQ(f2.FBitmap.Color(5), MakePixel(old[5].r, old[5].g, old[5].b));
    EXPECT_EQ(f2.FBitmap.Color(200), MakePixel(old[200].r, old[200].g, old[200].b));
}

TEST(GifLoad, GraphicControlAppliesToTheNextImageOnly) {
    GifBuilder b(4, 4, Palette(4));
    b.Control({.disposal = 3, .delayCs = 7, .transparent = true, .transparentIndex = 2});
    b.AddImage(MakeImage(4, 4, Pattern(4, 4, 4, 1))).AddImage(MakeImage(4, 4, Pattern(4, 4, 4, 2))).Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    const TGIFFrame& f1 = *img.Frame(1);
    const TGIFFrame& f2 = *img.Frame(2);
    EXPECT_EQ(f1.FDelay, 70);
    EXPECT_EQ(f1.FDisposal, 3);
    EXPECT_TRUE(f1.FTransparent);
    EXPECT_EQ(f1.FTransparentIndex, 2);
    EXPECT_EQ(f1.FSavedImage.Width(), 4);
    EXPECT_EQ(f2.FDelay, 0);
    EXPECT_EQ(f2.FDisposal, 0);
    EXPECT_FALSE(f2.FTransparent);
    EXPECT_TRUE(f2.FMaskBitmap.Empty());
    EXPECT_TRUE(f2.FSavedImage.Empty());
}

TEST(GifLoad, DisposalValuesFourToSevenAreTakenAsTwo) {
    GifBuilder b(2, 2, Palette(2));
    for (int d = 0; d < 8; ++d) b.Control({.disposal = d}).AddImage(MakeImage(2, 2, {0, 1, 1, 0}));
    b.Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    const int expected[8] = {0, 1, 2, 3, 2, 2, 2, 2};
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(img.Frame(k)->FDisposal, expected[k - 1]) << "frame " << k;
}

TEST(GifLoad, LoopCountFromTheLoopingExtension) {
    auto file = [](int loop) {
        GifBuilder b(2, 2, Palette(2));
        if (loop >= 0) b.Loop(loop);
        b.AddImage(MakeImage(2, 2, {0, 1, 1, 0})).AddImage(MakeImage(2, 2, {1, 1, 1, 0})).Trailer();
        return b.Bytes();
    };
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, file(0)));
    EXPECT_EQ(img.LoopCount(), 0);
    ASSERT_TRUE(Load(img, file(-1)));
    EXPECT_EQ(img.LoopCount(), 1);
    ASSERT_TRUE(Load(img, file(65535)));
    EXPECT_EQ(img.LoopCount(), 65535);
    // Another application extension is skipped whole.
    GifBuilder other(2, 2, Palette(2));
    other.Raw({0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 3, 1, 9, 0, 2, 7, 7, 0});
    other.AddImage(MakeImage(2, 2, {0, 1, 1, 0})).Trailer();
    ASSERT_TRUE(Load(img, other.Bytes()));
    EXPECT_EQ(img.LoopCount(), 1);
    EXPECT_EQ(img.FrameCount(), 1);
}

TEST(GifLoad, SignatureAndVersion) {
    auto file = [](std::string_view version) {
        GifBuilder b(2, 2, Palette(2), version);
        b.AddImage(MakeImage(2, 2, {0, 1, 1, 0})).Trailer();
        return b.Bytes();
    };
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, file("89a")));
    EXPECT_EQ(img.Version(), TGIFVersion::gvGIF89a);
    ASSERT_TRUE(Load(img, file("87a")));
    EXPECT_EQ(img.Version(), TGIFVersion::gvGIF87a);
    ASSERT_TRUE(Load(img, file("8xa")));  // nothing but "GIF" is checked
    EXPECT_EQ(img.Version(), TGIFVersion::gvGIF87a);
    ASSERT_TRUE(Load(img, file("99z")));
    EXPECT_EQ(img.Version(), TGIFVersion::gvGIF89a);
    for (int i = 0; i < 3; ++i) {
        auto bad = file("89a");
        bad[i] ^= 0x20;
        EXPECT_FALSE(Load(img, bad)) << "signature byte " << i;
        EXPECT_TRUE(img.Empty());
        EXPECT_TRUE(img.Data().empty());
    }
    EXPECT_FALSE(Load(img, {}));
}

TEST(GifLoad, UnknownBytesBetweenBlocksAreDroppedInPairs) {
    const auto first = MakeImage(2, 2, {0, 1, 1, 0});
    const auto second = MakeImage(2, 2, {1, 1, 1, 0});
    // The stray 0x99 takes the following byte (a trailer) with it, so the second image is
    // still found.
    GifBuilder b(2, 2, Palette(2));
    b.AddImage(first).Raw({0x99, 0x3B}).AddImage(second).Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 2);
    // Two stray bytes vanish as one pair; a third would swallow the image separator.
    GifBuilder c(2, 2, Palette(2));
    c.AddImage(first).Raw({0x00, 0x00}).AddImage(second).Trailer();
    ASSERT_TRUE(Load(img, c.Bytes()));
    EXPECT_EQ(img.FrameCount(), 2);
    EXPECT_EQ(Indices(*img.Frame(2)), second.indices);
}

TEST(GifLoad, MissingTrailerStillLoads) {
    GifBuilder b(3, 3, Palette(4));
    b.AddImage(MakeImage(3, 3, Pattern(3, 3, 4, 9)));
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 1);
}

TEST(GifLoad, FrameLimitsAndFirstImageOnly) {
    GifBuilder b(3, 2, Palette(4));
    for (int k = 0; k < 300; ++k) b.AddImage(MakeImage(3, 2, Pattern(3, 2, 4, k)));
    b.Trailer();
    TGIFImageCore img;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 256);
    EXPECT_EQ(Indices(*img.Frame(256)), Pattern(3, 2, 4, 255));

    img.FirstImageOnly = true;
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 1);
    EXPECT_FALSE(img.Animated());
}

// Builds a file of two good images with `bad` raw bytes between them.
std::vector<std::uint8_t> WithBadSecondImage(std::initializer_list<std::uint8_t> bad) {
    GifBuilder b(2, 2, Palette(2));
    b.AddImage(MakeImage(2, 2, {0, 1, 1, 0})).Raw(bad).AddImage(MakeImage(2, 2, {1, 1, 1, 1})).Trailer();
    return b.Bytes();
}

TEST(GifLoad, OutcomesOfBrokenImages) {
    TGIFImageCore img;
    // Width or height 0: the whole load fails, earlier frames included.
    EXPECT_FALSE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 0, 0, 2, 0, 0, 2, 1, 0, 0})));
    EXPECT_TRUE(img.Empty());
    EXPECT_FALSE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 1, 0, 0})));
    // Larger than 16384: that frame is dropped and parsing ends; the first frame stays.
    ASSERT_TRUE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 0x01, 0x40, 1, 0, 0, 2, 1, 0, 0})));
    EXPECT_EQ(img.FrameCount(), 1);
    ASSERT_TRUE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 1, 0, 0x01, 0x40, 0})));
    EXPECT_EQ(img.FrameCount(), 1);
    // Minimum code sizes that the 4096-entry tables cannot hold are refused the same way.
    for (std::uint8_t m : {12, 13, 15, 16, 200}) {
        ASSERT_TRUE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, m, 1, 0, 0}))) << int(m);
        EXPECT_EQ(img.FrameCount(), 1) << int(m);
    }
    // Exactly 16384 is allowed (an empty code stream decodes to index 0 everywhere).
    ASSERT_TRUE(Load(img, WithBadSecondImage({0x2C, 0, 0, 0, 0, 0x00, 0x40, 1, 0, 0, 2, 0})));
    EXPECT_EQ(img.FrameCount(), 3);
    EXPECT_EQ(img.ImageWidth(), 16384);
}

// A raw code stream written code by code, for streams no encoder would make.
std::vector<std::uint8_t> Codes(std::initializer_list<std::pair<unsigned, int>> codes) {
    BitWriter w;
    for (auto [code, width] : codes) w.Put(code, width);
    return SubBlocks(w.Finish());
}

std::vector<std::uint8_t> FileWithRaster(int w, int h, int m, const std::vector<std::uint8_t>& blocks,
                                         bool transparent) {
    GifBuilder b(w, h, Palette(4));
    if (transparent) b.Control({.transparent = true, .transparentIndex = 3});
    b.Raw({0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(w), 0, static_cast<std::uint8_t>(h), 0, 0,
           static_cast<std::uint8_t>(m)});
    b.Raw(blocks);
    b.AddImage(MakeImage(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, 2))).Trailer();
    return b.Bytes();
}

TEST(GifLoad, BrokenCodeStreamsEndTheImageThere) {
    TGIFImageCore img;
    // m = 2: clear 4, end 5. After 0 0 0 the next free entry is 8 and codes are 4 bits.
    // Code 10 lies beyond the table; code 9 then makes entry 9 point at 10, and code 0 makes
    // entry 10 point at 9: a cycle, which code 9 runs into until the stack is full.
    {
        auto blocks = Codes({{4, 3}, {0, 3}, {0, 3}, {0, 3}, {10, 4}, {9, 4}, {0, 4}, {9, 4}, {5, 4}});
        ASSERT_TRUE(Load(img, FileWithRaster(40, 1, 2, blocks, true)));
        ASSERT_EQ(img.FrameCount(), 2);  // the stream was drained: the next image is found
        const TGIFFrame& f = *img.Frame(1);
        // Nine pixels come out (0; 0; 0; 0 0; 0 0 0; 0) before the cycle breaks the stream.
        const auto idx = Indices(f);
        int decoded = 0;
        while (decoded < 40 && !f.FMaskBitmap.Get(decoded, 0)) ++decoded;
        EXPECT_EQ(decoded, 9);
        for (int x = decoded; x < 40; ++x) {
            EXPECT_EQ(idx[x], 0) << x;
            EXPECT_TRUE(f.FMaskBitmap.Get(x, 0)) << x;
        }
        EXPECT_EQ(Indices(*img.Frame(2)), std::vector<std::uint8_t>(40, 2));
    }
    // A code whose entry points at itself: code 7 (beyond next free 6) makes entry 6, then
    // code 1 makes entry 7 with prefix 7.
    {
        auto blocks = Codes({{4, 3}, {0, 3}, {7, 3}, {1, 3}, {7, 4}, {5, 4}});
        ASSERT_TRUE(Load(img, FileWithRaster(4, 2, 2, blocks, true)));
        ASSERT_EQ(img.FrameCount(), 2);
        const TGIFFrame& f = *img.Frame(1);
        EXPECT_EQ(Indices(f), (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0, 0, 0}));
        EXPECT_EQ(MaskText(f.FMaskBitmap), "0000/1111");
    }
    // An early end code: the rest keeps index 0 and, without transparency, has no mask.
    {
        auto blocks = Codes({{4, 3}, {1, 3}, {2, 3}, {5, 3}});
        ASSERT_TRUE(Load(img, FileWithRaster(3, 2, 2, blocks, false)));
        ASSERT_EQ(img.FrameCount(), 2);
        EXPECT_EQ(Indices(*img.Frame(1)), (std::vector<std::uint8_t>{1, 2, 0, 0, 0, 0}));
        EXPECT_TRUE(img.Frame(1)->FMaskBitmap.Empty());
    }
    // Interlaced and cut short: the unset rows are marked in interlaced order.
    {
        auto blocks = Codes({{4, 3}, {3, 3}, {1, 3}, {5, 3}});  // two pixels of a 1 x 5 image
        GifBuilder b(1, 5, Palette(4));
        b.Control({.transparent = true, .transparentIndex = 3});
        b.Raw({0x2C, 0, 0, 0, 0, 1, 0, 5, 0, 0x40, 2}).Raw(blocks).Trailer();
        ASSERT_TRUE(Load(img, b.Bytes()));
        const TGIFFrame& f = *img.Frame(1);
        // Stored rows 0 then 4 got 3 (transparent) and 1; rows 2, 1, 3 were never reached.
        EXPECT_EQ(Indices(f), (std::vector<std::uint8_t>{3, 0, 0, 0, 1}));
        EXPECT_EQ(MaskText(f.FMaskBitmap), "1/1/1/1/0");
    }
}

TEST(GifLoad, TruncationAtEveryOffset) {
    GifBuilder b(6, 5, Palette(4));
    b.Loop(0).Comment("c");
    b.Control({.disposal = 1, .delayCs = 5, .transparent = true, .transparentIndex = 1});
    auto first = MakeImage(6, 5, Pattern(6, 5, 4, 7));
    first.interlaced = true;
    const std::size_t firstImageAt = b.Bytes().size();
    b.AddImage(first);
    const std::size_t firstImageEnd = b.Bytes().size();
    b.Control({.disposal = 2, .delayCs = 5});
    const std::size_t secondImageAt = b.Bytes().size();
    auto second = MakeImage(4, 3, Pattern(4, 3, 4, 8), 1, 1);
    second.localColors = Palette(4);
    b.AddImage(second);
    const std::size_t secondImageEnd = b.Bytes().size();
    b.Trailer();
    const auto& full = b.Bytes();

    for (std::size_t len = 0; len <= full.size(); ++len) {
        SCOPED_TRACE(len);
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len));
        TGIFImageCore img;
        const bool ok = Load(img, cut);
        int expectedFrames;
        if (len < firstImageAt + 10) expectedFrames = 0;         // no complete first descriptor
        else if (len < secondImageAt + 10) expectedFrames = 1;   // second descriptor incomplete
        else expectedFrames = 2;
        EXPECT_EQ(ok, expectedFrames > 0);
        EXPECT_EQ(img.FrameCount(), expectedFrames);
        if (len >= firstImageEnd) {
            EXPECT_EQ(Indices(*img.Frame(1)), first.indices);
        }
        if (len >= secondImageEnd) {
            EXPECT_EQ(Indices(*img.Frame(2)), second.indices);
        }
        if (ok) {
            EXPECT_EQ(img.Data(), cut);
        }
    }
}

// The direct path for well-formed strings must give exactly what value-by-value decoding gives.
void ExpectSameDecoding(const std::vector<std::uint8_t>& file) {
    TGIFImageCore fast, reference;
    reference.ReferenceDecode = true;
    ASSERT_EQ(Load(fast, file), Load(reference, file));
    ASSERT_EQ(fast.FrameCount(), reference.FrameCount());
    for (int k = 1; k <= fast.FrameCount(); ++k) {
        EXPECT_EQ(fast.Frame(k)->FBitmap.Bits(), reference.Frame(k)->FBitmap.Bits()) << "frame " << k;
        EXPECT_EQ(fast.Frame(k)->FMaskBitmap.Bits(), reference.Frame(k)->FMaskBitmap.Bits()) << "frame " << k;
    }
}

TEST(GifLoad, DirectAndReferenceDecodingAgree) {
    std::mt19937 rng(5);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int w = 1 + static_cast<int>(rng() % 70), h = 1 + static_cast<int>(rng() % 40);
        const int colors = 2 << (rng() % 8);
        GifBuilder b(w, h, Palette(colors));
        b.Control({.transparent = true, .transparentIndex = static_cast<std::uint8_t>(rng() % colors)});
        auto image = MakeImage(w, h, Pattern(w, h, colors, rng()));
        image.interlaced = rng() % 2 == 0;
        image.resetWhenFull = rng() % 2 == 0;
        image.subBlockSize = 1 + static_cast<int>(rng() % 255);
        b.AddImage(image);
        auto file = b.Trailer().Bytes();
        ExpectSameDecoding(file);
        // Flip bytes inside the raster: broken strings, codes beyond the table, early ends.
        for (int flip = 0; flip < 8; ++flip) {
            auto broken = file;
            const std::size_t at = 13 + 3 * static_cast<std::size_t>(colors) + 8 + 10 + 2 + rng() % (file.size() - (13 + 3 * colors + 8 + 10 + 3));
            broken[at] ^= static_cast<std::uint8_t>(1 + rng() % 255);
            ExpectSameDecoding(broken);
        }
    }
}

TEST(GifLoad, DataPropertyRoundTrip) {
    GifBuilder b(5, 4, Palette(8));
    b.Loop(3);
    b.Control({.disposal = 3, .delayCs = 12, .transparent = true, .transparentIndex = 0});
    b.AddImage(MakeImage(5, 4, Pattern(5, 4, 8, 1)));
    b.AddImage(MakeImage(2, 2, Pattern(2, 2, 8, 2), 3, 2)).Trailer();
    TGIFImageCore source;
    ASSERT_TRUE(Load(source, b.Bytes()));
    const auto stored = source.WriteData();
    ASSERT_EQ(stored.size(), 4 + b.Bytes().size());
    const std::uint32_t n = stored[0] | (stored[1] << 8) | (stored[2] << 16) | (stored[3] << 24);
    EXPECT_EQ(n, b.Bytes().size());

    TGIFImageCore copy;
    ASSERT_TRUE(copy.ReadData(stored));
    EXPECT_TRUE(copy.Empty());  // decoded only when the form data has been read
    copy.Loaded();
    ASSERT_FALSE(copy.Empty());
    ASSERT_EQ(copy.FrameCount(), 2);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(Indices(*copy.Frame(k)), Indices(*source.Frame(k)));
        EXPECT_EQ(copy.Frame(k)->FDelay, source.Frame(k)->FDelay);
    }
    EXPECT_EQ(copy.LoopCount(), 3);
    EXPECT_EQ(copy.WriteData(), stored);

    // An empty control stores nothing; lengths of 0 or less read as no data; a value cut
    // short is refused.
    TGIFImageCore empty;
    EXPECT_FALSE(empty.StoresData());
    EXPECT_TRUE(empty.WriteData().empty());
    EXPECT_TRUE(empty.ReadData(std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_TRUE(empty.Data().empty());
    EXPECT_TRUE(empty.ReadData(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'G'}));
    EXPECT_TRUE(empty.Data().empty());
    auto shortValue = stored;
    shortValue.pop_back();
    EXPECT_FALSE(empty.ReadData(shortValue));
    EXPECT_TRUE(empty.Data().empty());
    empty.Loaded();
    EXPECT_TRUE(empty.Empty());
}

TEST(GifLoad, AssignAndClear) {
    GifBuilder b(3, 3, Palette(4));
    b.AddImage(MakeImage(3, 3, Pattern(3, 3, 4, 5))).Trailer();
    TGIFImageCore a, c;
    ASSERT_TRUE(Load(a, b.Bytes()));
    c.Assign(&a);
    ASSERT_EQ(c.FrameCount(), 1);
    EXPECT_EQ(Indices(*c.Frame(1)), Indices(*a.Frame(1)));
    EXPECT_EQ(c.Data(), a.Data());
    c.Assign(&c);  // the same file again
    EXPECT_EQ(c.FrameCount(), 1);
    TGIFImageCore empty;
    c.Assign(&empty);
    EXPECT_TRUE(c.Empty());
    a.Assign(nullptr);
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(a.FrameCount(), 0);
    EXPECT_TRUE(a.Data().empty());
    EXPECT_TRUE(a.Composite().Empty());
    EXPECT_EQ(a.Mask(), nullptr);
    EXPECT_EQ(a.CurrentFrame(), 1);
}

TEST(GifLoad, ProgressReportsAndVeto) {
    // Two images above 100,000 pixels (rows reported every 32), one small one between them.
    GifBuilder b(400, 260, Palette(4));
    b.AddImage(MakeImage(400, 260, Pattern(400, 260, 4, 1)));
    b.AddImage(MakeImage(2, 2, {0, 1, 2, 3}));
    b.AddImage(MakeImage(400, 260, Pattern(400, 260, 4, 2))).Trailer();

    TGIFImageCore img;
    std::vector<int> percents;
    std::int64_t last = -1;
    img.OnProgress = [&](TGIFImageCore&, std::int64_t done, std::int64_t total, int pct, bool& keep) {
        EXPECT_EQ(total, static_cast<std::int64_t>(b.Bytes().size()));
        EXPECT_GE(done, last);
        last = done;
        EXPECT_TRUE(keep);
        percents.push_back(pct);
    };
    ASSERT_TRUE(Load(img, b.Bytes()));
    // Block starts, 9 row reports in each large image (rows 0, 32, ..., 256), and the end.
    EXPECT_EQ(percents.size(), 4u + 9u + 9u + 1u);
    EXPECT_EQ(percents.back(), 100);

    // A veto inside the second large image drops it; the next report fails the load unless
    // the handler sets the flag again.
    int reports = 0;
    bool resume = true;
    img.OnProgress = [&](TGIFImageCore&, std::int64_t, std::int64_t, int, bool& keep) {
        ++reports;
        if (reports == 16) keep = false;        // a row report in the third image
        else if (reports == 17 && resume) keep = true;
    };
    ASSERT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 2);
    reports = 0;
    resume = false;
    EXPECT_FALSE(Load(img, b.Bytes()));
    EXPECT_TRUE(img.Empty());

    // A veto at a block start fails the load.
    img.OnProgress = [&](TGIFImageCore&, std::int64_t, std::int64_t, int, bool& keep) { keep = false; };
    EXPECT_FALSE(Load(img, b.Bytes()));
    // An exception from a handler fails the load too.
    img.OnProgress = nullptr;
    img.OnChange = [](TGIFImageCore&) { throw std::runtime_error("handler"); };
    EXPECT_FALSE(Load(img, b.Bytes()));
    // A handler cannot restart or clear the load it is part of, nor replace the file.
    img.OnChange = [&](TGIFImageCore& self) {
        EXPECT_FALSE(self.LoadFromStream(b.Bytes()));
        self.Clear();
        EXPECT_FALSE(self.ReadData(std::vector<std::uint8_t>{1, 0, 0, 0, 'G'}));
    };
    EXPECT_TRUE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 3);
}

TEST(GifLoad, MemoryBudget) {
    TGIFImageCore img;
    // One 1 x 1 image at (65535, 65535) would need a 65536 x 65536 composite.
    GifBuilder far(1, 1, Palette(2));
    far.AddImage(MakeImage(1, 1, {1}, 65535, 65535)).Trailer();
    EXPECT_FALSE(Load(img, far.Bytes()));
    EXPECT_TRUE(img.Empty());

    GifBuilder b(100, 100, Palette(2));
    for (int k = 0; k < 3; ++k) b.AddImage(MakeImage(100, 100, std::vector<std::uint8_t>(10000, 1)));
    b.Trailer();
    ASSERT_TRUE(Load(img, b.Bytes()));
    // Three 100 x 100 frames and a 4-byte-per-pixel composite.
    EXPECT_EQ(img.DecodedBytes(), 3u * 100 * 100 + 4u * 100 * 100);
    img.MaxDecodedBytes = 3u * 100 * 100 + 4u * 100 * 100;
    EXPECT_TRUE(Load(img, b.Bytes()));
    img.MaxDecodedBytes -= 1;  // the composite no longer fits
    EXPECT_FALSE(Load(img, b.Bytes()));
    img.MaxDecodedBytes = 2u * 100 * 100 + 50;  // the third frame no longer fits
    EXPECT_FALSE(Load(img, b.Bytes()));
    EXPECT_EQ(img.FrameCount(), 0);
}

} // namespace
} // namespace qvx::gif::testing
