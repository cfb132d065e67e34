#pragma once
// Main menus as real Win32 menus: the menu bar is rebuilt from the items' properties whenever
// one changes, so hidden items are simply not there for the user or for automation tools.
#include "ui/control_win.h"

#include <vector>

namespace qvx::ui {

class MenuItem;

class MainMenu : public Component {
public:
    MainMenu(Form& owner, const ControlDesign& design);
    ~MainMenu() override;
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;
    const std::vector<MenuItem*>& items() const { return items_; }
    void attach(HWND window);
    // The window is being destroyed: the menu is taken off it, which would destroy it too.
    void detach();
    void dispatch(UINT commandId);
    HMENU handle() const { return menu_.get(); }

private:
    friend class MenuItem;
    void addItem(MenuItem* item) { items_.push_back(item); }
    // Command identifiers need only be unique within the window's menu.
    UINT nextCommandId() { return nextCommandId_++; }
    void rebuild();
    std::vector<MenuItem*> items_;
    HWND window_ = nullptr;
    UniqueMenu menu_;
    UINT nextCommandId_ = 100;
};

class MenuItem : public Component {
public:
    MenuItem(Form& owner, const ControlDesign& design, Component* parent);
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    bool checked() const { return checked_; }
    void setChecked(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool isSeparator() const { return caption_ == "-"; }
    const std::vector<MenuItem*>& items() const { return items_; }
    UINT commandId() const { return commandId_; }
    std::function<void(MenuItem&)> OnClick;
    void click();

private:
    friend class MainMenu;
    void changed();
    MainMenu* menu_ = nullptr;
    std::vector<MenuItem*> items_;
    std::string caption_;
    bool checked_;
    bool visible_;
    bool enabled_;
    UINT commandId_ = 0;
};

} // namespace qvx::ui
