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

Memo::Memo(Form& owner, const ControlSpec& spec, Control* parent)
    : Control(owner, spec, parent),
      wordWrap_(spec.wordWrap),
      readOnly_(spec.readOnly),
      vScroll_(spec.vScroll),
      tabStop_(spec.tabStop) {
    if (!spec.items.empty()) caption_ = Join(spec.items);
}

std::string Memo::text() const { return caption_; }

void Memo::setLines(const std::vector<std::string>& lines) { setCaption(Join(lines)); }

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
