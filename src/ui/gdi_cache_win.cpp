#include "ui/gdi_cache_win.h"

#include "ui/offscreen_win.h"

#include <algorithm>

namespace qvx::ui {

SharedFont GdiCache::font(const FontDesc& desc, int dpi) {
    const FontKey key{desc.face, desc.height, desc.bold, desc.underline, dpi};
    if (auto it = fonts_.find(key); it != fonts_.end()) {
        if (SharedFont font = it->second.lock()) return font;
    }
    auto font = std::make_shared<const UniqueFont>(CreateFontFor(desc, dpi));
    fonts_[key] = font;
    return font;
}

HBRUSH GdiCache::solidBrush(COLORREF rgb) {
    for (const auto& [colour, brush] : brushes_)
        if (colour == rgb) return brush.get();
    brushes_.emplace_back(rgb, UniqueBrush(CreateSolidBrush(rgb)));
    return brushes_.back().second.get();
}

HDC GdiCache::borrowOffscreen(int width, int height) {
    if (offscreenBusy_) return nullptr;
    if (!offscreenDc_) offscreenDc_.reset(CreateCompatibleDC(nullptr));
    if (!offscreenDc_) return nullptr;
    if (width > offscreenWidth_ || height > offscreenHeight_) {
        const int w = std::max(width, offscreenWidth_), h = std::max(height, offscreenHeight_);
        if (UniqueBitmap grown = CreateTopDownBitmap(w, h)) {
            SelectObject(offscreenDc_.get(), grown.get());  // lets the smaller one go
            offscreenBitmap_ = std::move(grown);
            offscreenWidth_ = w;
            offscreenHeight_ = h;
        }
    }
    if (!offscreenBitmap_ || width > offscreenWidth_ || height > offscreenHeight_) return nullptr;
    offscreenBusy_ = true;
    return offscreenDc_.get();
}

} // namespace qvx::ui
