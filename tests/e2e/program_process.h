#pragma once
// quarvex.exe as a process of its own, and its windows found and read from outside, the way an
// automation tool sees them.
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace qvx::test {

inline constexpr UINT kMessageTextId = 0xFFFF;  // the text of a standard message box

inline std::string ProgramFolder() {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    if (!build) return {};
    // Build trees are Unix paths; Wine reaches them through Z:.
    std::string path = std::string("Z:") + build + "/src/";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Text of a window of another process (WM_GETTEXT; GetWindowText would not ask it).
inline std::string TextOf(HWND hwnd) {
    wchar_t buf[4096] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &n)) return {};
    return Narrow(std::wstring_view(buf, static_cast<size_t>(n)));
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return cls;
}

// A visible top-level window of the process with that class (and title, when given).
inline HWND FindTopWindow(DWORD pid, const wchar_t* cls, const std::string& title = {}) {
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        std::string title;
        HWND found;
    } s{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner != s->pid || ClassOf(h) != s->cls || !IsWindowVisible(h)) return TRUE;
            if (!s->title.empty() && TextOf(h) != s->title) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A descendant window of that class whose text passes the test.
template <class Pred>
inline HWND FindChild(HWND parent, const wchar_t* cls, Pred textMatches) {
    struct Search {
        const wchar_t* cls;
        Pred* pred;
        HWND found;
    } s{cls, &textMatches, nullptr};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            if (_wcsicmp(ClassOf(h).c_str(), s->cls) != 0 || !(*s->pred)(TextOf(h))) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline HWND FindButton(HWND parent, const std::string& text) {
    return FindChild(parent, L"Button", [&](const std::string& t) { return t == text; });
}

// quarvex.exe, started as a user would start it; killed at the end if still running.
class Program {
public:
    bool start(const std::string& arguments = {}) { return startExe(ProgramFolder() + "quarvex.exe", arguments); }
    // Another copy of the program (an unpacked release); `folder`, when given, is its working
    // folder, as Explorer gives a double-clicked exe its own.
    bool startExe(const std::string& exe, const std::string& arguments = {}, const std::string& folder = {}) {
        std::wstring cmd = L"\"" + Widen(exe) + L"\"";
        if (!arguments.empty()) cmd += L" " + Widen(arguments);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        const std::wstring dir = Widen(folder);
        return CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.empty() ? nullptr : dir.c_str(),
                              &si, &pi_) != FALSE;
    }
    ~Program() {
        if (!pi_.hProcess) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    HANDLE mainThread() const { return pi_.hThread; }

    // Waits for a box of the program with that title; nullptr after the timeout.
    HWND waitForBox(const std::string& title, int timeoutMs = 20000) {
        HWND box = nullptr;
        PumpUntil([&] { return (box = FindTopWindow(pid(), L"#32770", title)) != nullptr; }, timeoutMs);
        return box;
    }

private:
    PROCESS_INFORMATION pi_{};
};

} // namespace qvx::test
