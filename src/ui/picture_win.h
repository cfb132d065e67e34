#pragma once
// A picture for image controls: 32-bit pixels with (straight) alpha, kept as a GDI bitmap.
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace qvx::ui {

class Picture {
public:
    Picture() = default;
    // Pixels as 0xAARRGGBB, rows top to bottom.
    Picture(int width, int height, const std::vector<std::uint32_t>& argb);

    bool empty() const { return !bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Draws the picture into a rectangle, blending transparent pixels. Another size than the
    // picture's is resampled (ResampleArea: whole-number scales replicate pixels, others blend
    // only where source pixels meet) and kept for the next paint at that size.
    void draw(HDC dc, const RECT& target) const;

private:
    HBITMAP bitmapFor(int width, int height) const;

    UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> premultiplied_;
    mutable UniqueBitmap resized_;
    mutable SIZE resizedSize_{};
};

} // namespace qvx::ui
