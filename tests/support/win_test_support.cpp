#include "support/win_test_support.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"

#include <cstdlib>

namespace qvx::test {

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = ui::SetMessageBoxHook([this](const ui::MessageBoxCall& call) {
        calls_.push_back(call);
        if (onShow) onShow(call);
        if (call.buttons == ui::MsgButtons::Ok) return ui::MsgResult::Ok;
        if (answers_.empty()) return ui::MsgResult::No;
        const ui::MsgResult r = answers_.front();
        answers_.pop_front();
        return r;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { ui::SetMessageBoxHook(std::move(previous_)); }

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        if (GetTickCount64() > end) return done();
        ui::Application::instance().processMessages();
        Sleep(5);
    }
    return true;
}

void PumpFor(int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (GetTickCount64() < end) {
        ui::Application::instance().processMessages();
        Sleep(5);
    }
}

void ResetApplication() {
    auto& app = ui::Application::instance();
    app.resetForTests();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

char TmpfsDrive(std::string* why) {
    const char* letter = std::getenv("QUARVEX_TMPFS_DRIVE");
    if (letter && *letter) return static_cast<char>(*letter);
    if (why) {
        const char* reason = std::getenv("QUARVEX_TMPFS_SKIP_REASON");
        *why = reason ? reason : "the test runner mapped no tmpfs drive (run the tests through ctest)";
    }
    return 0;
}

std::string TmpfsHostPath() {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    return build ? std::string(build) + "/drives/scratch" : std::string();
}

std::string ExeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return Narrow(p.substr(0, p.find_last_of(L'\\') + 1));
}

std::string WindowText(HWND hwnd) {
    wchar_t buf[1024];
    const int n = GetWindowTextW(hwnd, buf, 1024);
    return Narrow(std::wstring_view(buf, n > 0 ? n : 0));
}

} // namespace qvx::test
