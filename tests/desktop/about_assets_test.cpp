// The embedded pictures: the animated logo as the About box stores and decodes it, and the still
// pictures and the glyph made from GIF files.
#include "desktop/about_assets.h"
#include "desktop/about_box_layout.h"
#include "desktop/about_pictures.h"
#include "gifimage/gif_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace qvx {
namespace {

TEST(AboutLogo, StoredWithItsLengthAndDecodedByTheLogoControl) {
    const auto data = AboutLogoFormData().Data;
    ASSERT_GT(data.size(), 4u);
    const std::uint32_t length = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    EXPECT_EQ(length, data.size() - 4);
    EXPECT_EQ(std::memcmp(data.data() + 4, "GIF89a", 6), 0);

    gif::GifImage logo;
    ASSERT_TRUE(LoadGifImageFormData(logo, AboutLogoFormData()));
    EXPECT_FALSE(logo.animate());  // started by each showing
    EXPECT_TRUE(logo.stretch());
    EXPECT_EQ(logo.imageWidth(), 135);
    EXPECT_EQ(logo.imageHeight(), 125);
    EXPECT_EQ(logo.colorDepth(), 4);  // a 16-colour global table
    EXPECT_EQ(logo.loopCount(), 999);
    EXPECT_TRUE(logo.hasTransparency());
    ASSERT_EQ(logo.frameCount(), 8);
    for (int k = 1; k <= 8; ++k) {
        const gif::GifFrame& f = *logo.frame(k);
        SCOPED_TRACE(k);
        EXPECT_EQ(f.bounds(), (gif::Rect{0, 0, 135, 125}));
        EXPECT_FALSE(f.hasLocalColors);
        EXPECT_EQ(f.delayMs, 100);
        EXPECT_EQ(f.disposal, 2);
        EXPECT_TRUE(f.transparent);
        EXPECT_EQ(f.transparentIndex, 11);
    }
    // The picture moves, and its corners are see-through.
    EXPECT_NE(logo.frame(1)->bitmap.bits(), logo.frame(2)->bitmap.bits());
    EXPECT_EQ(logo.frame(1)->bitmap.at(0, 0), 11);
}

TEST(AboutPictures, StillPicturesAndTheGlyphDecode) {
    const PictureData banner = DecodePicture(assets::TovrenBannerGif());
    EXPECT_EQ(banner.width, 611);
    EXPECT_EQ(banner.height, 67);
    const PictureData badge = DecodePicture(assets::TovrenBadgeGif());
    ASSERT_EQ(badge.width, 149);
    ASSERT_EQ(badge.height, 41);
    EXPECT_EQ(badge.at(0, 0), 0u);               // a rounded corner: transparent
    EXPECT_EQ(badge.at(74, 20) >> 24, 0xFFu);    // the middle: opaque
    EXPECT_EQ(DecodePicture(assets::DonateButtonGif()).width, 62);

    const GlyphArtData ok = GlyphArtFromGif(assets::OkGlyphGif());
    ASSERT_EQ(ok.rows.size(), static_cast<std::size_t>(ok.height));
    EXPECT_EQ(ok.rows[0], std::string(static_cast<std::size_t>(ok.width), '.'));
    std::size_t drawn = 0;
    for (const std::string& row : ok.rows) drawn += row.size() - std::count(row.begin(), row.end(), '.');
    EXPECT_GT(drawn, 40u);

    const std::uint8_t junk[] = {'G', 'I', 'F', '8', '9', 'a', 1};
    EXPECT_TRUE(DecodePicture(junk).empty());
    EXPECT_TRUE(GlyphArtFromGif(junk).rows.empty());
}

} // namespace
} // namespace qvx
