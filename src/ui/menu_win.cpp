#include "ui/menu_win.h"

#include "platform/win32/wide_text.h"
#include "ui/form_win.h"

#include <stdexcept>

namespace qvx::ui {

namespace {
void AppendItems(HMENU menu, const std::vector<MenuItem*>& items) {
    for (MenuItem* item : items) {
        if (!item->visible()) continue;
        if (item->isSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item->checked() ? MF_CHECKED : 0) | (item->enabled() ? 0 : MF_GRAYED);
        const std::wstring text = Widen(item->caption());
        if (!item->items().empty()) {
            HMENU sub = CreatePopupMenu();
            AppendItems(sub, item->items());
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
        } else {
            AppendMenuW(menu, flags, item->commandId(), text.c_str());
        }
    }
}

MenuItem* FindById(const std::vector<MenuItem*>& items, UINT id) {
    for (MenuItem* item : items) {
        if (item->commandId() == id) return item;
        if (MenuItem* found = FindById(item->items(), id)) return found;
    }
    return nullptr;
}
} // namespace

MainMenu::MainMenu(Form& owner, const ControlDesign& design) : Component(owner, design) {}

MainMenu::~MainMenu() {
    // Taken off the window first: a window destroys the menu it holds.
    if (window_ && IsWindow(window_)) SetMenu(window_, nullptr);
}

void MainMenu::attach(HWND window) {
    window_ = window;
    rebuild();
}

void MainMenu::detach() {
    if (window_) SetMenu(window_, nullptr);
    window_ = nullptr;
}

void MainMenu::rebuild() {
    if (!window_) return;
    UniqueMenu menu(CreateMenu());
    AppendItems(menu.get(), items_);
    SetMenu(window_, menu.get());
    menu_ = std::move(menu);  // the old bar, off the window now, goes
    DrawMenuBar(window_);
}

void MainMenu::dispatch(UINT commandId) {
    if (MenuItem* item = FindById(items_, commandId)) item->click();
}

MenuItem::MenuItem(Form& owner, const ControlDesign& design, Component* parent)
    : Component(owner, design),
      caption_(design.caption),
      checked_(design.checked),
      visible_(design.visible),
      enabled_(design.enabled) {
    if (auto* menu = dynamic_cast<MainMenu*>(parent)) {
        menu_ = menu;
        menu->addItem(this);
    } else if (auto* item = dynamic_cast<MenuItem*>(parent)) {
        menu_ = item->menu_;
        item->items_.push_back(this);
    } else {
        throw std::logic_error("a menu item must lie in a menu: " + name());
    }
    commandId_ = menu_->nextCommandId();
}

void MenuItem::changed() {
    if (menu_) menu_->rebuild();
}

void MenuItem::setCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    changed();
}

void MenuItem::setChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    changed();
}

void MenuItem::setVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    changed();
}

void MenuItem::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    changed();
}

void MenuItem::click() {
    if (OnClick) OnClick(*this);
}

} // namespace qvx::ui
