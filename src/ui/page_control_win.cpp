#include "ui/page_control_win.h"

#include "platform/win32/wide_text.h"
#include "ui/tab_order_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

namespace qvx::ui {

PageControl::PageControl(Form& owner, const ControlDesign& design, Control* parent)
    : Control(owner, design, parent), tabWidth_(design.tabWidth) {}

Control::WindowClass PageControl::windowClass() const {
    return {WC_TABCONTROLW, static_cast<DWORD>(WS_CLIPCHILDREN | WS_TABSTOP | (tabWidth_ > 0 ? TCS_FIXEDWIDTH : 0)),
            WS_EX_CONTROLPARENT};
}

void PageControl::addPage(TabSheet* page) { pages_.push_back(page); }

TabSheet* PageControl::activePage() const {
    return activeIndex_ >= 0 && activeIndex_ < static_cast<int>(pages_.size()) ? pages_[activeIndex_] : nullptr;
}

void PageControl::afterCreate() {
    for (size_t i = 0; i < pages_.size(); ++i) {
        std::wstring text = Widen(pages_[i]->caption());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(handle(), TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    updateTabSize();
    SendMessageW(handle(), TCM_SETCURSEL, activeIndex_, 0);
}

void PageControl::updateTabSize() {
    if (!handle() || tabWidth_ <= 0) return;
    const int tabHeight = TextHeight(font_, dpi()) + scaled(6);
    SendMessageW(handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(scaled(tabWidth_), tabHeight));
}

void PageControl::fontChanged() {
    updateTabSize();
    realignChildren();
}

RECT PageControl::displayRect() const {
    RECT r{0, 0, width_, height_};
    if (handle()) {
        SendMessageW(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    } else {
        r = {scaled(4), TextHeight(font_, dpi()) + scaled(10), width_ - scaled(4), height_ - scaled(4)};
    }
    return r;
}

void PageControl::realignChildren() {
    const RECT r = displayRect();
    for (TabSheet* page : pages_) page->setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void PageControl::setActivePageIndex(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    TabSheet* old = activePage();
    // Looked at before the old page hides: hiding may already hand the focus to the tab row.
    const bool focusOnOldPage = old && old != pages_[index] && IsSameOrInside(old->handle(), GetFocus());
    activeIndex_ = index;
    for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->setVisible(static_cast<int>(i) == index);
    if (handle()) SendMessageW(handle(), TCM_SETCURSEL, index, 0);
    if (focusOnOldPage) {
        const HWND first = FirstTabStop(pages_[index]->handle());
        SetFocus(first ? first : handle());
    }
}

void PageControl::setActivePage(TabSheet& page) { setActivePageIndex(page.pageIndex()); }

void PageControl::selectNextPage(bool backward, bool wrap) {
    const int count = static_cast<int>(pages_.size());
    if (count == 0) return;
    int index = activeIndex_ + (backward ? -1 : 1);
    if (wrap) index = (index + count) % count;
    setActivePageIndex(index);
}

bool PageControl::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    Reply reply;
    switch (msg) {
    case WM_KEYDOWN: reply = onKeyDown(wp); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: reply = onMouseDown(lp); break;  // a quick second click is a click too
    default: break;
    }
    return Answer(reply, result) || Control::handleMessage(msg, wp, lp, result);
}

// The tab control's own arrow keys move its selection without its pressed-tab bookkeeping (so
// on Wine), after which a click on the tab that was left is ignored: the page changes here,
// the way code changes it.
Reply PageControl::onKeyDown(WPARAM key) {
    if (key != VK_LEFT && key != VK_RIGHT) return std::nullopt;
    selectNextPage(key == VK_LEFT, false);
    return 0;
}

// A click shows the tab's page whatever state the control's own bookkeeping is in. The control
// itself still gets the click, to take the focus and tell its tooltips.
Reply PageControl::onMouseDown(LPARAM lp) {
    TCHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const int index = static_cast<int>(SendMessageW(handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (index >= 0 && index != activeIndex_) {
        SetFocus(handle());
        setActivePageIndex(index);
    }
    return std::nullopt;
}

bool PageControl::onNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TCN_SELCHANGE) {
        setActivePageIndex(static_cast<int>(SendMessageW(handle(), TCM_GETCURSEL, 0, 0)));
        result = 0;
        return true;
    }
    return false;
}

TabSheet::TabSheet(Form& owner, const ControlDesign& design, Control* parent) : Container(owner, design, parent) {
    pageControl_ = dynamic_cast<PageControl*>(parent);
    if (!pageControl_) throw std::logic_error("a tab sheet must lie on a page control");
    pageControl_->addPage(this);
    visible_ = pageIndex() == 0;
}

int TabSheet::pageIndex() const {
    const auto& pages = pageControl_->pages();
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TabSheet::createHandle() {
    visible_ = pageIndex() == pageControl_->activePageIndex();
    const RECT r = pageControl_->displayRect();
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    Container::createHandle();
}

void TabSheet::setBounds(int, int, int, int) {
    const RECT r = pageControl_->displayRect();
    Container::setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TabSheet::applyDirty(unsigned bits) {
    Container::applyDirty(bits);
    if ((bits & DirtyCaption) && pageControl_->handle()) {
        std::wstring text = Widen(caption_);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(pageControl_->handle(), TCM_SETITEMW, pageIndex(), reinterpret_cast<LPARAM>(&item));
    }
}

} // namespace qvx::ui
