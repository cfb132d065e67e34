#include "ui/picture_win.h"

#include "ui/offscreen_win.h"

#include <utility>

namespace qvx::ui {

Picture::Picture(int width, int height, const std::vector<std::uint32_t>& argb) : width_(width), height_(height) {
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * height) return;
    void* bits = nullptr;
    bitmap_ = CreateTopDownBitmap(width, height, &bits);
    if (!bitmap_ || !bits) return;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const std::uint32_t p = argb[i];
        const std::uint32_t a = p >> 24;
        const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        out[i] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
    }
}

void Picture::draw(HDC dc, const RECT& target) const {
    if (!bitmap_) return;
    const UniqueMemoryDc mem(CreateCompatibleDC(dc));
    SelectObject(mem.get(), bitmap_.get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, mem.get(), 0, 0, width_,
               height_, blend);
}

} // namespace qvx::ui
