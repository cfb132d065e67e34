#pragma once
#include "ui/group_box_win.h"

#include <string>
#include <vector>

namespace qvx::ui {

// A group box of radio buttons, one per item, laid out in columns (filled top to bottom, then
// left to right). The selected index stays within -1 (none) .. the last item.
class RadioGroup : public GroupBox {
public:
    RadioGroup(Form& owner, const ControlDesign& design, Control* parent);
    ~RadioGroup() override;
    const std::vector<std::string>& items() const { return items_; }
    int columns() const { return columns_; }
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    // The rectangle of item i's button inside the group.
    RECT itemRect(int i) const;
    HWND itemHandle(int i) const { return i >= 0 && i < static_cast<int>(buttons_.size()) ? buttons_[i].get() : nullptr; }
    void destroyHandle() override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    void afterCreate() override;
    void applyDirty(unsigned bits) override;

private:
    static LRESULT CALLBACK ItemProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    Reply onItemKeyDown(HWND item, WPARAM key);
    void onItemDestroyed(HWND item, UINT_PTR subclassId);
    Reply onButtonCommand(WPARAM wp, LPARAM lp);
    void arrangeButtons();
    void destroyButtons();
    int buttonIndex(HWND button) const;  // -1: not one of ours
    std::vector<std::string> items_;
    std::vector<UniqueWindow> buttons_;
    int columns_;
    int itemIndex_;
};

} // namespace qvx::ui
