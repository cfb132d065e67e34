#pragma once
#include "ui/control_win.h"

namespace qvx::ui {

// A windowed control that holds other controls: notifications of its children come back to
// them, and it paints its graphic children.
class Container : public Control {
public:
    using Control::Control;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    WindowClass windowClass() const override;
};

// Height of a line of text in a font (the font's cell height).
int TextHeight(const FontDesc& font, int dpi);

} // namespace qvx::ui
