#include "ui/form_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/button_win.h"
#include "ui/control_factory_win.h"
#include "ui/menu_win.h"
#include "ui/page_control_win.h"
#include "ui/tab_order_win.h"

#include <commctrl.h>

#include <utility>

namespace qvx::ui {

namespace {
// Posted to a form after a control with the focus was disabled.
constexpr UINT kRepairFocusMessage = WM_APP + 2;

bool KeyDown(int vk) { return GetKeyState(vk) < 0; }

// The control a window belongs to: its own, or that of the nearest window around it that has
// one (a radio group's buttons belong to the group).
Control* ControlOfWindow(HWND hwnd) {
    for (HWND w = hwnd; w; w = GetParent(w))
        if (Control* c = Control::fromHandle(w)) return c;
    return nullptr;
}

bool IsReadOnlyEdit(HWND hwnd) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    return lstrcmpiW(cls, L"Edit") == 0 && (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY);
}

// True when the focused control takes the key for itself, as a dropped-down list takes Enter
// and Escape. A read-only text asks for every key but has no use for these; a multi-line edit
// that got Escape would even close its parent window.
bool FocusWantsKey(const MSG& msg) {
    const HWND focus = GetFocus();
    if (!focus || IsReadOnlyEdit(focus)) return false;
    const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return (code & DLGC_WANTMESSAGE) || (msg.wParam == VK_TAB && (code & DLGC_WANTTAB));
}

// The system's lookup of the window under the mouse passes disabled controls over (on Windows),
// and a tooltip that asks it would take its hint away at once. The disabled control under the
// mouse is answered instead.
LRESULT OnTooltipWindowFromPoint(LPARAM lp) {
    const POINT screen = *reinterpret_cast<const POINT*>(lp);
    HWND found = WindowFromPoint(screen);
    POINT pt = screen;
    if (found && ScreenToClient(found, &pt)) {
        HWND child = ChildWindowFromPointEx(found, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child && child != found && !IsWindowEnabled(child)) found = child;
    }
    return reinterpret_cast<LRESULT>(found);
}

// Gone with the form's window, which owns it: the form's owner of it lets go.
void OnTooltipDestroyed(HWND hwnd, UINT_PTR subclassId, UniqueWindow& owner);

LRESULT CALLBACK TooltipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
    switch (msg) {
    case TTM_WINDOWFROMPOINT: return OnTooltipWindowFromPoint(lp);
    case WM_NCDESTROY: OnTooltipDestroyed(hwnd, id, *reinterpret_cast<UniqueWindow*>(ref)); break;
    default: break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void OnTooltipDestroyed(HWND hwnd, UINT_PTR subclassId, UniqueWindow& owner) {
    RemoveWindowSubclass(hwnd, TooltipProc, subclassId);
    if (owner.get() == hwnd) owner.release();
}

// Hints show on disabled controls too, as in many Windows programs: a greyed button's hint says
// what it is for. A disabled control receives no mouse messages, so its tooltip never hears of
// the mouse: the container the mouse is reported to tells the tooltip instead.
void RelayMouseOverDisabledChild(const Control& container) {
    HWND tip = container.owner().tooltipHandle();
    if (!tip) return;
    POINT screen;
    GetCursorPos(&screen);
    POINT pt = screen;
    ScreenToClient(container.handle(), &pt);
    HWND child = ChildWindowFromPointEx(container.handle(), pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == container.handle() || IsWindowEnabled(child)) return;
    POINT local = screen;
    ScreenToClient(child, &local);
    MSG relayed{child, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y), static_cast<DWORD>(GetMessageTime()), screen};
    SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

ControlDesign FormControlDesign(const FormDesign& design) {
    ControlDesign c;
    c.kind = Kind::Label;  // unused for forms
    c.name = design.name;
    c.left = design.left;
    c.top = design.top;
    c.width = design.width;
    c.height = design.height;
    c.caption = design.caption;
    c.font = design.font;
    c.visible = false;
    c.color = design.color;
    return c;
}

DWORD FormStyle(const FormDesign& design) {
    if (design.border == FormBorder::Dialog)
        return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (design.titleButtons ? WS_SYSMENU : 0);
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD FormExStyle(const FormDesign& design) {
    return WS_EX_CONTROLPARENT | (design.border == FormBorder::Dialog ? WS_EX_DLGMODALFRAME : WS_EX_APPWINDOW);
}
} // namespace

Form::Form(const FormDesign& design, Layout layout) : Control(*this, FormControlDesign(design), nullptr), design_(design) {
    buildComponents(layout);
}

Form::~Form() {
    // Children first: their windows belong to ours.
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) it->reset();
    menu_ = nullptr;
    tooltip_.reset();
}

void Form::buildComponents(Layout layout) {
    for (const ControlDesign& design : layout) {
        Component* parent = design.parent[0] ? findComponent(design.parent) : this;
        if (!parent) throw std::logic_error(std::string("layout names an unknown parent: ") + design.parent);
        components_.push_back(CreateComponent(*this, design, parent));
        if (auto* menu = dynamic_cast<MainMenu*>(components_.back().get())) menu_ = menu;
    }
}

Component* Form::findComponent(std::string_view name) const {
    if (name == this->name()) return const_cast<Form*>(this);
    for (const auto& c : components_)
        if (c->name() == name) return c.get();
    return nullptr;
}

Control::WindowClass Form::windowClass() const { return {kFormClass, FormStyle(design_), FormExStyle(design_)}; }

// The outer rectangle the window is made with at the form's DPI: the layout's client size with
// the frame around it, centred on the screen when the layout asks for that.
RECT Form::initialWindowRect(const WindowClass& wc) const {
    SIZE size = sizeAtDpi({width_, height_});
    if (design_.clientWidth > 0) {
        const RECT r = WindowRectForClient({0, 0, ScaleForDpi(design_.clientWidth, dpi_), ScaleForDpi(design_.clientHeight, dpi_)},
                                           wc.style, menu_ != nullptr, wc.exStyle, dpi_);
        size = {r.right - r.left, r.bottom - r.top};
    }
    int x = left_, y = top_;
    if (design_.centered) {
        x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    }
    return {x, y, x + size.cx, y + size.cy};
}

void Form::createHandle() {
    if (handle()) return;
    const WindowClass wc = windowClass();
    // The window opens at the scale of the monitor it opens on.
    const POINT at = design_.centered ? POINT{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2} : POINT{left_, top_};
    dpi_ = MonitorDpiAt(at);
    RECT r = initialWindowRect(wc);
    HWND owner = nullptr;
    if (Form* main = Application::instance().mainForm(); main && main != this) owner = main->handle();
    window_.reset(CreateWindowExW(wc.exStyle, wc.className, Widen(caption_).c_str(), wc.style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, owner, nullptr,
                                  Application::instance().instanceHandle(), this));
    if (!handle()) throw std::runtime_error("cannot create the window of " + name());
    if (const int actual = WindowDpi(handle()); actual != dpi_) {
        // The monitor the window ended up on says otherwise (its frame straddles two).
        dpi_ = actual;
        r = initialWindowRect(wc);
        SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    readBoundsFromWindow();
    applyFont(false);
    updateIcons();

    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                                   Application::instance().instanceHandle(), nullptr));
    SendMessageW(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, 400);
    SetWindowSubclass(tooltip_.get(), TooltipProc, 1, reinterpret_cast<DWORD_PTR>(&tooltip_));
    if (menu_) menu_->attach(handle());
    // The children's windows are made where the DPI puts them.
    placeForDpi();
    for (Control* child : children_) child->createHandle();
    dirty_ = 0;
}

