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

namespace {
// Where the glyph and the caption go across a button `width` wide: side by side, `gap` apart,
// centred together, or the glyph at `margin` and the caption centred in the rest.
struct GlyphAndCaption {
    int glyphX;
    int textX;
};
GlyphAndCaption PlaceGlyphAndCaption(int width, int margin, int gap, int glyphWidth, int textWidth, bool hasText) {
    const int spacing = (glyphWidth > 0 && hasText) ? gap : 0;
    if (margin < 0) {
        const int glyphX = (width - (glyphWidth + spacing + textWidth)) / 2;
        return {glyphX, glyphX + glyphWidth + spacing};
    }
    const int rest = width - (margin + glyphWidth);
    return {margin, margin + glyphWidth + (rest - textWidth) / 2};
}
} // namespace

bool BitBtn::onDrawItem(const DRAWITEMSTRUCT& dis) {
    const RECT r = dis.rcItem;
    OffscreenBuffer buffer(r.right, r.bottom);
    const HDC mem = buffer.dc();
    if (!mem) return false;
    const RECT face = drawFace(mem, r, dis.itemState);
    drawGlyphAndCaption(mem, r, dis.itemState);
    if ((dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT)) {
        RECT fr = face;
        InflateRect(&fr, -scaled(4), -scaled(4));
        DrawFocusRect(mem, &fr);
    }
    BitBlt(dis.hDC, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    return true;
}

// The button's face, pressed or not; the default button (or the focused one) wears a dark outer
// frame. Returns the face inside that frame.
RECT BitBtn::drawFace(HDC dc, const RECT& r, UINT state) const {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    RECT face = r;
    if (isDefault_ || (state & ODS_FOCUS)) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | ((state & ODS_SELECTED) ? DFCS_PUSHED : 0));
    return face;
}

// Glyph and caption, one pixel down and right while pressed; disabled, the glyph's disabled
// image and etched grey text, as Windows draws disabled captions.
void BitBtn::drawGlyphAndCaption(HDC dc, const RECT& r, UINT state) const {
    const bool disabled = state & ODS_DISABLED;
    const int offset = (state & ODS_SELECTED) ? 1 : 0;
    const std::wstring text = Widen(caption_);
    SelectObject(dc, hfont_ ? hfont_->get() : GetStockObject(DEFAULT_GUI_FONT));
    SIZE ts{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &ts);
    const int gw = glyph_.empty() ? 0 : glyph_.imageWidthAt(dpi());
    const int gh = glyph_.empty() ? 0 : glyph_.imageHeightAt(dpi());
    const GlyphAndCaption at = PlaceGlyphAndCaption(r.right, margin_ < 0 ? margin_ : scaled(margin_), scaled(4), gw, ts.cx, !text.empty());
    if (gw > 0) glyph_.draw(dc, at.glyphX + offset, (r.bottom - gh) / 2 + offset, disabled, dpi());
    SetBkMode(dc, TRANSPARENT);
    const int textY = (r.bottom - ts.cy) / 2 + offset;
    if (disabled) {
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        TextOutW(dc, at.textX + offset + 1, textY + 1, text.c_str(), static_cast<int>(text.size()));
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
        SetTextColor(dc, ResolveColor(font_.color));
    }
    TextOutW(dc, at.textX + offset, textY, text.c_str(), static_cast<int>(text.size()));
}

bool IsDefaultButton(const Control& c) {
    const auto* b = dynamic_cast<const Button*>(&c);
    return b && b->isDefault();
}

bool IsPushButton(const Control& c) { return dynamic_cast<const Button*>(&c) != nullptr; }

} // namespace qvx::ui
