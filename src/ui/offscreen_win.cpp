#include "ui/offscreen_win.h"

#include "ui/application_win.h"

#include <algorithm>

namespace qvx::ui {

UniqueBitmap CreateTopDownBitmap(int width, int height, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

UniqueBitmap CreateTopDownBitmap(int width, int height, const std::vector<std::uint32_t>& pixels) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return {};
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownBitmap(width, height, &bits);
    if (!bits) return {};
    std::copy_n(pixels.begin(), static_cast<size_t>(width) * static_cast<size_t>(height), static_cast<std::uint32_t*>(bits));
    return bitmap;
}

OffscreenBuffer::OffscreenBuffer(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (HDC kept = Application::instance().gdi().borrowOffscreen(width, height)) {
        borrowed_ = true;
        dc_ = kept;
        savedState_ = SaveDC(dc_);
        return;
    }
    ownDc_.reset(CreateCompatibleDC(nullptr));
    ownBitmap_ = CreateTopDownBitmap(width, height);
    if (!ownDc_ || !ownBitmap_) return;
    SelectObject(ownDc_.get(), ownBitmap_.get());
    dc_ = ownDc_.get();
}

OffscreenBuffer::~OffscreenBuffer() {
    if (!borrowed_) return;
    RestoreDC(dc_, savedState_);
    Application::instance().gdi().giveBackOffscreen();
}

} // namespace qvx::ui
