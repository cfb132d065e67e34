#pragma once
// The stored layout of the main window.
#include "ui/layout.h"

#include <span>

namespace qvx {

// The product title, shown as the window caption and the task-bar text.
inline constexpr char kProductTitle[] = "Quarvex v2.0f";

// Design geometry of the main window (outer size, at 96 pixels per inch).
inline constexpr int kMainFormLeft = 100;
inline constexpr int kMainFormTop = 100;
inline constexpr int kMainFormWidth = 602;
inline constexpr int kMainFormHeight = 427;

const ui::FormDesign& MainFormDesign();
// Components in creation order, containers before their children.
ui::Layout MainFormLayout();

} // namespace qvx
