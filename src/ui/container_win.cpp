#include "ui/container_win.h"

#include "ui/application_win.h"
#include "ui/form_win.h"

namespace qvx::ui {

Control::WindowClass Container::windowClass() const {
    return {kContainerClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

bool Container::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (Control::handleMessage(msg, wp, lp, result)) return true;
    return HandleContainerMessage(*this, msg, wp, lp, result);
}

int TextHeight(const FontDesc& font, int dpi) {
    const UniqueWindowDc screen = OwnWindowDc(nullptr, GetDC(nullptr));
    const HDC dc = screen.get().dc;
    const SharedFont f = AcquireFont(font, dpi);
    const HGDIOBJ old = SelectObject(dc, f->get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    return tm.tmHeight;
}

} // namespace qvx::ui
