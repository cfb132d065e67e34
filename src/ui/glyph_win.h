#pragma once
// Button glyphs: small pictures drawn as character art in the source, turned into a two-image
// strip (normal look, disabled look) with transparency.
#include "platform/win32/unique_handle.h"
#include "ui/dpi_scale.h"

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
    // The size of an image on a window shown at `dpi`.
    int imageWidthAt(int dpi) const { return ScaleForDpi(width_, dpi); }
    int imageHeightAt(int dpi) const { return ScaleForDpi(height_, dpi); }
    // Draws image 0 (normal) or 1 (disabled) at its size for `dpi`, with its top-left corner at
    // (x, y). Other sizes than the drawn one are resampled once (ResampleArea: whole-number
    // scales replicate pixels) and kept for the next paint.
    void draw(HDC dc, int x, int y, bool disabled, int dpi = kDesignDpi) const;
    // ARGB pixels of the strip (for tests and screenshots of the glyphs).
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    // The strip at the size for `dpi`: the original, or the kept resampled one.
    HBITMAP stripFor(int dpi) const;

    UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    mutable UniqueBitmap scaledBitmap_;
    mutable int scaledDpi_ = 0;
};

} // namespace qvx::ui
