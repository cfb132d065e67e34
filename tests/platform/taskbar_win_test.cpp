// The taskbar button where the shell offers no progress interface (Wine): asking for one and
// using what comes back fails nothing. A flash calls only a window that is neither in the
// foreground nor the owner of the window that is.
#include "platform/win32/system_hooks.h"
#include "platform/win32/taskbar.h"
#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <vector>

namespace qvx {
namespace {

TEST(Taskbar, WithoutTheShellsInterfaceNothingFailsAndOnlyABackgroundWindowFlashes) {
    const auto make = [](DWORD style, HWND owner) {
        return UniqueWindow(CreateWindowExW(0, L"STATIC", L"", style, 0, 0, 50, 50, owner, nullptr, nullptr, nullptr));
    };
    const UniqueWindow window = make(WS_OVERLAPPEDWINDOW, nullptr);
    const UniqueWindow box = make(WS_POPUP, window.get());
    ASSERT_TRUE(window && box);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    AllowTaskbarButtonMessage(window.get());
    if (const std::unique_ptr<TaskbarButton> button = CreateTaskbarButton(window.get())) {
        button->setValue(1500, 3000);
        button->setState(TaskbarState::Error);
        button->setState(TaskbarState::None);
    }
    if (com) CoUninitialize();

    HWND foreground = window.get();
    std::vector<HWND> flashed;
    SystemHooks& hooks = HooksToReplace();
    hooks.foregroundWindow = [&] { return foreground; };
    hooks.flashWindow = [&](HWND w) { flashed.push_back(w); };
    EXPECT_FALSE(FlashUnlessForeground(window.get()));
    foreground = box.get();  // a box of its own is up: the user is there
    EXPECT_FALSE(FlashUnlessForeground(window.get()));
    foreground = GetDesktopWindow();
    EXPECT_TRUE(FlashUnlessForeground(window.get()));
    EXPECT_EQ(flashed, std::vector<HWND>{window.get()});
    hooks.foregroundWindow = nullptr;
    hooks.flashWindow = nullptr;
}

} // namespace
} // namespace qvx
