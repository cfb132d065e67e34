#pragma once
// Makes the component of a layout row. Kinds outside the framework (the animated image) are
// registered by their own subsystem.
#include "ui/control_win.h"

#include <functional>
#include <memory>

namespace qvx::ui {

using ComponentMaker = std::function<std::unique_ptr<Component>(Form& owner, const ControlDesign& design, Control* parent)>;

std::unique_ptr<Component> CreateComponent(Form& owner, const ControlDesign& design, Component* parent);
void RegisterComponentKind(Kind kind, ComponentMaker maker);

} // namespace qvx::ui