void Form::destroyHandle() {
    Control::destroyHandle();
    tooltip_.reset();
}

void Form::setBounds(int left, int top, int width, int height) {
    if (handle()) {
        // The window is the truth for a top-level window: the system may adjust what we ask.
        SetWindowPos(handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        readBoundsFromWindow();
    } else {
        left_ = left;
        top_ = top;
        width_ = width;
        height_ = height;
    }
}

int Form::clientWidth() const {
    if (!handle()) return design_.clientWidth;
    RECT r;
    GetClientRect(handle(), &r);
    return r.right;
}

int Form::clientHeight() const {
    if (!handle()) return design_.clientHeight;
    RECT r;
    GetClientRect(handle(), &r);
    return r.bottom;
}

void Form::setClientSize(int width, int height) {
    if (!handle()) {
        design_.clientWidth = width;
        design_.clientHeight = height;
        return;
    }
    // Outer size = client size + frame; measured on the live window, which knows its menu bar
    // height (a menu bar may wrap onto two lines on a narrow window).
    RECT wr, cr;
    GetWindowRect(handle(), &wr);
    GetClientRect(handle(), &cr);
    const int frameW = (wr.right - wr.left) - cr.right;
    const int frameH = (wr.bottom - wr.top) - cr.bottom;
    setBounds(left_, top_, width + frameW, height + frameH);
    // A menu bar that changed its number of lines changes the client height once more.
    GetClientRect(handle(), &cr);
    if (cr.bottom != height) {
        GetWindowRect(handle(), &wr);
        setBounds(left_, top_, wr.right - wr.left, (wr.bottom - wr.top) + (height - cr.bottom));
    }
}

SIZE Form::frameAt(int dpi) const {
    const WindowClass wc = windowClass();
    const RECT r = WindowRectForClient({0, 0, 0, 0}, wc.style, menu_ != nullptr, wc.exStyle, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

// The frame the window has now (its menu bar may have wrapped onto a second line), or the one
// the system draws at its DPI while it has no window or a minimized or maximized one.
SIZE Form::frameNow() const {
    if (!handle() || IsIconic(handle()) || IsZoomed(handle())) return frameAt(dpi_);
    RECT wr, cr;
    GetWindowRect(handle(), &wr);
    GetClientRect(handle(), &cr);
    return {(wr.right - wr.left) - cr.right, (wr.bottom - wr.top) - cr.bottom};
}

SIZE Form::sizeIn96() const {
    const SIZE at96 = frameAt(kDesignDpi), here = frameNow();
    return {WindowExtentAt96(width_, dpi_, at96.cx, here.cx), WindowExtentAt96(height_, dpi_, at96.cy, here.cy)};
}

SIZE Form::sizeAtDpi(SIZE units) const {
    const SIZE at96 = frameAt(kDesignDpi), here = frameNow();
    return {WindowExtentAtDpi(units.cx, dpi_, at96.cx, here.cx), WindowExtentAtDpi(units.cy, dpi_, at96.cy, here.cy)};
}

void Form::layoutForDpi() {
    for (const auto& component : components_) {
        auto* control = dynamic_cast<Control*>(component.get());
        if (!control || dynamic_cast<TabSheet*>(control)) continue;  // sheets fill their page control
        const RECT d = control->designBounds();
        control->setBounds(ScaleForDpi(d.left, dpi_), ScaleForDpi(d.top, dpi_), ScaleForDpi(d.right - d.left, dpi_),
                           ScaleForDpi(d.bottom - d.top, dpi_));
        if (control->alignClient()) control->setAlignClient(true);
    }
}

// The window's icons at the sizes its DPI asks for: the title bar's small one and the large one
// of the task switcher.
void Form::updateIcons() {
    const HINSTANCE instance = Application::instance().instanceHandle();
    // The window lets go of the old icons before they are destroyed.
    UniqueIcon large = LoadProgramIcon(instance, SystemMetricForDpi(SM_CXICON, dpi_));
    UniqueIcon titleBar = LoadProgramIcon(instance, SystemMetricForDpi(SM_CXSMICON, dpi_));
    if (large) SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
    if (titleBar) SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(titleBar.get()));
    if (large) bigIcon_ = std::move(large);
    if (titleBar) smallIcon_ = std::move(titleBar);
}

// Fonts are made again at the new DPI; the controls are placed by the resize that follows, and
// once more afterwards for a form whose size did not change with it.
void Form::applyDpi(int dpi) {
    dpi_ = dpi;
    updateIcons();
    markDirty(DirtyFont);
    for (const auto& component : components_)
        if (auto* control = dynamic_cast<Control*>(component.get())) control->markDirty(DirtyFont);
}

// The window moved to a monitor with another scale: it takes the rectangle the system suggests,
// which keeps it under the mouse at the new size.
Reply Form::onDpiChanged(WPARAM wp, LPARAM lp) {
    const int dpi = LOWORD(wp);
    if (dpi <= 0) return std::nullopt;
    applyDpi(dpi);
    const RECT r = *reinterpret_cast<const RECT*>(lp);
    SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    readBoundsFromWindow();
    placeForDpi();
    return 0;
}

void Form::placeForDpi() {
    if (placedDpi_ == dpi_) return;
    placedDpi_ = dpi_;
    layoutForDpi();
    if (OnDpiChanged) OnDpiChanged(*this);
}

WindowState Form::windowState() const {
    if (!handle()) return WindowState::Normal;
    if (IsIconic(handle())) return WindowState::Minimized;
    if (IsZoomed(handle())) return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
    if (!handle()) return;
    const int cmd = state == WindowState::Maximized   ? SW_SHOWMAXIMIZED
                    : state == WindowState::Minimized ? SW_SHOWMINIMIZED
                                                      : SW_RESTORE;
    if (windowState() != state) ShowWindow(handle(), cmd);
}

void Form::show() {
    if (!handle()) createHandle();
    if (!visible_) {
        visible_ = true;
        if (OnShow) OnShow(*this);
    }
    if (!IsWindowVisible(handle())) ShowWindow(handle(), SW_SHOW);
    shown_ = true;
}

void Form::hide() {
    visible_ = false;
    if (handle()) ShowWindow(handle(), SW_HIDE);
}

int Form::showModal() {
    if (!handle()) createHandle();
    Application& app = Application::instance();
    Form* previousActive = app.activeForm();
    HWND ownerWnd = GetWindow(handle(), GW_OWNER);
    if (ownerWnd) EnableWindow(ownerWnd, FALSE);
    modal_ = true;
    modalResult_ = mrNone;
    app.setActiveForm(this);
    show();
    SetActiveWindow(handle());
    while (modalResult_ == mrNone && !app.terminated()) {
        // Opened from inside a run, which defers window updates and flushes them only from its
        // own loop: what the box (and anything else) changed goes to the screen before waiting.
        app.flushDeferred();
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
        app.processMessages();
    }
    const int result = modalResult_;
    modal_ = false;
    if (ownerWnd) EnableWindow(ownerWnd, TRUE);
    hide();
    if (ownerWnd) SetActiveWindow(ownerWnd);
    app.setActiveForm(previousActive);
    return result;
}

void Form::close() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(*this, canClose);
    if (!canClose) return;
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (Application::instance().mainForm() == this) {
        closing_ = true;
        Application::instance().terminate();
        if (handle()) ShowWindow(handle(), SW_HIDE);
    } else {
        hide();
    }
}

Control* Form::defaultButton() const {
    for (const auto& c : components_) {
        auto* control = dynamic_cast<Control*>(c.get());
        if (control && IsDefaultButton(*control)) return control;
    }
    return nullptr;
}

void Form::applyDirty(unsigned bits) {
    if (!handle()) return;
    if (bits & DirtyCaption) SetWindowTextW(handle(), Widen(caption_).c_str());
    if (bits & DirtyFont) applyFont(true);
    if (bits & DirtyColor) InvalidateRect(handle(), nullptr, TRUE);
}

// The window is the truth for a top-level window: the system may adjust what was asked of it.
// Minimized or maximized, the form keeps the bounds it has when it is restored.
void Form::readBoundsFromWindow() {
    if (IsIconic(handle()) || IsZoomed(handle())) return;
    RECT wr;
    GetWindowRect(handle(), &wr);
    left_ = wr.left;
    top_ = wr.top;
    width_ = wr.right - wr.left;
    height_ = wr.bottom - wr.top;
}

bool Form::preTranslateMessage(MSG& msg) {
    if (!handle() || (msg.hwnd != handle() && !IsChild(handle(), msg.hwnd))) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (keyPreview_ && OnKeyDown) {
            WORD key = static_cast<WORD>(msg.wParam);
            OnKeyDown(*this, key);
            if (key == 0) return true;
        }
        if (msg.message == WM_KEYDOWN && handleDialogKey(msg)) return true;
    }
    return IsDialogMessageW(handle(), &msg) != FALSE;
}

