#include "ui/memo_win.h"

namespace qvx::ui {

namespace {
std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}
} // namespace

Memo::Memo(Form& owner, const ControlDesign& design, Control* parent)
    : Control(owner, design, parent),
      wordWrap_(design.wordWrap),
      readOnly_(design.readOnly),
      vScroll_(design.vScroll),
      tabStop_(design.tabStop) {
    if (!design.items.empty()) caption_ = Join(design.items);
}

std::string Memo::text() const { return caption_; }

Control::WindowClass Memo::windowClass() const {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    if (!wordWrap_) style |= ES_AUTOHSCROLL;
    if (readOnly_) style |= ES_READONLY;
    if (vScroll_) style |= WS_VSCROLL;
    if (tabStop_) style |= WS_TABSTOP;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

void Memo::setWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    // The edit control cannot switch wrapping on a live window.
    recreateHandle();
}

} // namespace qvx::ui
