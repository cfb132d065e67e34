#pragma once
// A picture for image controls: 32-bit pixels with (straight) alpha, kept as a GDI bitmap.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace qvx::ui {

class Picture {
public:
    Picture() = default;
    // Pixels as 0xAARRGGBB, rows top to bottom.
    Picture(int width, int height, const std::vector<std::uint32_t>& argb);
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool empty() const { return bitmap_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Draws the picture into a rectangle, stretched to its size, blending transparent pixels.
    void draw(HDC dc, const RECT& target) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace qvx::ui