// Our own walk for Tab: the dialog manager never stops on a window that holds other controls,
// such as the page control's tab row, and it takes Ctrl+Tab for Tab.
bool Form::handleDialogKey(const MSG& msg) {
    const bool ctrl = KeyDown(VK_CONTROL);
    switch (msg.wParam) {
    case VK_TAB:
        if (ctrl && switchPage(KeyDown(VK_SHIFT))) return true;
        return moveFocus(msg, KeyDown(VK_SHIFT));
    case VK_NEXT:
    case VK_PRIOR:
        return ctrl && switchPage(msg.wParam == VK_PRIOR);
    case VK_RETURN:
        return onEnterKey(msg);
    case VK_ESCAPE:
        // A form has nothing to cancel (a modal one that closes on Escape says so through
        // OnKeyDown); the dialog manager would send a cancel command nobody asked for.
        return !FocusWantsKey(msg);
    default:
        return false;
    }
}

bool Form::moveFocus(const MSG& msg, bool backward) {
    if (FocusWantsKey(msg)) return false;
    const HWND focus = GetFocus();
    const HWND next = NextTabStop(handle(), IsChild(handle(), focus) ? focus : nullptr, backward);
    if (!next) return true;
    // Keyboard use shows the focus rectangles, as in a dialog box.
    SendMessageW(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetFocus(next);
    return true;
}

// Ctrl+Tab and Ctrl+PgDn (with Shift, Ctrl+PgUp) turn the pages of the page control that holds
// the focus, or else of the form's first one, from anywhere in the form; past the last page
// they start again at the first.
bool Form::switchPage(bool backward) {
    const HWND focus = GetFocus();
    PageControl* target = nullptr;
    for (const auto& c : components_) {
        auto* pages = dynamic_cast<PageControl*>(c.get());
        if (!pages || !pages->handle() || !IsWindowVisible(pages->handle()) || !IsWindowEnabled(pages->handle())) continue;
        if (IsSameOrInside(pages->handle(), focus)) {
            target = pages;
            break;
        }
        if (!target) target = pages;
    }
    if (!target) return false;
    target->selectNextPage(backward, true);
    return true;
}

// Enter presses the focused push button, as Space does. Elsewhere it presses the default button;
// a form without one does nothing with Enter, so that it never presses a button the user did
// not choose.
bool Form::onEnterKey(const MSG& msg) {
    Control* focused = ControlOfWindow(GetFocus());
    if (focused && focused != this && IsPushButton(*focused)) {
        if (focused->enabled()) focused->click();
        return true;
    }
    if (FocusWantsKey(msg)) return false;
    if (Control* def = defaultButton(); def && def->enabled() && def->visible()) def->click();
    return true;
}

void Form::focusLeftDisabled(HWND from) {
    if (!handle()) return;
    focusLeftFrom_ = from;
    PostMessageW(handle(), kRepairFocusMessage, 0, 0);
}

// Posted, so that a batch of changes (a run disables some buttons and enables Abort) is made
// before the next control is chosen.
Reply Form::onRepairFocus() {
    const HWND from = std::exchange(focusLeftFrom_, nullptr);
    if (!from) return 0;
    if (GetActiveWindow() != handle()) {
        lastFocus_ = from;  // activation moves on from there
        return 0;
    }
    const HWND focus = GetFocus();
    if (focus && focus != handle() && IsChild(handle(), focus)) return 0;  // something took the focus meanwhile
    if (const HWND next = NextTabStop(handle(), from, false)) SetFocus(next);
    return 0;
}

Reply Form::onActivate(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        // Remember the focused control, to give the focus back when the form is active again.
        HWND focus = GetFocus();
        if (focus && IsChild(handle(), focus)) lastFocus_ = focus;
        return std::nullopt;
    }
    if (!modal_ || Application::instance().activeForm() == this) Application::instance().setActiveForm(this);
    if (!HIWORD(wp)) {  // not minimized
        // A control that cannot take the focus any more hands it on in Tab order.
        const bool usable = lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_);
        const HWND target = usable ? lastFocus_ : NextTabStop(handle(), lastFocus_, false);
        if (target) SetFocus(target);
    }
    if (OnActivate) OnActivate(*this);
    return 0;  // the focus is set: the system's default would move it again
}

