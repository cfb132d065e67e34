#pragma once
// A top-level window built from a layout table. The form owns its components in creation order;
// that order is the component order of layout scaling.
#include "ui/control_win.h"
#include "ui/dpi_scale.h"
#include "ui/dpi_win.h"

#include <memory>
#include <stdexcept>
#include <string_view>

namespace qvx::ui {

class MainMenu;
class MenuItem;

enum class WindowState { Normal, Minimized, Maximized };

// Modal results.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

class Form : public Control {
public:
    Form(const FormDesign& design, Layout layout);
    ~Form() override;

    // Components in creation order.
    const std::vector<std::unique_ptr<Component>>& components() const { return components_; }
    Component* findComponent(std::string_view name) const;
    template <class T>
    T& find(std::string_view name) const {
        T* c = dynamic_cast<T*>(findComponent(name));
        if (!c) throw std::logic_error("layout has no component " + std::string(name) + " of that kind");
        return *c;
    }

    // Creates the window and the windows of all controls (hidden until show()).
    void createHandle() override;
    void destroyHandle() override;
    HWND tooltipHandle() const { return tooltip_.get(); }
    MainMenu* mainMenu() const { return menu_; }

    // Geometry of the whole window (outer size) in screen pixels.
    void setBounds(int left, int top, int width, int height) override;
    int clientWidth() const;
    int clientHeight() const;
    void setClientSize(int width, int height);
    WindowState windowState() const;
    void setWindowState(WindowState state);

    // The DPI of the monitor the window is on; fonts, the layout and the window's icons follow it.
    int dpi() const { return dpi_; }
    // The outer size in 96-DPI units: the client area at 96 DPI with the frame the system draws
    // at 96 DPI around it. A window keeps the apparent size of its content across monitors.
    SIZE sizeIn96() const;
    // Such a size in pixels at the window's DPI.
    SIZE sizeAtDpi(SIZE units) const;

    // Visibility: show() runs OnShow before the window appears, as a start-up sequence expects.
    void show();
    void hide();
    int showModal();
    bool isModal() const { return modal_; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int result) { modalResult_ = result; }
    // A close request: OnCloseQuery decides; a modal form ends with mrCancel, the main form ends
    // the program.
    void close();
    bool closing() const { return closing_; }

    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on) { keyPreview_ = on; }
    // The button that Enter presses when no push button has the focus (a button with isDefault).
    Control* defaultButton() const;
    // A control that had the focus was disabled: once the changes of the moment are made, the
    // focus goes on to the next control in Tab order (or there when the form is next activated).
    void focusLeftDisabled(HWND from);

    std::function<void(Form&)> OnShow;
    std::function<void(Form&)> OnActivate;
    std::function<void(Form&)> OnResize;
    std::function<void(Form&, bool& canClose)> OnCloseQuery;
    std::function<void(Form&, WORD& key)> OnKeyDown;
    // The controls were placed again for a new DPI (when the window is made on a monitor that is
    // not at 96 DPI, and when it moves to a monitor with another scale): what the form placed at
    // run time it places again.
    std::function<void(Form&)> OnDpiChanged;

    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // Keyboard preview and dialog navigation, called by the message loop before dispatching.
    bool preTranslateMessage(MSG& msg);

protected:
    WindowClass windowClass() const override;
    void applyDirty(unsigned bits) override;
    // Places the controls for the window's DPI: by default every control at its designed place
    // (its layout row) scaled to the DPI. A form that lays its controls out from a record of its
    // own does that. Runs whenever the DPI differs from the one the controls were placed at;
    // until then they keep whatever places they were given.
    virtual void layoutForDpi();

private:
    void buildComponents(Layout layout);
    RECT initialWindowRect(const WindowClass& wc) const;
    void readBoundsFromWindow();
    Reply onCommand(WPARAM wp, LPARAM lp);
    Reply onSize(WPARAM wp);
    Reply onMove();
    Reply onClose();
    Reply onActivate(WPARAM wp);
    Reply onRepairFocus();
    Reply onDestroy();
    Reply onDpiChanged(WPARAM wp, LPARAM lp);
    // The frame's extent (outer size minus client size) the system draws at a DPI.
    SIZE frameAt(int dpi) const;
    SIZE frameNow() const;
    void applyDpi(int dpi);
    // Runs layoutForDpi and OnDpiChanged when the DPI changed since the controls were placed.
    void placeForDpi();
    void updateIcons();
    // Keys with a meaning for the whole form; true when the key was used up.
    bool handleDialogKey(const MSG& msg);
    bool moveFocus(const MSG& msg, bool backward);
    bool switchPage(bool backward);
    bool onEnterKey(const MSG& msg);

    FormDesign design_;
    std::vector<std::unique_ptr<Component>> components_;
    MainMenu* menu_ = nullptr;
    UniqueWindow tooltip_;
    HWND lastFocus_ = nullptr;
    HWND focusLeftFrom_ = nullptr;
    bool keyPreview_ = false;
    bool modal_ = false;
    bool closing_ = false;
    bool shown_ = false;
    int modalResult_ = mrNone;
    int dpi_ = kDesignDpi;
    int placedDpi_ = kDesignDpi;  // the DPI the controls' places are for
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
};

// Container behaviour shared by every window that holds child controls: notifications
// reflected to the child that sent them, graphic children painted and clicked.
bool HandleContainerMessage(Control& self, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

} // namespace qvx::ui
