#pragma once
// The GDI objects that controls share, owned by the application: fonts by description (kept
// while some control uses them), solid brushes by colour (a handful, kept until the application
// ends), and the bitmap that paints go through before one copy to the screen.
#include "platform/win32/unique_handle.h"
#include "ui/font_win.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace qvx::ui {

class GdiCache {
public:
    SharedFont font(const FontDesc& desc, int dpi);
    HBRUSH solidBrush(COLORREF rgb);

    // The kept off-screen bitmap's device context, grown to at least width x height, for one
    // paint until giveBackOffscreen. Null while another paint holds it (a paint nested inside
    // another) or when no bitmap can be made: the caller makes one of its own then. Making a
    // bitmap for every paint costs more than the paint itself on some platforms.
    HDC borrowOffscreen(int width, int height);
    void giveBackOffscreen() { offscreenBusy_ = false; }

private:
    using FontKey = std::tuple<std::string, int, bool, bool, int>;  // ..., DPI
    std::map<FontKey, std::weak_ptr<const UniqueFont>> fonts_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
    // The bitmap before its context, so that the context goes first and lets the bitmap go.
    UniqueBitmap offscreenBitmap_;
    UniqueMemoryDc offscreenDc_;
    int offscreenWidth_ = 0;
    int offscreenHeight_ = 0;
    bool offscreenBusy_ = false;
};

} // namespace qvx::ui
