#include "ui/message_box_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/form_win.h"

#include <windows.h>

namespace qvx::ui {

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
} // namespace

const char* MsgKindTitle(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information: return "Information";
    case MsgKind::Warning: return "Warning";
    case MsgKind::Error: return "Error";
    case MsgKind::Confirm: return "Confirm";
    }
    return "";
}

MsgResult MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) {
    return ShowMessageBox(MsgKindTitle(kind), text, kind, buttons);
}

MsgResult ShowMessageBox(const std::string& title, const std::string& text, MsgKind kind, MsgButtons buttons) {
    if (Hook()) return Hook()({title, text, kind, buttons});
    UINT flags = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (kind) {
    case MsgKind::Information: flags |= MB_ICONINFORMATION; break;
    case MsgKind::Warning: flags |= MB_ICONWARNING; break;
    case MsgKind::Error: flags |= MB_ICONERROR; break;
    case MsgKind::Confirm: flags |= MB_ICONQUESTION; break;
    }
    Application& app = Application::instance();
    Form* owner = app.activeForm() ? app.activeForm() : app.mainForm();
    HWND ownerWnd = owner && owner->handle() && IsWindowVisible(owner->handle()) ? owner->handle() : nullptr;
    if (!ownerWnd) flags |= MB_TASKMODAL;
    const int r = MessageBoxW(ownerWnd, Widen(text).c_str(), Widen(title).c_str(), flags);
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    return r == IDYES ? MsgResult::Yes : MsgResult::No;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace qvx::ui
