#pragma once
#include "ui/container_win.h"

#include <vector>

namespace qvx::ui {

class TabSheet;

// Tabs over a stack of pages; only the active page is shown. The tab row is a tab stop: Left and
// Right change the page while it has the focus, and a click on a tab always shows its page.
class PageControl : public Control {
public:
    PageControl(Form& owner, const ControlDesign& design, Control* parent);
    const std::vector<TabSheet*>& pages() const { return pages_; }
    int activePageIndex() const { return activeIndex_; }
    TabSheet* activePage() const;
    // A focus inside the page that goes away moves to the first control of the new page (to the
    // tab row when that page has none to take it).
    void setActivePageIndex(int index);
    void setActivePage(TabSheet& page);
    // The next (or previous) page; past the last one `wrap` starts again at the first.
    void selectNextPage(bool backward, bool wrap);
    int tabWidth() const { return tabWidth_; }
    RECT displayRect() const override;
    void realignChildren() override;
    bool onNotify(NMHDR* hdr, LRESULT& result) override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    WindowClass windowClass() const override;
    void afterCreate() override;
    void fontChanged() override;

private:
    friend class TabSheet;
    void addPage(TabSheet* page);
    void updateTabSize();
    Reply onKeyDown(WPARAM key);
    Reply onMouseDown(LPARAM lp);
    std::vector<TabSheet*> pages_;
    int activeIndex_ = 0;
    int tabWidth_;
};

// One page of a page control; its caption is the tab's text.
class TabSheet : public Container {
public:
    TabSheet(Form& owner, const ControlDesign& design, Control* parent);
    PageControl& pageControl() const { return *pageControl_; }
    int pageIndex() const;
    void createHandle() override;
    // A page always covers its page control's display area, whatever it is asked.
    void setBounds(int left, int top, int width, int height) override;

protected:
    void applyDirty(unsigned bits) override;

private:
    PageControl* pageControl_;
};

} // namespace qvx::ui
