#include "ui/control_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/dpi_scale.h"
#include "ui/dpi_win.h"
#include "ui/form_win.h"
#include "ui/tab_order_win.h"

#include <commctrl.h>

#include <algorithm>

namespace qvx::ui {

namespace {
constexpr wchar_t kControlProp[] = L"QuarvexControl";

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* control = reinterpret_cast<Control*>(ref);
    LRESULT result = 0;
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kControlProp);
        RemoveWindowSubclass(hwnd, SubclassProc, 1);
        if (control) control->windowDestroyed(hwnd);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    if (control && control->handleMessage(msg, wp, lp, result)) return result;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

FontDesc FontFromDesign(const FontDesign& design, const FontDesc& inherited, bool& parentFont) {
    parentFont = !design.face && !design.height && !design.bold && !design.underline && design.color == clDefault;
    if (parentFont) return inherited;
    FontDesc f = inherited;
    if (design.face) f.face = design.face;
    if (design.height) f.height = design.height;
    f.bold = design.bold;
    f.underline = design.underline;
    if (design.color != clDefault) f.color = design.color;
    return f;
}
} // namespace

// --- Component ------------------------------------------------------------------------------

Component::Component(Form& owner, const ControlDesign& design) : owner_(owner), name_(design.name), kind_(design.kind) {}
Component::~Component() = default;

// --- Control --------------------------------------------------------------------------------

Control::Control(Form& owner, const ControlDesign& design, Control* parent)
    : Component(owner, design),
      parent_(parent),
      left_(design.left),
      top_(design.top),
      width_(design.width),
      height_(design.height),
      designBounds_{design.left, design.top, design.left + design.width, design.top + design.height},
      caption_(design.caption),
      hint_(design.hint),
      showHint_(design.showHint),
      visible_(design.visible),
      enabled_(design.enabled),
      parentFont_(true),
      cursor_(design.cursor),
      color_(design.color),
      alignment_(design.alignment) {
    font_ = FontFromDesign(design.font, parent_ ? parent_->font() : FontDesc{}, parentFont_);
    if (parent_) parent_->addChild(this);
}

Control::~Control() {
    Application::instance().forgetControl(this);
    if (window_) {
        RemovePropW(handle(), kControlProp);
        window_.reset();
    }
}

// The window class of forms and containers: the object comes with WM_NCCREATE.
LRESULT CALLBACK Control::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* control = nullptr;
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        control = static_cast<Control*>(create->lpCreateParams);
        SetPropW(hwnd, kControlProp, control);
        if (!(create->style & WS_CHILD)) EnableNonClientScaling(hwnd);
    } else {
        control = fromHandle(hwnd);
    }
    if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kControlProp);
        if (control) control->windowDestroyed(hwnd);
    }
    LRESULT result = 0;
    if (control && control->handle() == hwnd && control->handleMessage(msg, wp, lp, result)) return result;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

Control* Control::fromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

void Control::windowDestroyed(HWND hwnd) {
    if (window_.get() == hwnd) window_.release();
}

void Control::setBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    markDirty(DirtyBounds);
}

void Control::setAlignClient(bool on) {
    alignClient_ = on;
    if (on && parent_) {
        const RECT r = parent_->displayRect();
        setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
}

int Control::dpi() const { return owner().dpi(); }

int Control::scaled(int designPixels) const { return ScaleForDpi(designPixels, dpi()); }

void Control::setCaption(const std::string& text) {
    if (text == caption_) return;
    caption_ = text;
    markDirty(DirtyCaption);
}

void Control::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    markDirty(DirtyVisible);
}

void Control::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    markDirty(DirtyEnabled);
}

void Control::setHint(const std::string& text) {
    if (text == hint_) return;
    hint_ = text;
    markDirty(DirtyHint);
}

void Control::setShowHint(bool on) {
    if (on == showHint_) return;
    showHint_ = on;
    markDirty(DirtyHint);
}

void Control::setColor(Color c) {
    if (c == color_) return;
    color_ = c;
    markDirty(DirtyColor);
}

void Control::setFontSize(int points) {
    FontDesc f = font_;
    f.height = PixelsFromPoints(points);
    setFont(f);
}

void Control::setFont(const FontDesc& font) {
    parentFont_ = false;
    if (font == font_) return;
    font_ = font;
    markDirty(DirtyFont);
    for (Control* child : children_) child->parentFontChanged(font_);
}

