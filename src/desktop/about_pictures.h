#pragma once
// Still pictures from embedded GIF files: the first image as 32-bit pixels, or as the
// character art that button glyphs are made from.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace qvx {

struct PictureData {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // 0xAARRGGBB, top row first; transparent pixels have alpha 0
    bool empty() const { return argb.empty(); }
    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// The first image of a GIF file; empty when the file cannot be decoded.
PictureData DecodePicture(std::span<const std::uint8_t> gif);

struct GlyphArtData {
    int width = 0;
    int height = 0;
    std::vector<std::string> rows;                          // '.' is transparent
    std::vector<std::pair<char, std::uint32_t>> palette;   // character -> 0x00RRGGBB
};

// The first image of a GIF file as character art: one character per colour used; empty
// (no rows) when the file cannot be decoded or uses more colours than there are characters.
GlyphArtData GlyphArtFromGif(std::span<const std::uint8_t> gif);

} // namespace qvx
