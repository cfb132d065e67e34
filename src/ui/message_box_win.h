#pragma once
// Every modal question and notice of the program goes through here: a real Windows message box,
// titled by its kind. Tests install a hook that records the call and answers it instead.
#include <functional>
#include <string>

namespace qvx::ui {

enum class MsgKind { Information, Warning, Error, Confirm };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

struct MessageBoxCall {
    std::string title;
    std::string text;
    MsgKind kind;
    MsgButtons buttons;
};

using MessageBoxHook = std::function<MsgResult(const MessageBoxCall&)>;

// The title of a box of this kind: "Information", "Warning", "Error" or "Confirm".
const char* MsgKindTitle(MsgKind kind);

// A box titled by its kind.
MsgResult MessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons);
// A box with a title of its own (the application's standard error box).
MsgResult ShowMessageBox(const std::string& title, const std::string& text, MsgKind kind, MsgButtons buttons);

// Replaces the real box (tests); an empty hook restores it. Returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

} // namespace qvx::ui
