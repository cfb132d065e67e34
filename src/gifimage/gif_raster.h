#pragma once
// Raster types of the GIF control, independent of any windowing system.
//
// Frame bitmaps and masks keep the row layout of a bottom-up BMP (rows padded to 4 bytes,
// the image's top row last) so the Win32 side can hand them to GDI as they are. The composite
// is a plain top-down array of 0x00RRGGBB pixels, which is also the memory layout of a 32-bit
// top-down DIB.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qvx::gif {

// 0x00RRGGBB, the layout of a 32-bit DIB pixel on a little-endian machine.
using Pixel = std::uint32_t;

constexpr Pixel MakePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr std::uint8_t PixelRed(Pixel p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t PixelGreen(Pixel p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t PixelBlue(Pixel p) { return static_cast<std::uint8_t>(p); }

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// An 8-bit palette image. All 256 colour entries exist so that no pixel index needs a range
// check; entries at or beyond paletteSize() are black, which is also what GDI draws for an
// index beyond a DIB's colour table.
class IndexedBitmap {
public:
    IndexedBitmap() = default;
    IndexedBitmap(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    // Row y counted from the top of the image.
    std::uint8_t* row(int y) { return pixels_.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return pixels_.data() + rowOffset(y); }
    std::uint8_t at(int x, int y) const { return row(y)[x]; }

    // The whole buffer, bottom-up, stride() bytes per row.
    const std::vector<std::uint8_t>& bits() const { return pixels_; }
    std::vector<std::uint8_t>& bits() { return pixels_; }

    // Sets entries 0..size-1 from a table of RGB triples; the other entries become black.
    void setPalette(const std::uint8_t* rgbTriples, int size);
    int paletteSize() const { return paletteSize_; }
    Pixel color(std::uint8_t index) const { return colors_[index]; }
    const std::array<Pixel, 256>& colors() const { return colors_; }

    static std::size_t strideFor(int width) { return (static_cast<std::size_t>(width) + 3) & ~std::size_t{3}; }

private:
    std::size_t rowOffset(int y) const { return static_cast<std::size_t>(height_ - 1 - y) * stride_; }

    int width_ = 0, height_ = 0, stride_ = 0;
    int paletteSize_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::array<Pixel, 256> colors_{};
};

// A 1-bit image with the two colours black (bit 0) and white (bit 1). Pixel x of a row is
// bit 7 - (x mod 8) of byte x div 8; rows are padded to 4 bytes and stored bottom-up.
class MaskBitmap {
public:
    MaskBitmap() = default;
    MaskBitmap(int width, int height, bool white = false);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    std::uint8_t* row(int y) { return bits_.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return bits_.data() + rowOffset(y); }

    bool get(int x, int y) const { return (row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
    void set(int x, int y) { row(y)[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7)); }
    void put(int x, int y, bool white) {
        std::uint8_t& b = row(y)[x >> 3];
        const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
        b = white ? static_cast<std::uint8_t>(b | bit) : static_cast<std::uint8_t>(b & ~bit);
    }

    void fill(bool white);
    // Sets bits [x0, x1) of row y to `white`.
    void fillSpan(int y, int x0, int x1, bool white);
    void fillRect(const Rect& r, bool white);
    // Row y's bits [x, x + n) become black wherever bits [0, n) of `src` (a row of another
    // mask) are black: an AND of the two masks at an offset.
    void andRow(int y, int x, const std::uint8_t* src, int n);

    const std::vector<std::uint8_t>& bits() const { return bits_; }

    static std::size_t strideFor(int width) { return ((static_cast<std::size_t>(width) + 31) / 32) * 4; }

private:
    std::size_t rowOffset(int y) const { return static_cast<std::size_t>(height_ - 1 - y) * stride_; }

    int width_ = 0, height_ = 0, stride_ = 0;
    std::vector<std::uint8_t> bits_;
};

// A 32-bit colour image, top-down, no row padding.
class PixelBitmap {
public:
    PixelBitmap() = default;
    PixelBitmap(int width, int height, Pixel fill = kBlack);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    Pixel* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const Pixel* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    Pixel at(int x, int y) const { return row(y)[x]; }

    void fillRect(const Rect& r, Pixel p);
    const std::vector<Pixel>& pixels() const { return pixels_; }

private:
    int width_ = 0, height_ = 0;
    std::vector<Pixel> pixels_;
};

// Bytes a bitmap of each kind occupies; what the decoder's memory budget counts.
inline std::size_t IndexedBytes(int w, int h) { return IndexedBitmap::strideFor(w) * static_cast<std::size_t>(h); }
inline std::size_t MaskBytes(int w, int h) { return MaskBitmap::strideFor(w) * static_cast<std::size_t>(h); }
inline std::size_t PixelBytes(int w, int h) { return sizeof(Pixel) * static_cast<std::size_t>(w) * static_cast<std::size_t>(h); }

} // namespace qvx::gif
