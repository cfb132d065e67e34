#pragma once
#include "ui/control_win.h"

namespace qvx::ui {

class CheckBox : public Control {
public:
    CheckBox(Form& owner, const ControlDesign& design, Control* parent);
    bool checked() const { return checked_; }
    void setChecked(bool on);
    bool onCommand(WORD code) override;

protected:
    WindowClass windowClass() const override;
    void afterCreate() override;
    void applyDirty(unsigned bits) override;

private:
    bool checked_;
};

} // namespace qvx::ui
