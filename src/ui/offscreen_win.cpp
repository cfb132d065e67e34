#include "ui/offscreen_win.h"

#include <algorithm>

namespace qvx::ui {

HBITMAP CreateTopDownBitmap(int width, int height, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

namespace {

struct Shared {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    bool busy = false;
};

Shared& SharedBuffer() {
    static Shared shared;
    return shared;
}

} // namespace

OffscreenBuffer::OffscreenBuffer(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    Shared& s = SharedBuffer();
    if (!s.busy) {
        if (!s.dc) s.dc = CreateCompatibleDC(nullptr);
        if (s.dc && (width > s.width || height > s.height)) {
            const int w = std::max(width, s.width), h = std::max(height, s.height);
            if (HBITMAP grown = CreateTopDownBitmap(w, h)) {
                SelectObject(s.dc, grown);
                if (s.bitmap) DeleteObject(s.bitmap);
                s.bitmap = grown;
                s.width = w;
                s.height = h;
            }
        }
        if (s.dc && s.bitmap && width <= s.width && height <= s.height) {
            s.busy = true;
            shared_ = true;
            dc_ = s.dc;
            savedState_ = SaveDC(dc_);
            return;
        }
    }
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return;
    own_ = CreateTopDownBitmap(width, height);
    if (!own_) {
        DeleteDC(dc_);
        dc_ = nullptr;
        return;
    }
    oldBitmap_ = SelectObject(dc_, own_);
}

OffscreenBuffer::~OffscreenBuffer() {
    if (shared_) {
        RestoreDC(dc_, savedState_);
        SharedBuffer().busy = false;
    } else if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteObject(own_);
        DeleteDC(dc_);
    }
}

} // namespace qvx::ui
