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
std::unique_ptr<Component> Make(Form& owner, const ControlSpec& spec, Control* parent) {
    return std::make_unique<T>(owner, spec, parent);
}
} // namespace

void RegisterComponentKind(Kind kind, ComponentMaker maker) { Makers()[kind] = std::move(maker); }

std::unique_ptr<Component> CreateComponent(Form& owner, const ControlSpec& spec, Component* parent) {
    switch (spec.kind) {
    case Kind::MainMenu: return std::make_unique<MainMenu>(owner, spec);
    case Kind::MenuItem: return std::make_unique<MenuItem>(owner, spec, parent);
    case Kind::Timer: return std::make_unique<Timer>(owner, spec);
    default: break;
    }
    auto* parentControl = dynamic_cast<Control*>(parent);
    if (!parentControl) throw std::logic_error(std::string("control without a control parent: ") + spec.name);
    switch (spec.kind) {
    case Kind::Label: return Make<Label>(owner, spec, parentControl);
    case Kind::Button: return Make<Button>(owner, spec, parentControl);
    case Kind::BitBtn: return Make<BitBtn>(owner, spec, parentControl);
    case Kind::CheckBox: return Make<CheckBox>(owner, spec, parentControl);
    case Kind::RadioGroup: return Make<RadioGroup>(owner, spec, parentControl);
    case Kind::GroupBox: return Make<GroupBox>(owner, spec, parentControl);
    case Kind::PageControl: return Make<PageControl>(owner, spec, parentControl);
    case Kind::TabSheet: return Make<TabSheet>(owner, spec, parentControl);
    case Kind::ProgressBar: return Make<ProgressBar>(owner, spec, parentControl);
    case Kind::Memo: return Make<Memo>(owner, spec, parentControl);
    case Kind::ListBox: return Make<ListBox>(owner, spec, parentControl);
    case Kind::DriveComboBox: return Make<DriveComboBox>(owner, spec, parentControl);
    case Kind::Image: return Make<Image>(owner, spec, parentControl);
    case Kind::Bevel: return Make<Bevel>(owner, spec, parentControl);
    default: break;
    }
    if (auto it = Makers().find(spec.kind); it != Makers().end()) return it->second(owner, spec, parentControl);
    throw std::logic_error(std::string("no maker registered for the kind of ") + spec.name);
}

} // namespace qvx::ui
