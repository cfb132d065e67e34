#pragma once
#include "ui/control_win.h"

namespace qvx::ui {

// A raised frame, drawn by the parent behind or around other controls.
class Bevel : public GraphicControl {
public:
    using GraphicControl::GraphicControl;
    void paint(HDC dc) override;
};

} // namespace qvx::ui