void Control::parentFontChanged(const FontDesc& font) {
    if (!parentFont_ || font == font_) return;
    font_ = font;
    markDirty(DirtyFont);
    for (Control* child : children_) child->parentFontChanged(font_);
}

void Control::sendToBack() {
    if (!parent_) return;
    auto& siblings = parent_->children_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end()) {
        siblings.erase(it);
        siblings.insert(siblings.begin(), this);
    }
    if (handle()) {
        SetWindowPos(handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else if (auto* g = dynamic_cast<GraphicControl*>(this)) {
        g->invalidate();
    }
}

void Control::click() {
    if (OnClick) OnClick(*this);
}

void Control::markDirty(unsigned bits) {
    const bool queued = dirty_ != 0;
    dirty_ |= bits;
    if (!handle() && !dynamic_cast<GraphicControl*>(this)) return;  // no window yet: created from the values
    if (Application::instance().deferring()) {
        if (!queued) Application::instance().queueDirty(this);
    } else {
        flush();
    }
}

void Control::flush() {
    const unsigned bits = dirty_;
    dirty_ = 0;
    if (bits) applyDirty(bits);
}

void Control::applyDirty(unsigned bits) {
    if (!handle()) return;
    if (bits & DirtyBounds) {
        SetWindowPos(handle(), nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
        if (hintTool_) updateHintTool();
        realignChildren();
    }
    if (bits & DirtyCaption) SetWindowTextW(handle(), Widen(caption_).c_str());
    if (bits & DirtyFont) {
        applyFont(true);
        fontChanged();
    }
    if (bits & DirtyEnabled) {
        const bool losesFocus = !enabled_ && IsSameOrInside(handle(), GetFocus());
        EnableWindow(handle(), enabled_);
        if (losesFocus) owner().focusLeftDisabled(handle());
    }
    if (bits & DirtyVisible) ShowWindow(handle(), visible_ ? SW_SHOWNA : SW_HIDE);
    if (bits & DirtyColor) InvalidateRect(handle(), nullptr, TRUE);
    if (bits & DirtyHint) updateHintTool();
}

void Control::applyFont(bool redraw) {
    hfont_ = AcquireFont(font_, dpi());
    SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(hfont_->get()), redraw);
}

void Control::realignChildren() {
    for (Control* child : children_) {
        if (child->alignClient_) child->setAlignClient(true);
    }
}

RECT Control::displayRect() const { return {0, 0, width_, height_}; }

COLORREF Control::backgroundColor() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (c->color_ != clDefault) return ResolveColor(c->color_);
    }
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH Control::backgroundBrush() const {
    for (const Control* c = this; c; c = c->parent_) {
        if (c->color_ == clDefault) continue;
        if (IsSysColor(c->color_)) return GetSysColorBrush(static_cast<int>(c->color_ & 0xFF));
        return Application::instance().gdi().solidBrush(ResolveColor(c->color_));
    }
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH Control::onCtlColor(HDC dc) {
    SetTextColor(dc, ResolveColor(font_.color));
    SetBkColor(dc, backgroundColor());
    return backgroundBrush();
}

bool Control::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_SETCURSOR && cursor_ == Cursor::HandPoint && LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        result = TRUE;
        return true;
    }
    return false;
}

