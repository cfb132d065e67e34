#include "ui/radio_group_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"

#include <commctrl.h>

#include <algorithm>

namespace qvx::ui {

RadioGroup::RadioGroup(Form& owner, const ControlDesign& design, Control* parent)
    : GroupBox(owner, design, parent),
      items_(design.items),
      columns_(std::max(1, design.columns)),
      itemIndex_(std::clamp(design.itemIndex, -1, static_cast<int>(design.items.size()) - 1)) {}

// The buttons take the arrow keys for themselves: the dialog manager would only move the focus,
// and on Wine it does not go round the group.
LRESULT CALLBACK RadioGroup::ItemProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    auto* group = reinterpret_cast<RadioGroup*>(ref);
    Reply reply;
    switch (msg) {
    case WM_GETDLGCODE: reply = DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTARROWS; break;
    case WM_KEYDOWN: reply = group->onItemKeyDown(hwnd, wp); break;
    case WM_NCDESTROY: group->onItemDestroyed(hwnd, id); break;
    default: break;
    }
    return reply ? *reply : DefSubclassProc(hwnd, msg, wp, lp);
}

// As standard radio buttons: the arrow keys move to the previous or next item, round the group,
// and select it.
Reply RadioGroup::onItemKeyDown(HWND item, WPARAM key) {
    if (key != VK_UP && key != VK_DOWN && key != VK_LEFT && key != VK_RIGHT) return std::nullopt;
    const int count = static_cast<int>(buttons_.size());
    const int at = buttonIndex(item);
    if (at < 0) return 0;
    const int next = (at + (key == VK_UP || key == VK_LEFT ? count - 1 : 1)) % count;
    SetFocus(buttons_[next].get());
    if (next != itemIndex_) {
        setItemIndex(next);
        click();
    }
    return 0;
}

// Gone with the group's window, or by destroyButtons.
void RadioGroup::onItemDestroyed(HWND item, UINT_PTR subclassId) {
    RemoveWindowSubclass(item, ItemProc, subclassId);
    for (UniqueWindow& b : buttons_)
        if (b.get() == item) b.release();
}

RadioGroup::~RadioGroup() { destroyButtons(); }

void RadioGroup::destroyHandle() {
    destroyButtons();
    GroupBox::destroyHandle();
}

// One by one before the list goes, so that no button's last message finds the list half gone.
void RadioGroup::destroyButtons() {
    for (UniqueWindow& b : buttons_) b.reset();
    buttons_.clear();
}

int RadioGroup::buttonIndex(HWND button) const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].get() == button) return static_cast<int>(i);
    return -1;
}

void RadioGroup::setItemIndex(int index) {
    index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
    if (index == itemIndex_) return;
    itemIndex_ = index;
    markDirty(DirtyKind);
}

RECT RadioGroup::itemRect(int i) const {
    const int count = static_cast<int>(items_.size());
    const int perColumn = (count + columns_ - 1) / columns_;
    if (perColumn == 0) return {};
    const int buttonWidth = (width_ - scaled(10)) / columns_;
    const int th = TextHeight(font_, dpi());
    const int usable = height_ - th - scaled(5);
    const int buttonHeight = usable / perColumn;
    const int topMargin = th + scaled(1) + (usable % perColumn) / 2;
    const int left = (i / perColumn) * buttonWidth + scaled(8);
    const int top = (i % perColumn) * buttonHeight + topMargin;
    return {left, top, left + buttonWidth, top + buttonHeight};
}

void RadioGroup::afterCreate() {
    destroyButtons();
    for (size_t i = 0; i < items_.size(); ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        if (!enabled_) style |= WS_DISABLED;
        UniqueWindow b(CreateWindowExW(0, L"BUTTON", Widen(items_[i]).c_str(), style, 0, 0, 0, 0, handle(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)),
                                       Application::instance().instanceHandle(), nullptr));
        SetWindowSubclass(b.get(), ItemProc, 1, reinterpret_cast<DWORD_PTR>(this));
        buttons_.push_back(std::move(b));
    }
    arrangeButtons();
}

void RadioGroup::arrangeButtons() {
    HFONT font = hfont_ ? hfont_->get() : nullptr;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const RECT r = itemRect(static_cast<int>(i));
        SetWindowPos(buttons_[i].get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(buttons_[i].get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SendMessageW(buttons_[i].get(), BM_SETCHECK, static_cast<int>(i) == itemIndex_ ? BST_CHECKED : BST_UNCHECKED, 0);
        // The checked button (or the first) is the one Tab stops at.
        LONG_PTR style = GetWindowLongPtrW(buttons_[i].get(), GWL_STYLE);
        const bool stop = itemIndex_ >= 0 ? static_cast<int>(i) == itemIndex_ : i == 0;
        style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrW(buttons_[i].get(), GWL_STYLE, style);
    }
}

void RadioGroup::applyDirty(unsigned bits) {
    GroupBox::applyDirty(bits);
    if (!handle()) return;
    if (bits & (DirtyBounds | DirtyFont | DirtyKind)) arrangeButtons();
    if (bits & DirtyEnabled)
        for (const UniqueWindow& b : buttons_) EnableWindow(b.get(), enabled_);
}

// A click on one of the buttons, which are the group's own windows, not controls of the form.
Reply RadioGroup::onButtonCommand(WPARAM wp, LPARAM lp) {
    const int index = buttonIndex(reinterpret_cast<HWND>(lp));
    if (index < 0 || (HIWORD(wp) != BN_CLICKED && HIWORD(wp) != BN_DOUBLECLICKED)) return std::nullopt;
    if (index != itemIndex_) {
        setItemIndex(index);
        click();
    }
    return 0;
}

bool RadioGroup::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const Reply reply = msg == WM_COMMAND ? onButtonCommand(wp, lp) : std::nullopt;
    return Answer(reply, result) || GroupBox::handleMessage(msg, wp, lp, result);
}

} // namespace qvx::ui
