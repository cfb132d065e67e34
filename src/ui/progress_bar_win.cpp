#include "ui/progress_bar_win.h"

#include "ui/offscreen_win.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>
#include <cstdint>

namespace qvx::ui {

ProgressBar::ProgressBar(Form& owner, const ControlDesign& design, Control* parent) : Control(owner, design, parent) {}

Control::WindowClass ProgressBar::windowClass() const { return {PROGRESS_CLASSW, PBS_SMOOTH, 0}; }

void ProgressBar::setRange(int min, int max) {
    if (max < min) max = min;
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, max_);
    markDirty(DirtyKind);
}

void ProgressBar::setPosition(int position) {
    position = std::clamp(position, min_, max_);
    if (position == position_) return;
    position_ = position;
    markDirty(DirtyKind);
}

// The system bar paints itself through a whole paint cycle for every new position, which costs
// a fill run several times what the drawing does. So the bar keeps its range and position
// here, answers the queries about them itself (automation tools read them that way), and is
// drawn directly, in the bar's own theme when it has one, else as the classic smooth bar.
void ProgressBar::applyDirty(unsigned bits) {
    Control::applyDirty(bits);
    if (bits & DirtyKind) drawNow([this](HDC dc) { paint(dc); });
}

int ProgressBar::filledWidth(int width) const {
    const std::int64_t span = static_cast<std::int64_t>(max_) - min_;
    const std::int64_t done = static_cast<std::int64_t>(position_) - min_;
    return span > 0 ? static_cast<int>(done * width / span) : 0;
}

void ProgressBar::dropStills() {
    stillDc_.reset();
    stillBitmap_.reset();
}

namespace {
struct ThemeParts {
    int track, trackState, fill, fillState;
};
// The parts the system's own bar is drawn with: a see-through track and a fill since Windows
// Vista (the themed look of the version 6 common controls on Windows 10 and 11); the bar and
// its chunk in themes made before them.
ThemeParts PartsOf(HTHEME theme) {
    if (IsThemePartDefined(theme, PP_TRANSPARENTBAR, 0) && IsThemePartDefined(theme, PP_FILL, 0))
        return {PP_TRANSPARENTBAR, PBBS_NORMAL, PP_FILL, PBFS_NORMAL};
    return {PP_BAR, 0, PP_CHUNK, 0};
}
} // namespace

// The empty bar above the full one, drawn once per size and theme: the theme's own drawing
// costs ten times what copying its result does.
bool ProgressBar::makeStills(int width, int height) {
    if (stillDc_ && width == stillWidth_ && height == stillHeight_) return true;
    dropStills();
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap = CreateTopDownBitmap(width, 2 * height);
    if (!dc || !bitmap) return false;
    SelectObject(dc.get(), bitmap.get());
    stillBitmap_ = std::move(bitmap);
    stillDc_ = std::move(dc);
    const HDC still = stillDc_.get();
    stillWidth_ = width;
    stillHeight_ = height;
    const RECT empty{0, 0, width, height};
    const RECT full{0, height, width, 2 * height};
    if (HTHEME theme = GetWindowTheme(handle())) {
        const ThemeParts parts = PartsOf(theme);
        for (const RECT& r : {empty, full}) {
            FillRect(still, &r, backgroundBrush());
            DrawThemeBackground(theme, still, parts.track, parts.trackState, &r, nullptr);
        }
        RECT inner = empty;
        GetThemeBackgroundContentRect(theme, still, parts.track, parts.trackState, &empty, &inner);
        fillLeft_ = inner.left;
        fillRight_ = inner.right;
        RECT chunk = inner;
        OffsetRect(&chunk, 0, height);
        DrawThemeBackground(theme, still, parts.fill, parts.fillState, &chunk, nullptr);
    } else {
        FillRect(still, &empty, GetSysColorBrush(COLOR_3DFACE));
        FillRect(still, &full, GetSysColorBrush(COLOR_HIGHLIGHT));
        fillLeft_ = 0;
        fillRight_ = width;
    }
    return true;
}

void ProgressBar::paint(HDC dc) {
    RECT client{};
    GetClientRect(handle(), &client);
    if (client.right <= 0 || client.bottom <= 0 || !makeStills(client.right, client.bottom)) return;
    const int split = fillLeft_ + filledWidth(fillRight_ - fillLeft_);
    BitBlt(dc, 0, 0, split, client.bottom, stillDc_.get(), 0, client.bottom, SRCCOPY);
    BitBlt(dc, split, 0, client.right - split, client.bottom, stillDc_.get(), split, 0, SRCCOPY);
}

Reply ProgressBar::onPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle(), &ps);
    paint(dc);
    EndPaint(handle(), &ps);
    return 0;
}

Reply ProgressBar::onPrintClient(WPARAM wp) {
    paint(reinterpret_cast<HDC>(wp));
    return 0;
}

// The pictures were drawn in the old theme's colours.
Reply ProgressBar::onThemeChanged() {
    dropStills();
    return std::nullopt;
}

Reply ProgressBar::onGetRange(WPARAM wp, LPARAM lp) const {
    if (lp) {
        auto* range = reinterpret_cast<PBRANGE*>(lp);
        range->iLow = min_;
        range->iHigh = max_;
    }
    return wp ? min_ : max_;
}

bool ProgressBar::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    Reply reply;
    switch (msg) {
    case WM_PAINT: reply = onPaint(); break;
    case WM_PRINTCLIENT: reply = onPrintClient(wp); break;
    case WM_ERASEBKGND: reply = 1; break;  // the paint covers every pixel
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE: reply = onThemeChanged(); break;
    case PBM_GETPOS: reply = position_; break;
    case PBM_GETRANGE: reply = onGetRange(wp, lp); break;
    default: break;
    }
    return Answer(reply, result) || Control::handleMessage(msg, wp, lp, result);
}

} // namespace qvx::ui
