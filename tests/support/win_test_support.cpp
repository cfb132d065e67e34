#include "support/win_test_support.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/dpi_win.h"

#include <gtest/gtest.h>

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

int PlaceTolerance(int dpi) { return dpi == 96 ? 0 : 2; }

int CheckedDpi(HWND window) {
    const int dpi = ui::WindowDpi(window);
    if (const char* wanted = std::getenv("QVX_TEST_DPI")) {
        EXPECT_EQ(dpi, std::atoi(wanted)) << "the run's DPI";
    }
    return dpi;
}

SIZE TextExtentIn(HWND window, const std::string& text) {
    const UniqueWindowDc dc = OwnWindowDc(window, GetDC(window));
    const HGDIOBJ old = SelectObject(dc.get().dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc.get().dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc.get().dc, old);
    return size;
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

bool ForegroundForInput(HWND window) {
    SetForegroundWindow(window);
    return PumpUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

namespace {
INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

INPUT MouseInput(DWORD flags, POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    in.mi.dx = static_cast<LONG>((screen.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>((screen.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

POINT ToScreen(HWND hwnd, POINT client) {
    ClientToScreen(hwnd, &client);
    return client;
}
} // namespace

void SendKey(WORD vk, std::initializer_list<WORD> held) {
    std::vector<INPUT> inputs;
    for (WORD h : held) inputs.push_back(KeyInput(h, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) inputs.push_back(KeyInput(*it, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void SendMouseMove(HWND hwnd, POINT client) {
    INPUT move = MouseInput(MOUSEEVENTF_MOVE, ToScreen(hwnd, client));
    SendInput(1, &move, sizeof(INPUT));
}

void SendClick(HWND hwnd, POINT client) {
    const POINT at = ToScreen(hwnd, client);
    INPUT inputs[] = {MouseInput(MOUSEEVENTF_MOVE, at), MouseInput(MOUSEEVENTF_LEFTDOWN, at), MouseInput(MOUSEEVENTF_LEFTUP, at)};
    SendInput(3, inputs, sizeof(INPUT));
}

void PumpInput() {
    PumpFor(20);
    PumpUntil([] { return HIWORD(GetQueueStatus(QS_INPUT)) == 0; }, 3000);
    PumpFor(20);
}

} // namespace qvx::test
