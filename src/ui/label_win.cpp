#include "ui/label_win.h"

#include "platform/win32/wide_text.h"
#include "ui/offscreen_win.h"

#include <algorithm>
#include <vector>

namespace qvx::ui {

Label::Label(Form& owner, const ControlDesign& design, Control* parent)
    : Control(owner, design, parent), wordWrap_(design.wordWrap), transparent_(design.transparent) {}

Control::WindowClass Label::windowClass() const { return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY, 0}; }

void Label::applyDirty(unsigned bits) {
    Control::applyDirty(bits & ~static_cast<unsigned>(DirtyCaption));
    // The text is stored as the window text without the static control's own handling, which
    // (under Wine) paints the label at once; the one paint below is enough. A label whose text
    // changes with every flush of a run would otherwise be painted twice per flush.
    if (handle() && (bits & DirtyCaption)) DefWindowProcW(handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(caption_).c_str()));
    // An owner-drawn static does not repaint by itself on a new text or colour. Painted here
    // and now rather than through a paint message: a label that changes with every flush of a
    // run costs a fraction of a paint cycle that way.
    if (bits & (DirtyCaption | DirtyFont | DirtyColor | DirtyEnabled)) drawNow([this](HDC dc) { paint(dc); });
}

bool Label::onCommand(WORD code) {
    if (code != STN_CLICKED) return false;
    click();
    return true;
}

bool Label::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_ERASEBKGND) {  // everything is painted in one go by onDrawItem
        result = 1;
        return true;
    }
    return Control::handleMessage(msg, wp, lp, result);
}

void PaintParentBackground(const Control& parent, HDC dc, const RECT& rect) {
    POINT old;
    SetViewportOrgEx(dc, -rect.left, -rect.top, &old);
    const UniqueRegion clip(CreateRectRgn(0, 0, rect.right - rect.left, rect.bottom - rect.top));
    SelectClipRgn(dc, clip.get());  // the context takes a copy
    SendMessageW(parent.containerHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent.containerHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectClipRgn(dc, nullptr);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

std::vector<std::wstring> WrapLines(HDC dc, const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    auto fits = [&](const std::wstring& s) {
        SIZE sz{};
        GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &sz);
        return sz.cx <= width;
    };
    auto trimmed = [](std::wstring s) {
        while (!s.empty() && s.back() == L' ') s.pop_back();
        return s;
    };
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(L'\n', start), text.size());
        std::wstring paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == L'\r') paragraph.pop_back();
        std::wstring current;
        size_t pos = 0;
        while (pos < paragraph.size()) {
            // The next word with the blanks in front of it.
            size_t wordEnd = paragraph.find(L' ', paragraph.find_first_not_of(L' ', pos));
            if (wordEnd == std::wstring::npos) wordEnd = paragraph.size();
            const std::wstring word = paragraph.substr(pos, wordEnd - pos);
            if (!current.empty() && !fits(trimmed(current + word))) {
                lines.push_back(trimmed(current));
                current = word.substr(std::min(word.find_first_not_of(L' '), word.size()));
            } else {
                current += word;
            }
            pos = wordEnd;
        }
        lines.push_back(trimmed(current));
        if (end >= text.size()) break;
        start = end + 1;
    }
    return lines;
}

bool Label::onDrawItem(const DRAWITEMSTRUCT& dis) {
    paint(dis.hDC);
    return true;
}

void Label::paint(HDC target) {
    const RECT client{0, 0, width_, height_};
    OffscreenBuffer buffer(width_, height_);
    HDC mem = buffer.dc();
    if (!mem) return;
    if (transparent_ && parent_) {
        PaintParentBackground(*parent_, mem, boundsRect());
    } else {
        FillRect(mem, &client, backgroundBrush());
    }
    SelectObject(mem, hfont_ ? hfont_->get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, enabled_ ? ResolveColor(font_.color) : GetSysColor(COLOR_GRAYTEXT));
    UINT format = DT_NOPREFIX | DT_TOP;
    format |= alignment_ == TextAlign::Right ? DT_RIGHT : alignment_ == TextAlign::Center ? DT_CENTER : DT_LEFT;
    const std::wstring text = Widen(caption_);
    if (wordWrap_ && font_.underline) {
        // Wrapped line by line here: the system's own wrapping underlines the blanks at the end
        // of a broken line on some platforms.
        TEXTMETRICW tm{};
        GetTextMetricsW(mem, &tm);
        RECT line = client;
        for (const std::wstring& piece : WrapLines(mem, text, width_)) {
            DrawTextW(mem, piece.c_str(), static_cast<int>(piece.size()), &line, format | DT_SINGLELINE);
            line.top += tm.tmHeight;
        }
    } else {
        RECT textRect = client;
        DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &textRect, format | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    }
    BitBlt(target, 0, 0, width_, height_, mem, 0, 0, SRCCOPY);
}

} // namespace qvx::ui
