#include "ui/tab_order_win.h"

#include <vector>

namespace qvx::ui {

namespace {
struct Place {
    HWND hwnd;
    bool stop;
};

bool Usable(LONG_PTR style) { return (style & WS_VISIBLE) && !(style & WS_DISABLED); }

// Every child window in walking order; the children of hidden or disabled ones are left out,
// but they keep a place of their own so that a walk can start from them.
void Walk(HWND parent, std::vector<Place>& order) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
        order.push_back({w, Usable(style) && (style & WS_TABSTOP)});
        if (Usable(style) && (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) Walk(w, order);
    }
}

// The index of `hwnd`, or of its nearest ancestor that has a place; -1 when none has.
int PlaceOf(const std::vector<Place>& order, HWND root, HWND hwnd) {
    for (HWND w = hwnd; w && w != root; w = GetParent(w)) {
        for (size_t i = 0; i < order.size(); ++i)
            if (order[i].hwnd == w) return static_cast<int>(i);
    }
    return -1;
}
} // namespace

HWND NextTabStop(HWND root, HWND from, bool backward) {
    std::vector<Place> order;
    Walk(root, order);
    const int count = static_cast<int>(order.size());
    if (count == 0) return nullptr;
    const int at = PlaceOf(order, root, from);
    // Without a place to start from, Tab begins at the first stop and Shift+Tab at the last.
    int i = at >= 0 ? at : (backward ? count : -1);
    for (int step = 0; step < count; ++step) {
        i = (i + (backward ? count - 1 : 1)) % count;
        if (order[i].stop) return order[i].hwnd;
    }
    return nullptr;
}

HWND FirstTabStop(HWND root) { return NextTabStop(root, nullptr, false); }

bool IsSameOrInside(HWND ancestor, HWND hwnd) { return hwnd && ancestor && (hwnd == ancestor || IsChild(ancestor, hwnd)); }

} // namespace qvx::ui
