#include "platform/win32/shell.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

#include <shellapi.h>

namespace qvx {

namespace {
std::function<void(const ShellCall&)>& Hook() {
    static std::function<void(const ShellCall&)> hook;
    return hook;
}
} // namespace

void ShellOpen(HWND owner, const std::string& target, int showCommand) {
    if (Hook()) return Hook()({ShellCall::Kind::Open, owner, "open", target, showCommand});
    ShellExecuteW(owner, L"open", Widen(target).c_str(), nullptr, nullptr, showCommand);
}

bool ShellRunAsAdministrator(HWND owner, const std::string& program) {
    if (Hook()) {
        Hook()({ShellCall::Kind::Open, owner, "runas", program, SW_SHOWNORMAL});
        return true;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"runas", Widen(program).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool StartCommandLine(const std::string& commandLine, int showCommand) {
    if (Hook()) {
        Hook()({ShellCall::Kind::CommandLine, nullptr, "", commandLine, showCommand});
        return true;
    }
    std::wstring cmd = Widen(commandLine);  // CreateProcessW may write into the command line
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    // Not waited for: the handles only go.
    const UniqueKernelHandle thread(pi.hThread), process(pi.hProcess);
    return true;
}

std::function<void(const ShellCall&)> SetShellHook(std::function<void(const ShellCall&)> hook) {
    auto previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace qvx
