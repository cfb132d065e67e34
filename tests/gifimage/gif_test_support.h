#pragma once
// Helpers shared by the GIF tests: images to encode, and views of what the control decoded.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gifimage/gif_image.h"
#include "gifimage/gif_writer.h"

namespace qvx::gif::testing {

using gifwriter::GifBuilder;
using gifwriter::GraphicControl;
using gifwriter::Rgb;

inline std::vector<Rgb> Palette(int n) {
    std::vector<Rgb> p;
    for (int i = 0; i < n; ++i)
        p.push_back({static_cast<std::uint8_t>(i * 37 + 11), static_cast<std::uint8_t>(i * 91 + 3),
                     static_cast<std::uint8_t>(255 - i * 13)});
    return p;
}

// Indices below `colors`, with runs and noise so that LZW strings of many lengths occur.
inline std::vector<std::uint8_t> Pattern(int w, int h, int colors, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned r = rng();
            v[static_cast<std::size_t>(y) * w + x] =
                static_cast<std::uint8_t>((r % 4 == 0 ? r >> 8 : static_cast<unsigned>(x / 3 + y / 2)) % colors);
        }
    return v;
}

inline gifwriter::Image MakeImage(int w, int h, std::vector<std::uint8_t> indices, int left = 0, int top = 0) {
    gifwriter::Image img;
    img.left = left;
    img.top = top;
    img.width = w;
    img.height = h;
    img.indices = std::move(indices);
    return img;
}

// A frame's colour indices, top row first, exactly width bytes a row.
inline std::vector<std::uint8_t> Indices(const GifFrame& f) {
    std::vector<std::uint8_t> v;
    for (int y = 0; y < f.height; ++y) v.insert(v.end(), f.bitmap.row(y), f.bitmap.row(y) + f.width);
    return v;
}

// The frame's mask as '1' (transparent) and '0' characters, rows separated by '/'.
inline std::string MaskText(const MaskBitmap& m) {
    std::string s;
    for (int y = 0; y < m.height(); ++y) {
        if (y > 0) s += '/';
        for (int x = 0; x < m.width(); ++x) s += m.get(x, y) ? '1' : '0';
    }
    return s;
}

inline bool Load(GifImage& img, const std::vector<std::uint8_t>& file) { return img.loadFromStream(file); }

} // namespace qvx::gif::testing
