#include "ui/check_box_win.h"

namespace qvx::ui {

CheckBox::CheckBox(Form& owner, const ControlDesign& design, Control* parent) : Control(owner, design, parent), checked_(design.checked) {}

Control::WindowClass CheckBox::windowClass() const { return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0}; }

void CheckBox::afterCreate() { SendMessageW(handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void CheckBox::setChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    markDirty(DirtyKind);
}

void CheckBox::applyDirty(unsigned bits) {
    Control::applyDirty(bits);
    if (handle() && (bits & DirtyKind)) afterCreate();
}

bool CheckBox::onCommand(WORD code) {
    if (code != BN_CLICKED) return false;
    checked_ = SendMessageW(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    click();
    return true;
}

} // namespace qvx::ui
