#pragma once
// The order in which the Tab key walks a window's controls.
#include <windows.h>

namespace qvx::ui {

// The control that Tab (Shift+Tab with `backward`) moves the focus to from `from`, inside `root`.
// Windows are walked in z-order (which is their creation order), depth first. A shown, enabled
// window with the tab-stop style is a stop; a control parent is entered after it has been a stop
// itself, so a page control's tab row comes before the page it shows. `from` may be any window in
// `root`, also one that is disabled, hidden or no stop: the walk goes on from its place. nullptr
// when `root` holds no stop.
HWND NextTabStop(HWND root, HWND from, bool backward);

// The first stop inside `root`, or nullptr.
HWND FirstTabStop(HWND root);

// True when `hwnd` is `ancestor` or lies inside it.
bool IsSameOrInside(HWND ancestor, HWND hwnd);

} // namespace qvx::ui
