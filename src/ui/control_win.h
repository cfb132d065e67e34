#pragma once
// The control model: a control keeps its properties as C++ values and mirrors them to its
// window. Reading a property never needs the window; while updates are deferred (see
// Application::beginDeferredUpdates) a change only marks the control dirty and the window
// follows at the next flush.
#include "platform/win32/unique_handle.h"
#include "ui/font_win.h"
#include "ui/layout.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qvx::ui {

class Form;
class Control;

using NotifyEvent = std::function<void(Control& sender)>;

// What a message handler answers: the message's result, or nothing to let the message go on
// (to the container behaviour, to the control's own window procedure, to the system).
using Reply = std::optional<LRESULT>;
// A reply in handleMessage's form: true, with the result, when there is one.
inline bool Answer(const Reply& reply, LRESULT& result) {
    if (reply) result = *reply;
    return reply.has_value();
}

// Anything a form owns and lists in its component order: controls, menus, menu items, timers.
class Component {
public:
    Component(Form& owner, const ControlDesign& design);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    Form& owner() const { return owner_; }
    virtual bool isVisual() const { return false; }

private:
    Form& owner_;
    std::string name_;
    Kind kind_;
};

class Control : public Component {
public:
    Control(Form& owner, const ControlDesign& design, Control* parent);
    ~Control() override;

    bool isVisual() const override { return true; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }

    // Geometry, relative to the parent's client area.
    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setLeft(int v) { setBounds(v, top_, width_, height_); }
    void setTop(int v) { setBounds(left_, v, width_, height_); }
    void setWidth(int v) { setBounds(left_, top_, v, height_); }
    void setHeight(int v) { setBounds(left_, top_, width_, v); }
    virtual void setBounds(int left, int top, int width, int height);
    RECT boundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    // The place its layout row gives it, in 96-DPI units.
    RECT designBounds() const { return designBounds_; }

    // Fills the parent's client area (the parent's display area for group boxes).
    bool alignClient() const { return alignClient_; }
    void setAlignClient(bool on);

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& text);

    bool visible() const { return visible_; }
    virtual void setVisible(bool on);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    const std::string& hint() const { return hint_; }
    void setHint(const std::string& text);
    bool showHint() const { return showHint_; }
    void setShowHint(bool on);

    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor c) { cursor_ = c; }

    Color color() const { return color_; }
    void setColor(Color c);

    // The DPI the control is shown at (its form's), and a length of the designed 96-DPI layout
    // in pixels at that DPI.
    int dpi() const;
    int scaled(int designPixels) const;

    // Font: size in points at 96 pixels per inch; the window's font is made at the form's DPI.
    // Setting any of it detaches the control from its parent's font.
    const FontDesc& font() const { return font_; }
    int fontSize() const { return PointsFromPixels(font_.height); }
    void setFontSize(int points);
    void setFont(const FontDesc& font);
    bool parentFont() const { return parentFont_; }

    // Moves the control behind its siblings (graphic controls: behind the other graphic controls).
    void sendToBack();

    NotifyEvent OnClick;
    // Runs OnClick, as a click of the user would.
    virtual void click();

    // --- framework internals -------------------------------------------------------------
    HWND handle() const { return window_.get(); }
    // The window this control's children live in.
    virtual HWND containerHandle() const { return handle(); }
    virtual void createHandle();
    virtual void destroyHandle();
    // Destroys and creates the window again (for styles that cannot change on a live window).
    void recreateHandle();
    static Control* fromHandle(HWND hwnd);
    // The system destroyed the window (with its parent): it is not ours to destroy any more.
    void windowDestroyed(HWND hwnd);
    // Window procedure of the form and container window classes.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Messages a container reflects back to the child that caused them.
    virtual bool onCommand(WORD code) { return false; }
    virtual bool onNotify(NMHDR* hdr, LRESULT& result) { return false; }
    virtual HBRUSH onCtlColor(HDC dc);
    virtual bool onDrawItem(const DRAWITEMSTRUCT& dis) { return false; }
    // Window procedure of a subclassed control; return true when the message was handled.
    virtual bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // Deferred window updates.
    enum Dirty : unsigned {
        DirtyBounds = 1,
        DirtyCaption = 2,
        DirtyVisible = 4,
        DirtyEnabled = 8,
        DirtyFont = 16,
        DirtyColor = 32,
        DirtyHint = 64,
        DirtyKind = 128,  // kind-specific state (bar position, check mark, items...)
    };
    void markDirty(unsigned bits);
    void flush();
    // Children laid out by this control (page sheets, client-aligned memos) are placed again.
    virtual void realignChildren();
    // Effective background colour (clDefault resolved: a control's parent colour).
    COLORREF backgroundColor() const;
    HBRUSH backgroundBrush() const;
    // The client area children are aligned to; group boxes leave room for their caption.
    virtual RECT displayRect() const;
    // Paints what a container draws itself (a group box's frame and caption); the background
    // is erased and the graphic children are painted around it.
    virtual void paintContainer(HDC dc) {}

    void parentFontChanged(const FontDesc& font);

