#include "ui/list_box_win.h"

#include "platform/win32/wide_text.h"

namespace qvx::ui {

ListBox::ListBox(Form& owner, const ControlDesign& design, Control* parent) : Control(owner, design, parent), items_(design.items) {}

Control::WindowClass ListBox::windowClass() const {
    return {L"LISTBOX", LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
}

void ListBox::afterCreate() {
    SendMessageW(handle(), LB_RESETCONTENT, 0, 0);
    for (const std::string& line : items_) SendMessageW(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
}

void ListBox::addItem(const std::string& line) {
    items_.push_back(line);
    markDirty(DirtyKind);
}

void ListBox::clear() {
    if (items_.empty()) return;
    items_.clear();
    markDirty(DirtyKind);
}

void ListBox::applyDirty(unsigned bits) {
    Control::applyDirty(bits);
    if (handle() && (bits & DirtyKind)) afterCreate();
}

} // namespace qvx::ui
