#include "platform/win32/shell.h"

#include "platform/win32/system_hooks.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

#include <shellapi.h>

#include <utility>

namespace qvx {

namespace {
// The test's hook, when one is set.
const std::function<void(const ShellCall&)>* Hook() {
    const SystemHooks* hooks = InstalledSystemHooks();
    return hooks && hooks->shell ? &hooks->shell : nullptr;
}
} // namespace

void ShellOpen(HWND owner, const std::string& target, int showCommand) {
    if (const auto* hook = Hook()) return (*hook)({ShellCall::Kind::Open, owner, "open", target, showCommand});
    ShellExecuteW(owner, L"open", Widen(target).c_str(), nullptr, nullptr, showCommand);
}

bool ShellRunAsAdministrator(HWND owner, const std::string& program, const std::string& parameters) {
    if (const auto* hook = Hook()) {
        (*hook)({ShellCall::Kind::Open, owner, "runas", program, SW_SHOWNORMAL, parameters});
        return true;
    }
    const std::wstring arguments = Widen(parameters);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"runas", Widen(program).c_str(),
                                                                arguments.empty() ? nullptr : arguments.c_str(), nullptr,
                                                                SW_SHOWNORMAL));
    return result > 32;
}

bool StartCommandLine(const std::string& commandLine, int showCommand) {
    if (const auto* hook = Hook()) {
        (*hook)({ShellCall::Kind::CommandLine, nullptr, "", commandLine, showCommand});
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
    return std::exchange(HooksToReplace().shell, std::move(hook));
}

} // namespace qvx
