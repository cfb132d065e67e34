#include "ui/group_box_win.h"

#include "platform/win32/wide_text.h"

namespace qvx::ui {

RECT GroupBox::displayRect() const {
    // Below the caption line, inside the frame.
    const int th = TextHeight(font_, dpi());
    const int inset = scaled(2);
    return {inset, th + inset, width_ - inset, height_ - inset};
}

void GroupBox::paintContainer(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, hfont_ ? hfont_->get() : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT frame{0, tm.tmHeight / 2 - 1, width_, height_};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!caption_.empty()) {
        const std::wstring text = Widen(caption_);
        RECT tr{scaled(8), 0, scaled(8), tm.tmHeight};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        SetBkColor(dc, backgroundColor());
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, enabled_ ? ResolveColor(font_.color) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
}

void GroupBox::applyDirty(unsigned bits) {
    Container::applyDirty(bits);
    if (handle() && (bits & (DirtyCaption | DirtyFont))) {
        InvalidateRect(handle(), nullptr, TRUE);
        if (bits & DirtyFont) realignChildren();
    }
}

} // namespace qvx::ui
