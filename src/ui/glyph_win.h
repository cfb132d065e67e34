#pragma once
// Button glyphs: small pictures drawn as character art in the source, turned into a two-image
// strip (normal look, disabled look) with transparency.
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

namespace qvx::ui {

struct GlyphArt {
    int width;
    int height;
    // Rows of `width` characters; '.' is transparent, other characters index the palette.
    std::vector<std::string_view> rows;
    // Character -> colour (0x00RRGGBB).
    std::vector<std::pair<char, std::uint32_t>> palette;
};

// A two-image glyph: one 32-bit premultiplied-alpha bitmap holding the normal image on the left
// and the disabled image on the right, each `imageWidth` wide.
class Glyph {
public:
    Glyph() = default;
    explicit Glyph(const GlyphArt& art);

    bool empty() const { return !bitmap_; }
    int imageWidth() const { return width_; }
    int imageHeight() const { return height_; }
    // Draws image 0 (normal) or 1 (disabled) with its top-left corner at (x, y).
    void draw(HDC dc, int x, int y, bool disabled) const;
    // ARGB pixels of the strip (for tests and screenshots of the glyphs).
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

} // namespace qvx::ui
