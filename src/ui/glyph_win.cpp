#include "ui/glyph_win.h"

#include "ui/offscreen_win.h"

#include <algorithm>

namespace qvx::ui {

namespace {
constexpr std::uint32_t Premultiplied(std::uint32_t rgb, std::uint8_t alpha) {
    const auto mul = [alpha](std::uint32_t c) { return (c * alpha + 127) / 255; };
    return (static_cast<std::uint32_t>(alpha) << 24) | (mul((rgb >> 16) & 0xFF) << 16) | (mul((rgb >> 8) & 0xFF) << 8) |
           mul(rgb & 0xFF);
}
} // namespace

Glyph::Glyph(const GlyphArt& art) : width_(art.width), height_(art.height) {
    const int stripWidth = width_ * 2;
    pixels_.assign(static_cast<size_t>(stripWidth) * height_, 0);
    auto opaque = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width_ && y < height_ && y < static_cast<int>(art.rows.size()) &&
               x < static_cast<int>(art.rows[y].size()) && art.rows[y][x] != '.';
    };
    const std::uint32_t shadow = GetSysColor(COLOR_BTNSHADOW);
    const std::uint32_t highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    auto bgr = [](COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (opaque(x, y)) {
                const char ch = art.rows[y][x];
                std::uint32_t rgb = 0;
                for (const auto& [key, colour] : art.palette)
                    if (key == ch) rgb = colour;
                pixels_[static_cast<size_t>(y) * stripWidth + x] = Premultiplied(rgb, 255);
            }
            // Disabled look: the shape embossed in the button's shadow colour, lit from the
            // top left by a highlight one pixel down and right.
            std::uint32_t& d = pixels_[static_cast<size_t>(y) * stripWidth + width_ + x];
            if (opaque(x, y)) {
                d = Premultiplied(bgr(shadow), 255);
            } else if (opaque(x - 1, y - 1)) {
                d = Premultiplied(bgr(highlight), 255);
            }
        }
    }
    bitmap_ = CreateTopDownBitmap(stripWidth, height_, pixels_);
}

HBITMAP Glyph::stripFor(int dpi) const {
    if (imageWidthAt(dpi) == width_ && imageHeightAt(dpi) == height_) return bitmap_.get();
    if (scaledDpi_ == dpi && scaledBitmap_) return scaledBitmap_.get();
    // Each image on its own, so that the edge of one never bleeds into the other.
    const int w = imageWidthAt(dpi), h = imageHeightAt(dpi);
    std::vector<std::uint32_t> strip(static_cast<size_t>(2 * w) * h);
    for (int image = 0; image < 2; ++image) {
        std::vector<std::uint32_t> one;
        for (int y = 0; y < height_; ++y) {
            const auto row = pixels_.begin() + (2 * y + image) * width_;
            one.insert(one.end(), row, row + width_);
        }
        const std::vector<std::uint32_t> resized = ResampleArea(one, width_, height_, w, h);
        for (int y = 0; y < h; ++y) std::copy_n(resized.begin() + y * w, w, strip.begin() + (2 * y + image) * w);
    }
    scaledBitmap_ = CreateTopDownBitmap(2 * w, h, strip);
    scaledDpi_ = scaledBitmap_ ? dpi : 0;
    return scaledBitmap_.get();
}

void Glyph::draw(HDC dc, int x, int y, bool disabled, int dpi) const {
    if (!bitmap_) return;
    const HBITMAP strip = stripFor(dpi);
    if (!strip) return;
    const int w = imageWidthAt(dpi), h = imageHeightAt(dpi);
    const UniqueMemoryDc mem(CreateCompatibleDC(dc));
    SelectObject(mem.get(), strip);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, w, h, mem.get(), disabled ? w : 0, 0, w, h, blend);
}

} // namespace qvx::ui