// Menu commands; a control's notifications go on to the container behaviour.
Reply Form::onCommand(WPARAM wp, LPARAM lp) {
    if (lp != 0 || HIWORD(wp) != 0 || !menu_) return std::nullopt;
    menu_->dispatch(LOWORD(wp));
    return 0;
}

Reply Form::onSize(WPARAM wp) {
    if (wp == SIZE_MINIMIZED) return 0;
    readBoundsFromWindow();
    realignChildren();
    if (OnResize) OnResize(*this);
    return 0;
}

Reply Form::onMove() {
    readBoundsFromWindow();
    return std::nullopt;
}

Reply Form::onClose() {
    close();
    return 0;
}

Reply Form::onDestroy() {
    if (menu_) menu_->detach();
    if (Application::instance().mainForm() == this) PostQuitMessage(0);
    return std::nullopt;
}

bool Form::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    Reply reply;
    switch (msg) {
    case WM_COMMAND: reply = onCommand(wp, lp); break;
    case WM_SIZE: reply = onSize(wp); break;
    case WM_MOVE: reply = onMove(); break;
    case WM_CLOSE: reply = onClose(); break;
    case WM_ACTIVATE: reply = onActivate(wp); break;
    case kRepairFocusMessage: reply = onRepairFocus(); break;
    case WM_DESTROY: reply = onDestroy(); break;
    case WM_DPICHANGED: reply = onDpiChanged(wp, lp); break;
    default: break;
    }
    return Answer(reply, result) || HandleContainerMessage(*this, msg, wp, lp, result);
}

