#pragma once
#include "ui/control_win.h"
#include "ui/picture_win.h"

namespace qvx::ui {

// A picture painted by the parent: stretched over the control, or at its own size in the
// top-left corner; with auto-size the control takes the picture's size.
class Image : public GraphicControl {
public:
    Image(Form& owner, const ControlDesign& design, Control* parent);
    void setPicture(Picture picture);
    const Picture& picture() const { return picture_; }
    bool stretch() const { return stretch_; }
    void paint(HDC dc) override;

private:
    Picture picture_;
    bool stretch_;
    bool autoSize_;
};

} // namespace qvx::ui
