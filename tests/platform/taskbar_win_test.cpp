// The taskbar button where the shell offers no progress interface (Wine): asking for one and
// using what comes back fails nothing. And who is called by a flash: only a window that is not
// in the foreground, nor the owner of the one that is.
#include "platform/win32/system_hooks.h"
#include "platform/win32/taskbar.h"
#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <vector>

namespace qvx {
namespace {

UniqueWindow PlainWindow(HWND owner = nullptr) {
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"", owner ? WS_POPUP : WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, owner,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
}

TEST(Taskbar, WithoutTheShellsInterfaceNothingFailsAndOnlyABackgroundWindowFlashes) {
    const UniqueWindow window = PlainWindow();
    ASSERT_TRUE(window);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    AllowTaskbarButtonMessage(window.get());
    EXPECT_NE(TaskbarButtonCreatedMessage(), 0u);
    if (const std::unique_ptr<TaskbarButton> button = CreateTaskbarButton(window.get())) {
        button->setState(TaskbarState::Normal);
        button->setValue(1500, 3000);
        button->setState(TaskbarState::Error);
        button->setState(TaskbarState::None);
    }
    if (com) CoUninitialize();

    const UniqueWindow box = PlainWindow(window.get());
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
    foreground = nullptr;  // the foreground is changing
    EXPECT_TRUE(FlashUnlessForeground(window.get()));
    EXPECT_EQ(flashed, (std::vector<HWND>{window.get(), window.get()}));
    hooks.foregroundWindow = nullptr;
    hooks.flashWindow = nullptr;
}

} // namespace
} // namespace qvx
