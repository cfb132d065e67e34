#pragma once
#include "ui/control_win.h"

#include <string>
#include <vector>

namespace qvx::ui {

// A label: a static control whose window text is its caption. It paints itself (double
// buffered), so that alignment, word wrap, colours and transparency look alike everywhere;
// a transparent label shows its parent's picture behind the text.
class Label : public Control {
public:
    Label(Form& owner, const ControlDesign& design, Control* parent);
    TextAlign alignment() const { return alignment_; }
    bool wordWrap() const { return wordWrap_; }
    bool transparent() const { return transparent_; }
    bool onDrawItem(const DRAWITEMSTRUCT& dis) override;
    bool onCommand(WORD code) override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    WindowClass windowClass() const override;
    void applyDirty(unsigned bits) override;

private:
    void paint(HDC target);
    bool wordWrap_;
    bool transparent_;
};

// The lines a text breaks into at blanks to fit `width` in the font selected into `dc`, without
// the blanks at the breaks. A single word wider than the width keeps a line of its own.
std::vector<std::wstring> WrapLines(HDC dc, const std::wstring& text, int width);

// Paints the part of `parent`'s window (background and graphic children) that lies under
// `rect` (in parent coordinates) into `dc`, whose origin is rect's top-left corner.
void PaintParentBackground(const Control& parent, HDC dc, const RECT& rect);

} // namespace qvx::ui