// --- container behaviour ------------------------------------------------------------------------

namespace {

// The notifications a control's window sends its parent go back to the control.
Reply OnChildCommand(Control& self, WPARAM wp, LPARAM lp) {
    Control* child = Control::fromHandle(reinterpret_cast<HWND>(lp));
    if (!child || child == &self || !child->onCommand(HIWORD(wp))) return std::nullopt;
    return 0;
}

Reply OnChildNotify(Control& self, LPARAM lp) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    Control* child = Control::fromHandle(hdr->hwndFrom);
    LRESULT result = 0;
    if (!child || child == &self || !child->onNotify(hdr, result)) return std::nullopt;
    return result;
}

Reply OnChildDrawItem(LPARAM lp) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    Control* child = Control::fromHandle(dis->hwndItem);
    if (!child || !child->onDrawItem(*dis)) return std::nullopt;
    return TRUE;
}

Reply OnChildColor(Control& self, WPARAM wp, LPARAM lp) {
    Control* child = Control::fromHandle(reinterpret_cast<HWND>(lp));
    if (!child) child = &self;  // windows a control made for itself (radio buttons)
    return reinterpret_cast<LRESULT>(child->onCtlColor(reinterpret_cast<HDC>(wp)));
}

Reply OnEraseBackground(const Control& self, WPARAM wp) {
    RECT r;
    GetClientRect(self.handle(), &r);
    FillRect(reinterpret_cast<HDC>(wp), &r, self.backgroundBrush());
    return 1;
}

