#pragma once
#include "ui/control_win.h"

#include <string>
#include <vector>

namespace qvx::ui {

// A list of text lines; usable as a plain string list while hidden.
class ListBox : public Control {
public:
    ListBox(Form& owner, const ControlDesign& design, Control* parent);
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int i) const { return items_.at(i); }
    void addItem(const std::string& line);
    void clear();

protected:
    WindowClass windowClass() const override;
    void afterCreate() override;
    void applyDirty(unsigned bits) override;

private:
    std::vector<std::string> items_;
};

} // namespace qvx::ui
