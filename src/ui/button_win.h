#pragma once
#include "ui/control_win.h"
#include "ui/glyph_win.h"

namespace qvx::ui {

// A push button. A modal result closes its modal form with that result when clicked.
class Button : public Control {
public:
    Button(Form& owner, const ControlDesign& design, Control* parent);
    bool isDefault() const { return isDefault_; }
    int modalResult() const { return modalResult_; }
    void click() override;
    bool onCommand(WORD code) override;

protected:
    WindowClass windowClass() const override;
    bool isDefault_;
    int modalResult_;
};

// A push button with a two-image glyph (normal and disabled look) beside its caption.
class BitBtn : public Button {
public:
    BitBtn(Form& owner, const ControlDesign& design, Control* parent);
    void setGlyph(Glyph glyph);
    const Glyph& glyph() const { return glyph_; }
    // Pixels between the left edge and the glyph at 96 DPI; -1 centres glyph and caption together.
    int margin() const { return margin_; }
    bool onDrawItem(const DRAWITEMSTRUCT& dis) override;

protected:
    WindowClass windowClass() const override;

private:
    RECT drawFace(HDC dc, const RECT& r, UINT state) const;
    void drawGlyphAndCaption(HDC dc, const RECT& r, UINT state) const;
    Glyph glyph_;
    int margin_;
};

bool IsDefaultButton(const Control& c);
bool IsPushButton(const Control& c);

} // namespace qvx::ui