void Control::createHandle() {
    const WindowClass wc = windowClass();
    HWND parentWnd = parent_ ? parent_->containerHandle() : nullptr;
    DWORD style = wc.style | WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_) style |= WS_VISIBLE;
    if (!enabled_) style |= WS_DISABLED;
    window_.reset(CreateWindowExW(wc.exStyle, wc.className, Widen(caption_).c_str(), style, left_, top_, width_,
                                  height_, parentWnd, nullptr, Application::instance().instanceHandle(), this));
    if (!handle()) return;
    // The other controls keep their creation order, which is also the Tab order; labels, which
    // take no focus, stack above them in creation order, so that a later label is drawn over an
    // earlier one it overlaps (a unit caption over the tail of a wide value label).
    const bool isLabel = kind() == Kind::Label;
    SetWindowPos(handle(), isLabel ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetPropW(handle(), kControlProp, this);
    if (wcscmp(wc.className, kContainerClass) != 0 && wcscmp(wc.className, kFormClass) != 0)
        SetWindowSubclass(handle(), SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    applyFont(false);
    dirty_ = 0;
    afterCreate();
    updateHintTool();
    for (Control* child : children_) child->createHandle();
    realignChildren();
}

void Control::destroyHandle() {
    for (Control* child : children_) child->destroyHandle();
    if (handle()) {
        removeHintTool();
        RemovePropW(handle(), kControlProp);
        window_.reset();
    }
}

void Control::recreateHandle() {
    if (!handle()) return;
    HWND after = GetWindow(handle(), GW_HWNDPREV);
    destroyHandle();
    createHandle();
    if (handle()) SetWindowPos(handle(), after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::invalidate() const {
    if (handle()) InvalidateRect(handle(), nullptr, TRUE);
}

void Control::drawNow(const std::function<void(HDC)>& draw) {
    if (!handle() || !IsWindowVisible(handle())) return;
    // Not GetDC: a class with the parent-DC style (the static one) would not clip to the window.
    const UniqueWindowDc dc = OwnWindowDc(handle(), GetDCEx(handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS));
    if (!dc) {
        InvalidateRect(handle(), nullptr, FALSE);
        return;
    }
    draw(dc.get().dc);
}

// The tooltip's entry for this control: its window, or its rectangle in the container's window
// for a graphic control.
TOOLINFOW Control::hintToolInfo() const {
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = handle() ? GetParent(handle()) : containerHandle();
    if (handle()) {
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.uId = reinterpret_cast<UINT_PTR>(handle());
    } else {
        ti.uFlags = TTF_SUBCLASS;
        ti.uId = reinterpret_cast<UINT_PTR>(this);
        ti.rect = boundsRect();
    }
    return ti;
}

void Control::removeHintTool() {
    if (!hintTool_) return;
    TOOLINFOW ti = hintToolInfo();
    if (HWND tip = owner().tooltipHandle()) SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    hintTool_ = false;
}

void Control::updateHintTool() {
    HWND tip = owner().tooltipHandle();
    TOOLINFOW ti = hintToolInfo();
    if (!tip || !ti.hwnd) return;
    removeHintTool();
    if (showHint_ && !hint_.empty() && visible_) {
        std::wstring text = Widen(hint_);
        ti.lpszText = text.data();
        hintTool_ = SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
    }
}

// --- GraphicControl ---------------------------------------------------------------------------

HWND GraphicControl::containerHandle() const { return parent_ ? parent_->containerHandle() : nullptr; }

void GraphicControl::createHandle() {
    dirty_ = 0;
    afterCreate();
    updateHintTool();
    invalidate();
}

void GraphicControl::destroyHandle() {
    removeHintTool();
    invalidate();
}

void GraphicControl::setVisible(bool on) {
    if (on == visible_) return;
    invalidate();
    visible_ = on;
    markDirty(DirtyVisible);
}

void GraphicControl::setBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    invalidate();  // the old place
    Control::setBounds(left, top, width, height);
}

void GraphicControl::applyDirty(unsigned bits) {
    if (bits & (DirtyBounds | DirtyHint | DirtyVisible)) updateHintTool();
    invalidate();
}

RECT GraphicControl::rectInParentWindow() const { return boundsRect(); }

void GraphicControl::invalidate() const {
    if (HWND w = containerHandle()) {
        const RECT r = rectInParentWindow();
        InvalidateRect(w, &r, TRUE);
    }
}

void PaintGraphicChildren(const Control& container, HDC dc) {
    RECT clip;
    if (GetClipBox(dc, &clip) == ERROR) return;
    for (Control* child : container.children()) {
        auto* g = dynamic_cast<GraphicControl*>(child);
        if (!g || !g->visible()) continue;
        const RECT r = g->boundsRect();
        RECT hit;
        if (!IntersectRect(&hit, &r, &clip)) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        POINT old;
        OffsetViewportOrgEx(dc, r.left, r.top, &old);
        g->paint(dc);
        RestoreDC(dc, saved);
    }
}

GraphicControl* GraphicChildAt(const Control& container, POINT pt) {
    const auto& kids = container.children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
        auto* g = dynamic_cast<GraphicControl*>(*it);
        if (!g || !g->visible()) continue;
        const RECT r = g->boundsRect();
        if (PtInRect(&r, pt)) return g;
    }
    return nullptr;
}

} // namespace qvx::ui
