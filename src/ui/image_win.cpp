#include "ui/image_win.h"

namespace qvx::ui {

Image::Image(Form& owner, const ControlDesign& design, Control* parent)
    : GraphicControl(owner, design, parent), stretch_(design.stretch), autoSize_(design.autoSize) {}

void Image::setPicture(Picture picture) {
    picture_ = std::move(picture);
    if (autoSize_ && !picture_.empty()) setBounds(left_, top_, scaled(picture_.width()), scaled(picture_.height()));
    invalidate();
}

void Image::paint(HDC dc) {
    if (picture_.empty()) return;
    // An unstretched picture keeps its size on the 96-DPI layout: larger at a higher DPI.
    const RECT target = stretch_ ? RECT{0, 0, width_, height_} : RECT{0, 0, scaled(picture_.width()), scaled(picture_.height())};
    picture_.draw(dc, target);
}

} // namespace qvx::ui
