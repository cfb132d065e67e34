#include "gifimage/gif_raster.h"

#include <algorithm>
#include <cstring>

namespace qvx::gif {

IndexedBitmap::IndexedBitmap(int width, int height)
    : width_(width), height_(height), stride_(static_cast<int>(strideFor(width))),
      pixels_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height)) {}

void IndexedBitmap::setPalette(const std::uint8_t* rgb, int size) {
    paletteSize_ = std::clamp(size, 0, 256);
    for (int i = 0; i < 256; ++i) {
        colors_[i] = i < paletteSize_ ? MakePixel(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]) : kBlack;
    }
}

MaskBitmap::MaskBitmap(int width, int height, bool white)
    : width_(width), height_(height), stride_(static_cast<int>(strideFor(width))),
      bits_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height), white ? 0xFF : 0x00) {}

void MaskBitmap::fill(bool white) { std::fill(bits_.begin(), bits_.end(), white ? 0xFF : 0x00); }

void MaskBitmap::fillSpan(int y, int x0, int x1, bool white) {
    std::uint8_t* bits = row(y);
    // Ragged head and tail bit by bit, whole bytes in between.
    while (x0 < x1 && (x0 & 7) != 0) put(x0++, y, white);
    while (x1 > x0 && (x1 & 7) != 0) put(--x1, y, white);
    if (x1 > x0) std::memset(bits + (x0 >> 3), white ? 0xFF : 0x00, static_cast<std::size_t>((x1 - x0) >> 3));
}

void MaskBitmap::fillRect(const Rect& r, bool white) {
    for (int y = r.top; y < r.bottom; ++y) fillSpan(y, r.left, r.right, white);
}

void MaskBitmap::andRow(int y, int x, const std::uint8_t* src, int n) {
    std::uint8_t* dst = row(y);
    for (int j = 0; 8 * j < n; ++j) {
        // Source bits 8j..8j+7 that exist and are black, as a byte, most significant bit first.
        const int valid = n - 8 * j >= 8 ? 8 : n - 8 * j;
        const auto validBits = static_cast<unsigned>(0xFF00u >> valid) & 0xFFu;
        const unsigned clear = ~static_cast<unsigned>(src[j]) & validBits;
        if (clear == 0) continue;
        const int d = x + 8 * j;
        const unsigned spread = (clear << 8) >> (d & 7);  // across two destination bytes
        dst[d >> 3] &= static_cast<std::uint8_t>(~(spread >> 8));
        if ((spread & 0xFF) != 0) dst[(d >> 3) + 1] &= static_cast<std::uint8_t>(~spread);
    }
}

PixelBitmap::PixelBitmap(int width, int height, Pixel fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void PixelBitmap::fillRect(const Rect& r, Pixel p) {
    for (int y = r.top; y < r.bottom; ++y) std::fill(row(y) + r.left, row(y) + r.right, p);
}

} // namespace qvx::gif
