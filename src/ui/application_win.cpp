#include "ui/application_win.h"

#include "ui/control_win.h"
#include "ui/form_win.h"
#include "ui/message_box_win.h"

#include <commctrl.h>

#include <algorithm>

namespace qvx::ui {

Application& Application::instance() {
    static Application app;
    return app;
}

Application::Application() { InstallSystemHooks(&systemHooks_); }

Application::~Application() { InstallSystemHooks(nullptr); }

void Application::initialize(HINSTANCE instance) {
    if (instance_) return;
    instance_ = instance;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                              ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Control::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = nullptr;                                  // containers erase themselves
    wc.lpszClassName = kFormClass;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    wc.style = CS_DBLCLKS;
    RegisterClassExW(&wc);

    wc.lpszClassName = kContainerClass;
    wc.hIcon = nullptr;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    RegisterClassExW(&wc);
}

int Application::run() {
    if (mainForm_) {
        activeForm_ = mainForm_;
        mainForm_->show();
    }
    MSG msg;
    while (!terminated_) {
        const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == -1 || r == 0) {
            terminated_ = true;
            break;
        }
        dispatchOne(msg);
    }
    return exitCode_;
}

void Application::dispatchOne(MSG& msg) {
    // Keyboard preview and dialog navigation of the form that has the keyboard.
    if (activeForm_ && activeForm_->preTranslateMessage(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Application::processMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        dispatchOne(msg);
    }
}

void Application::terminate() {
    if (!terminated_) {
        terminated_ = true;
        PostQuitMessage(0);
    }
}

void Application::resetForTests() {
    terminated_ = false;
    exitCode_ = 0;
    mainForm_ = nullptr;
    activeForm_ = nullptr;
    dirty_.clear();
    deferDepth_ = 0;
}

void Application::beginDeferredUpdates() {
    ++deferDepth_;
}

void Application::endDeferredUpdates() {
    if (deferDepth_ > 0 && --deferDepth_ == 0) flushDeferred();
}

void Application::queueDirty(Control* control) {
    if (std::find(dirty_.begin(), dirty_.end(), control) == dirty_.end()) dirty_.push_back(control);
}

void Application::forgetControl(Control* control) {
    dirty_.erase(std::remove(dirty_.begin(), dirty_.end(), control), dirty_.end());
}

void Application::flushDeferred() {
    std::vector<Control*> pending;
    pending.swap(dirty_);
    for (Control* c : pending) c->flush();
}

void Application::showException(const std::string& message) {
    std::string text = message;
    if (!text.empty() && text.back() != '.') text += '.';
    ShowMessageBox(title_, text, MsgKind::Error, MsgButtons::Ok);
}

double Application::clockSeconds() {
    static const double period = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * period;
}

} // namespace qvx::ui