// WM_PAINT with a device context in wParam paints into that context (a graphic control's
// off-screen repaint asks its parent for the picture this way), as WM_PRINTCLIENT does.
Reply OnPaint(Control& self, WPARAM wp) {
    HDC given = reinterpret_cast<HDC>(wp);
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(self.handle(), &ps);
    self.paintContainer(dc);
    PaintGraphicChildren(self, dc);
    if (!given) EndPaint(self.handle(), &ps);
    return 0;
}

// Only forms close; a multi-line edit asks its parent to close when it gets Escape.
Reply OnCloseRequest(const Control& self) {
    if (&self == &self.owner()) return std::nullopt;
    return 0;
}

Reply OnSetCursor(Control& self, WPARAM wp, LPARAM lp) {
    if (HIWORD(lp) == WM_MOUSEMOVE) RelayMouseOverDisabledChild(self);
    if (LOWORD(lp) != HTCLIENT || reinterpret_cast<HWND>(wp) != self.handle()) return std::nullopt;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(self.handle(), &pt);
    const GraphicControl* g = GraphicChildAt(self, pt);
    if (!g || g->cursor() != Cursor::HandPoint) return std::nullopt;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
    return TRUE;
}

POINT PointOf(LPARAM lp) { return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

// A press on a graphic control captures the mouse, so that its release comes here too.
Reply OnMouseDown(Control& self, LPARAM lp) {
    if (GraphicChildAt(self, PointOf(lp))) SetCapture(self.handle());
    return std::nullopt;
}

Reply OnMouseUp(Control& self, LPARAM lp) {
    if (GetCapture() == self.handle()) ReleaseCapture();
    GraphicControl* g = GraphicChildAt(self, PointOf(lp));
    if (!g) return std::nullopt;
    g->click();
    return 0;
}

} // namespace

bool HandleContainerMessage(Control& self, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    Reply reply;
    switch (msg) {
    case WM_COMMAND: reply = OnChildCommand(self, wp, lp); break;
    case WM_NOTIFY: reply = OnChildNotify(self, lp); break;
    case WM_DRAWITEM: reply = OnChildDrawItem(lp); break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: reply = OnChildColor(self, wp, lp); break;
    case WM_ERASEBKGND: reply = OnEraseBackground(self, wp); break;
    case WM_PRINTCLIENT:
    case WM_PAINT: reply = OnPaint(self, wp); break;
    case WM_CLOSE: reply = OnCloseRequest(self); break;
    case WM_SETCURSOR: reply = OnSetCursor(self, wp, lp); break;
    case WM_LBUTTONDOWN: reply = OnMouseDown(self, lp); break;
    case WM_LBUTTONUP: reply = OnMouseUp(self, lp); break;
    default: break;
    }
    return Answer(reply, result);
}

} // namespace qvx::ui
