#pragma once
#include "ui/control_win.h"

namespace qvx::ui {

class ProgressBar : public Control {
public:
    ProgressBar(Form& owner, const ControlSpec& spec, Control* parent);
    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }
    void setRange(int min, int max);
    // Kept within the range, as the bar itself would.
    void setPosition(int position);

protected:
    WindowClass windowClass() const override;
    void afterCreate() override;
    void applyDirty(unsigned bits) override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace qvx::ui
