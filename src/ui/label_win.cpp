#include "ui/label_win.h"

#include "platform/win32/wide_text.h"

namespace qvx::ui {

Label::Label(Form& owner, const ControlSpec& spec, Control* parent)
    : Control(owner, spec, parent), wordWrap_(spec.wordWrap), transparent_(spec.transparent) {}

Control::WindowClass Label::windowClass() const { return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0}; }

void Label::applyDirty(unsigned bits) {
    Control::applyDirty(bits & ~static_cast<unsigned>(DirtyCaption));
    // The text is stored as the window text without the static control's own handling, which
    // (under Wine) paints the label at once; the one paint below is enough. A label whose text
    // changes with every flush of a run would otherwise be painted twice per flush.
    if (hwnd_ && (bits & DirtyCaption)) DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(caption_).c_str()));
    // An owner-drawn static does not repaint by itself on a new text or colour.
    if (hwnd_ && (bits & (DirtyCaption | DirtyFont | DirtyColor | DirtyEnabled))) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool Label::onCommand(WORD code) {
    if (code != STN_CLICKED) return false;
    click();
    return true;
}

bool Label::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_ERASEBKGND) {  // everything is painted in one go by onDrawItem
        result = 1;
        return true;
    }
    return Control::handleMessage(msg, wp, lp, result);
}

void PaintParentBackground(const Control& parent, HDC dc, const RECT& rect) {
    POINT old;
    SetViewportOrgEx(dc, -rect.left, -rect.top, &old);
    HRGN clip = CreateRectRgn(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    SendMessageW(parent.containerHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent.containerHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectClipRgn(dc, nullptr);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

bool Label::onDrawItem(const DRAWITEMSTRUCT& dis) {
    const RECT client{0, 0, width_, height_};
    HDC mem = CreateCompatibleDC(dis.hDC);
    HBITMAP bmp = CreateCompatibleBitmap(dis.hDC, width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    if (transparent_ && parent_) {
        PaintParentBackground(*parent_, mem, boundsRect());
    } else {
        FillRect(mem, &client, backgroundBrush());
    }
    HGDIOBJ oldFont = SelectObject(mem, hfont_ ? hfont_->get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, enabled_ ? ResolveColor(font_.color) : GetSysColor(COLOR_GRAYTEXT));
    UINT format = DT_NOPREFIX | DT_TOP;
    format |= alignment_ == TextAlign::Right ? DT_RIGHT : alignment_ == TextAlign::Center ? DT_CENTER : DT_LEFT;
    format |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    RECT textRect = client;
    const std::wstring text = Widen(caption_);
    DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &textRect, format);
    BitBlt(dis.hDC, 0, 0, width_, height_, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    return true;
}

} // namespace qvx::ui
