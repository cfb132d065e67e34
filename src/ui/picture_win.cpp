#include "ui/picture_win.h"

#include "ui/dpi_scale.h"
#include "ui/offscreen_win.h"

#include <utility>

namespace qvx::ui {

Picture::Picture(int width, int height, const std::vector<std::uint32_t>& argb) : width_(width), height_(height) {
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * height) return;
    premultiplied_.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < premultiplied_.size(); ++i) {
        const std::uint32_t p = argb[i];
        const std::uint32_t a = p >> 24;
        const auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        premultiplied_[i] = (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
    }
    bitmap_ = CreateTopDownBitmap(width, height, premultiplied_);
}

HBITMAP Picture::bitmapFor(int width, int height) const {
    if (width == width_ && height == height_) return bitmap_.get();
    if (resized_ && resizedSize_.cx == width && resizedSize_.cy == height) return resized_.get();
    resized_ = CreateTopDownBitmap(width, height, ResampleArea(premultiplied_, width_, height_, width, height));
    resizedSize_ = {width, height};
    return resized_.get();
}

void Picture::draw(HDC dc, const RECT& target) const {
    if (!bitmap_) return;
    const int w = target.right - target.left, h = target.bottom - target.top;
    const HBITMAP source = w > 0 && h > 0 ? bitmapFor(w, h) : nullptr;
    if (!source) return;
    const UniqueMemoryDc mem(CreateCompatibleDC(dc));
    SelectObject(mem.get(), source);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, target.left, target.top, w, h, mem.get(), 0, 0, w, h, blend);
}

} // namespace qvx::ui
