#pragma once
#include <windows.h>

namespace qvx::ui {

// A 32-bit top-down device-independent bitmap; `bits` (when given) receives its pixels, one
// 0xAARRGGBB word each. Null when it cannot be made.
HBITMAP CreateTopDownBitmap(int width, int height, void** bits = nullptr);

// A bitmap to paint into before one copy to the screen, so that nothing flickers. One is kept
// for the GUI thread and grown as needed: making a bitmap for every paint costs more than the
// paint itself on some platforms. A paint nested inside another gets a bitmap of its own. The
// device context's state is restored when the buffer goes.
class OffscreenBuffer {
public:
    OffscreenBuffer(int width, int height);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // Null when no bitmap could be made.
    HDC dc() const { return dc_; }

private:
    bool shared_ = false;
    HDC dc_ = nullptr;
    HBITMAP own_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int savedState_ = 0;
};

} // namespace qvx::ui