protected:
    // Window class, style and extended style for CreateWindowEx; empty class: a graphic control.
    struct WindowClass {
        const wchar_t* className = nullptr;
        DWORD style = 0;
        DWORD exStyle = 0;
    };
    virtual WindowClass windowClass() const = 0;
    // Called after the window exists (and after the base applied caption, font, state).
    virtual void afterCreate() {}
    virtual void applyDirty(unsigned bits);
    virtual void fontChanged() {}
    // Gives the window the GDI font of the font property.
    void applyFont(bool redraw);
    void invalidate() const;
    // Draws the window at once through `draw` on a device context clipped to it (and to the
    // siblings above it), without a paint message. A hidden window is left to be painted when
    // it shows; when no context can be had the window is invalidated instead.
    void drawNow(const std::function<void(HDC)>& draw);

    friend class Form;
    void addChild(Control* child) { children_.push_back(child); }
    void updateHintTool();
    void removeHintTool();
    TOOLINFOW hintToolInfo() const;

    Control* parent_;
    std::vector<Control*> children_;
    UniqueWindow window_;
    int left_, top_, width_, height_;
    RECT designBounds_;
    std::string caption_;
    std::string hint_;
    bool showHint_;
    bool visible_;
    bool enabled_;
    bool alignClient_ = false;
    bool parentFont_;
    bool hintTool_ = false;
    Cursor cursor_;
    Color color_;
    FontDesc font_;
    SharedFont hfont_;
    unsigned dirty_ = 0;
    TextAlign alignment_;
};

// A control without a window of its own: its parent paints it and passes clicks to it.
class GraphicControl : public Control {
public:
    using Control::Control;
    HWND containerHandle() const override;
    void createHandle() override;
    void destroyHandle() override;
    void setVisible(bool on) override;
    void setBounds(int left, int top, int width, int height) override;

    // Paints the control; the device context's origin is the control's top-left corner and
    // drawing is clipped to its bounds.
    virtual void paint(HDC dc) = 0;
    // True when paint() covers the whole client area (the parent then skips the background).
    virtual bool opaque() const { return false; }
    // Asks the parent to repaint the control's area.
    void invalidate() const;
    // The parent's window and this control's rectangle in it.
    HWND parentWindow() const { return containerHandle(); }
    RECT rectInParentWindow() const;

protected:
    WindowClass windowClass() const override { return {}; }
    void applyDirty(unsigned bits) override;
};

// Paints the visible graphic children of `container` (in z-order, back to front) that meet
// the clip box of `dc`. Used by every container window procedure.
void PaintGraphicChildren(const Control& container, HDC dc);
// The topmost visible graphic child of `container` under a point of its client area.
GraphicControl* GraphicChildAt(const Control& container, POINT pt);

} // namespace qvx::ui
