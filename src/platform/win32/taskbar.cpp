#include "platform/win32/taskbar.h"

#include "platform/win32/system_hooks.h"
#include "platform/win32/unique_handle.h"

#include <shobjidl.h>

namespace qvx {

namespace {

TBPFLAG ShellState(TaskbarState state) {
    switch (state) {
    case TaskbarState::Normal: return TBPF_NORMAL;
    case TaskbarState::Error: return TBPF_ERROR;
    case TaskbarState::None: break;
    }
    return TBPF_NOPROGRESS;
}

// The shell's interface. A failed call is ignored: the progress is only a convenience.
class ShellTaskbarButton final : public TaskbarButton {
public:
    ShellTaskbarButton(HWND window, UniqueCom<ITaskbarList3> list) : window_(window), list_(std::move(list)) {}
    void setState(TaskbarState state) override { list_.get()->SetProgressState(window_, ShellState(state)); }
    void setValue(std::uint64_t completed, std::uint64_t total) override {
        list_.get()->SetProgressValue(window_, completed, total);
    }

private:
    HWND window_;
    UniqueCom<ITaskbarList3> list_;
};

class HookedTaskbarButton final : public TaskbarButton {
public:
    explicit HookedTaskbarButton(std::function<void(const TaskbarCall&)> hook) : hook_(std::move(hook)) {}
    void setState(TaskbarState state) override { hook_({TaskbarCall::Kind::State, state, 0, 0}); }
    void setValue(std::uint64_t completed, std::uint64_t total) override {
        hook_({TaskbarCall::Kind::Value, TaskbarState::Normal, completed, total});
    }

private:
    std::function<void(const TaskbarCall&)> hook_;
};

} // namespace

UINT TaskbarButtonCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarButtonCreated");
    return message;
}

void AllowTaskbarButtonMessage(HWND window) {
    ChangeWindowMessageFilterEx(window, TaskbarButtonCreatedMessage(), MSGFLT_ALLOW, nullptr);
}

std::unique_ptr<TaskbarButton> CreateTaskbarButton(HWND window) {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->taskbar)
        return std::make_unique<HookedTaskbarButton>(hooks->taskbar);
    ITaskbarList3* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&raw))) ||
        !raw)
        return nullptr;
    UniqueCom<ITaskbarList3> list(raw);
    if (FAILED(list.get()->HrInit())) return nullptr;
    return std::make_unique<ShellTaskbarButton>(window, std::move(list));
}

bool FlashUnlessForeground(HWND window) {
    const SystemHooks* hooks = InstalledSystemHooks();
    HWND foreground = hooks && hooks->foregroundWindow ? hooks->foregroundWindow() : GetForegroundWindow();
    if (foreground && (foreground == window || GetAncestor(foreground, GA_ROOTOWNER) == window)) return false;
    if (hooks && hooks->flashWindow) {
        hooks->flashWindow(window);
        return true;
    }
    FLASHWINFO flash{sizeof(FLASHWINFO), window, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
    return true;
}

} // namespace qvx
