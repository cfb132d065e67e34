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
    // Draws the picture into a rectangle, stretched to its size, blending transparent pixels.
    void draw(HDC dc, const RECT& target) const;

private:
    UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace qvx::ui
