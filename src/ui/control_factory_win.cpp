#include "ui/control_factory_win.h"

#include "ui/bevel_win.h"
#include "ui/button_win.h"
#include "ui/check_box_win.h"
#include "ui/drive_combo_box_win.h"
#include "ui/group_box_win.h"
#include "ui/image_win.h"
#include "ui/label_win.h"
#include "ui/list_box_win.h"
#include "ui/memo_win.h"
#include "ui/menu_win.h"
#include "ui/page_control_win.h"
#include "ui/progress_bar_win.h"
#include "ui/radio_group_win.h"
#include "ui/timer_win.h"

#include <map>
#include <stdexcept>

namespace qvx::ui {

namespace {
std::map<Kind, ComponentMaker>& Makers() {
    static std::map<Kind, ComponentMaker> makers;
    return makers;
}

template <class T>
std::unique_ptr<Component> Make(Form& owner, const ControlDesign& design, Control* parent) {
    return std::make_unique<T>(owner, design, parent);
}
} // namespace

void RegisterComponentKind(Kind kind, ComponentMaker maker) { Makers()[kind] = std::move(maker); }

std::unique_ptr<Component> CreateComponent(Form& owner, const ControlDesign& design, Component* parent) {
    switch (design.kind) {
    case Kind::MainMenu: return std::make_unique<MainMenu>(owner, design);
    case Kind::MenuItem: return std::make_unique<MenuItem>(owner, design, parent);
    case Kind::Timer: return std::make_unique<Timer>(owner, design);
    default: break;
    }
    auto* parentControl = dynamic_cast<Control*>(parent);
    if (!parentControl) throw std::logic_error(std::string("control without a control parent: ") + design.name);
    switch (design.kind) {
    case Kind::Label: return Make<Label>(owner, design, parentControl);
    case Kind::Button: return Make<Button>(owner, design, parentControl);
    case Kind::BitBtn: return Make<BitBtn>(owner, design, parentControl);
    case Kind::CheckBox: return Make<CheckBox>(owner, design, parentControl);
    case Kind::RadioGroup: return Make<RadioGroup>(owner, design, parentControl);
    case Kind::GroupBox: return Make<GroupBox>(owner, design, parentControl);
    case Kind::PageControl: return Make<PageControl>(owner, design, parentControl);
    case Kind::TabSheet: return Make<TabSheet>(owner, design, parentControl);
    case Kind::ProgressBar: return Make<ProgressBar>(owner, design, parentControl);
    case Kind::Memo: return Make<Memo>(owner, design, parentControl);
    case Kind::ListBox: return Make<ListBox>(owner, design, parentControl);
    case Kind::DriveComboBox: return Make<DriveComboBox>(owner, design, parentControl);
    case Kind::Image: return Make<Image>(owner, design, parentControl);
    case Kind::Bevel: return Make<Bevel>(owner, design, parentControl);
    default: break;
    }
    if (auto it = Makers().find(design.kind); it != Makers().end()) return it->second(owner, design, parentControl);
    throw std::logic_error(std::string("no maker registered for the kind of ") + design.name);
}

} // namespace qvx::ui
