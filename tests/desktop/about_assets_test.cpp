// The embedded pictures: the animated logo as the About box stores and decodes it, and the
// still pictures and glyph made from GIF files.
#include "desktop/about_assets.h"
#include "desktop/about_box_layout.h"
#include "desktop/about_pictures.h"
#include "gifimage/gif_image_core.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qvx {
namespace {

// Counts the comment extensions of a GIF file by walking its blocks.
int CommentCount(std::span<const std::uint8_t> f) {
    std::size_t p = 13;
    if (f[10] & 0x80) p += 3u << ((f[10] & 7) + 1);
    const auto skipSubBlocks = [&] {
        while (p < f.size() && f[p] != 0) p += f[p] + 1u;
        ++p;
    };
    int comments = 0;
    while (p < f.size() && f[p] != 0x3B) {
        if (f[p] == 0x21) {
            comments += f[p + 1] == 0xFE;
            p += 2;
            skipSubBlocks();
        } else if (f[p] == 0x2C) {
            const std::uint8_t packed = f[p + 9];
            p += 10;
            if (packed & 0x80) p += 3u << ((packed & 7) + 1);
            ++p;  // minimum code size
            skipSubBlocks();
        } else {
            ADD_FAILURE() << "unknown block at " << p;
            return -1;
        }
    }
    return comments;
}

TEST(AboutLogo, StoredWithItsLengthAndDecodedByTheLogoControl) {
    const auto data = AboutLogoFormData().Data;
    ASSERT_GT(data.size(), 4u);
    const std::uint32_t length = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    EXPECT_EQ(length, data.size() - 4);
    const auto file = data.subspan(4);
    EXPECT_EQ(std::memcmp(file.data(), "GIF89a", 6), 0);
    EXPECT_GE(CommentCount(file), 2);

    gif::TGIFImageCore logo;
    ASSERT_TRUE(LoadGifImageFormData(logo, AboutLogoFormData()));
    EXPECT_FALSE(logo.Animate());
    EXPECT_TRUE(logo.Stretch());
    EXPECT_FALSE(logo.Loop());
    EXPECT_FALSE(logo.Threaded());
    EXPECT_EQ(logo.ImageWidth(), 135);
    EXPECT_EQ(logo.ImageHeight(), 125);
    EXPECT_EQ(logo.ColorDepth(), 4);  // a 16-colour global table
    EXPECT_EQ(logo.LoopCount(), 999);
    EXPECT_TRUE(logo.Animated());
    EXPECT_TRUE(logo.HasTransparency());
    ASSERT_EQ(logo.FrameCount(), 8);
    for (int k = 1; k <= 8; ++k) {
        const gif::TGIFFrame& f = *logo.Frame(k);
        SCOPED_TRACE(k);
        EXPECT_EQ(f.Bounds(), (gif::Rect{0, 0, 135, 125}));
        EXPECT_FALSE(f.FHasLocalColors);
        EXPECT_EQ(f.FDelay, 100);
        EXPECT_EQ(f.FDisposal, 2);
        EXPECT_TRUE(f.FTransparent);
        EXPECT_EQ(f.FTransparentIndex, 11);
    }
    // The frames differ (the picture moves) and leave the corners see-through.
    EXPECT_NE(logo.Frame(1)->FBitmap.Bits(), logo.Frame(2)->FBitmap.Bits());
    EXPECT_EQ(logo.Frame(1)->FBitmap.At(0, 0), 11);
    EXPECT_EQ(logo.Frame(1)->FBitmap.At(134, 124), 11);
}

TEST(AboutPictures, StillPicturesAndTheGlyphDecode) {
    const PictureData banner = DecodePicture(assets::TovrenBannerGif());
    EXPECT_EQ(banner.width, 611);
    EXPECT_EQ(banner.height, 67);
    ASSERT_FALSE(banner.empty());
    EXPECT_EQ(banner.at(300, 30) >> 24, 0xFFu);  // opaque

    const PictureData badge = DecodePicture(assets::TovrenBadgeGif());
    EXPECT_EQ(badge.width, 149);
    EXPECT_EQ(badge.height, 41);
    ASSERT_FALSE(badge.empty());
    EXPECT_EQ(badge.at(0, 0), 0u);  // rounded corner: transparent
    EXPECT_EQ(badge.at(74, 20) >> 24, 0xFFu);

    const PictureData donate = DecodePicture(assets::DonateButtonGif());
    EXPECT_EQ(donate.width, 62);
    EXPECT_EQ(donate.height, 31);

    const GlyphArtData ok = GlyphArtFromGif(assets::OkGlyphGif());
    ASSERT_EQ(ok.rows.size(), static_cast<std::size_t>(ok.height));
    EXPECT_GT(ok.height, 8);
    EXPECT_EQ(ok.rows[0].size(), static_cast<std::size_t>(ok.width));
    EXPECT_EQ(ok.rows[0][0], '.');
    std::size_t drawn = 0;
    for (const std::string& row : ok.rows)
        for (char c : row) drawn += c != '.';
    EXPECT_GT(drawn, 40u);
    EXPECT_GE(ok.palette.size(), 2u);

    // Not a GIF: empty, not a crash.
    const std::uint8_t junk[] = {'G', 'I', 'F', '8', '9', 'a', 1};
    EXPECT_TRUE(DecodePicture(junk).empty());
    EXPECT_TRUE(GlyphArtFromGif(junk).rows.empty());
}

} // namespace
} // namespace qvx
