#pragma once
// The About box's pictures, embedded in the program (generated from assets/ at build time by
// tools/embed_assets.cmake). All are GIF files made by tools/make_about_assets.
#include <cstdint>
#include <span>

namespace qvx::assets {

// The animated logo as the About box's form data stores it (the logo control's "Data" value):
// a 32-bit little-endian length, then the GIF file.
std::span<const std::uint8_t> TovrenLogoData();
std::span<const std::uint8_t> TovrenBannerGif();
std::span<const std::uint8_t> TovrenBadgeGif();
std::span<const std::uint8_t> DonateButtonGif();
std::span<const std::uint8_t> OkGlyphGif();

} // namespace qvx::assets
