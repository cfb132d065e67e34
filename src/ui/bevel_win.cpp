#include "ui/bevel_win.h"

namespace qvx::ui {

void Bevel::paint(HDC dc) {
    RECT r{0, 0, width_, height_};
    DrawEdge(dc, &r, EDGE_BUMP, BF_RECT);
}

} // namespace qvx::ui
