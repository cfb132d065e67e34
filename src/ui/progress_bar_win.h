#pragma once
#include "ui/control_win.h"

namespace qvx::ui {

class ProgressBar : public Control {
public:
    ProgressBar(Form& owner, const ControlDesign& design, Control* parent);
    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }
    void setRange(int min, int max);
    // Kept within the range, as the bar itself would.
    void setPosition(int position);

protected:
    WindowClass windowClass() const override;
    void applyDirty(unsigned bits) override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void paint(HDC dc);
    Reply onPaint();
    Reply onPrintClient(WPARAM wp);
    Reply onThemeChanged();
    Reply onGetRange(WPARAM wp, LPARAM lp) const;
    // How much of `width` pixels the position fills.
    int filledWidth(int width) const;
    bool makeStills(int width, int height);
    void dropStills();
    UniqueBitmap stillBitmap_;
    UniqueMemoryDc stillDc_;  // after its bitmap: goes first
    int stillWidth_ = 0;
    int stillHeight_ = 0;
    int fillLeft_ = 0;
    int fillRight_ = 0;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace qvx::ui
