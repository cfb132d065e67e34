#include "ui/button_win.h"

#include "platform/win32/wide_text.h"
#include "ui/form_win.h"
#include "ui/offscreen_win.h"

namespace qvx::ui {

Button::Button(Form& owner, const ControlDesign& design, Control* parent)
    : Control(owner, design, parent), isDefault_(design.isDefault), modalResult_(design.modalResult) {}

Control::WindowClass Button::windowClass() const {
    return {L"BUTTON", static_cast<DWORD>((isDefault_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP), 0};
}

void Button::click() {
    if (modalResult_ != mrNone && owner().isModal()) owner().setModalResult(modalResult_);
    Control::click();
}

bool Button::onCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    click();
    return true;
}

BitBtn::BitBtn(Form& owner, const ControlDesign& design, Control* parent) : Button(owner, design, parent), margin_(design.glyphMargin) {}

Control::WindowClass BitBtn::windowClass() const { return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0}; }

void BitBtn::setGlyph(Glyph glyph) {
    glyph_ = std::move(glyph);
    invalidate();
}

bool BitBtn::onDrawItem(const DRAWITEMSTRUCT& dis) {
    const bool pressed = dis.itemState & ODS_SELECTED;
    const bool disabled = dis.itemState & ODS_DISABLED;
    const bool focused = dis.itemState & ODS_FOCUS;
    RECT r = dis.rcItem;
    OffscreenBuffer buffer(r.right, r.bottom);
    HDC mem = buffer.dc();
    if (!mem) return false;
    FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));

    // The default button (or the focused one) wears a dark outer frame.
    RECT face = r;
    if (isDefault_ || focused) {
        FrameRect(mem, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(mem, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    // Glyph and caption side by side, 4 pixels apart.
    const std::wstring text = Widen(caption_);
    SelectObject(mem, hfont_ ? hfont_->get() : GetStockObject(DEFAULT_GUI_FONT));
    SIZE ts{};
    GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(text.size()), &ts);
    const int gw = glyph_.empty() ? 0 : glyph_.imageWidth();
    const int gh = glyph_.empty() ? 0 : glyph_.imageHeight();
    const int spacing = (gw > 0 && !text.empty()) ? 4 : 0;
    const int offset = pressed ? 1 : 0;
    int glyphX;
    int textX;
    if (margin_ < 0) {
        const int total = gw + spacing + ts.cx;
        glyphX = (r.right - total) / 2;
        textX = glyphX + gw + spacing;
    } else {
        glyphX = margin_;
        const int rest = r.right - (glyphX + gw);
        textX = glyphX + gw + (rest - ts.cx) / 2;
    }
    if (gw > 0) glyph_.draw(mem, glyphX + offset, (r.bottom - gh) / 2 + offset, disabled);
    SetBkMode(mem, TRANSPARENT);
    const int textY = (r.bottom - ts.cy) / 2 + offset;
    if (disabled) {
        // Etched grey text, as Windows draws disabled captions.
        SetTextColor(mem, GetSysColor(COLOR_BTNHIGHLIGHT));
        TextOutW(mem, textX + offset + 1, textY + 1, text.c_str(), static_cast<int>(text.size()));
        SetTextColor(mem, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(mem, ResolveColor(font_.color));
    }
    TextOutW(mem, textX + offset, textY, text.c_str(), static_cast<int>(text.size()));
    if (focused && !(dis.itemState & ODS_NOFOCUSRECT)) {
        RECT fr = face;
        InflateRect(&fr, -4, -4);
        DrawFocusRect(mem, &fr);
    }
    BitBlt(dis.hDC, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    return true;
}

bool IsDefaultButton(const Control& c) {
    const auto* b = dynamic_cast<const Button*>(&c);
    return b && b->isDefault();
}

bool IsPushButton(const Control& c) { return dynamic_cast<const Button*>(&c) != nullptr; }

} // namespace qvx::ui
