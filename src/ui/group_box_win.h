#pragma once
#include "ui/container_win.h"

namespace qvx::ui {

// A framed group with a caption; its children are placed relative to its top-left corner.
class GroupBox : public Container {
public:
    using Container::Container;
    RECT displayRect() const override;
    void paintContainer(HDC dc) override;

protected:
    void applyDirty(unsigned bits) override;
};

} // namespace qvx::ui
