#include "ui/message_box_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/form_win.h"

#include <windows.h>

namespace qvx::ui {

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
    Application& app = Application::instance();
    // A copy: the hook may replace itself.
    if (const MessageBoxHook hook = app.messageBoxHook()) return hook({title, text, kind, buttons});
    UINT flags = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (kind) {
    case MsgKind::Information: flags |= MB_ICONINFORMATION; break;
    case MsgKind::Warning: flags |= MB_ICONWARNING; break;
    case MsgKind::Error: flags |= MB_ICONERROR; break;
    case MsgKind::Confirm: flags |= MB_ICONQUESTION; break;
    }
    Form* owner = app.activeForm() ? app.activeForm() : app.mainForm();
    HWND ownerWnd = owner && owner->handle() && IsWindowVisible(owner->handle()) ? owner->handle() : nullptr;
    if (!ownerWnd) flags |= MB_TASKMODAL;
    const int r = MessageBoxW(ownerWnd, Widen(text).c_str(), Widen(title).c_str(), flags);
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    return r == IDYES ? MsgResult::Yes : MsgResult::No;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return Application::instance().replaceMessageBoxHook(std::move(hook));
}

} // namespace qvx::ui
