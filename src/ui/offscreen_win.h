#pragma once
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace qvx::ui {

// A 32-bit top-down device-independent bitmap; `bits` (when given) receives its pixels, one
// 0xAARRGGBB word each. Empty when it cannot be made.
UniqueBitmap CreateTopDownBitmap(int width, int height, void** bits = nullptr);
// Such a bitmap holding `pixels` (width x height of them); empty when it cannot be made or the
// pixels are short.
UniqueBitmap CreateTopDownBitmap(int width, int height, const std::vector<std::uint32_t>& pixels);

// A bitmap to paint into before one copy to the screen, so that nothing flickers: the
// application's kept one (see GdiCache::borrowOffscreen), or one of its own for a paint nested
// inside another. The device context's state is restored when the buffer goes.
class OffscreenBuffer {
public:
    OffscreenBuffer(int width, int height);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // Null when no bitmap could be made.
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    bool borrowed_ = false;
    int savedState_ = 0;
    UniqueBitmap ownBitmap_;
    UniqueMemoryDc ownDc_;  // after its bitmap: goes first
};

} // namespace qvx::ui
