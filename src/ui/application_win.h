#pragma once
// The application object: window classes, the message loop, the one routine that processes
// pending messages, and deferred window updates. It is the program's one process-wide object
// and owns what the controls share: the GDI cache, the timer service, the message-box hook and
// the system hooks of the platform layer, which it installs while it lives.
#include "platform/win32/system_hooks.h"
#include "ui/gdi_cache_win.h"
#include "ui/message_box_win.h"
#include "ui/timer_service_win.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

namespace qvx::ui {

class Control;
class Form;

class Application {
public:
    static Application& instance();

    // Registers the window classes and initialises the common controls. Called once, before any
    // form is created.
    void initialize(HINSTANCE instance);
    HINSTANCE instanceHandle() const { return instance_; }

    // The task-bar text of the program; also the title of the standard error box.
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }

    Form* mainForm() const { return mainForm_; }
    void setMainForm(Form* form) { mainForm_ = form; }
    // The form that receives keyboard navigation (the active one, or the modal one).
    Form* activeForm() const { return activeForm_; }
    void setActiveForm(Form* form) { activeForm_ = form; }

    // Shows the main form and pumps messages until it is closed. Returns the exit code.
    int run();
    // Processes every pending message and returns.
    void processMessages();
    bool terminated() const { return terminated_; }
    void terminate();
    // What run() returns: the program's exit code.
    void setExitCode(int code) { exitCode_ = code; }
    // Forgets the main form and a termination (tests build and close many forms).
    void resetForTests();

    // Deferred window updates: while at least one deferral is open, control property changes
    // only mark the control dirty; flushDeferred() brings the windows up to date.
    void beginDeferredUpdates();
    void endDeferredUpdates();
    bool deferring() const { return deferDepth_ > 0; }
    void queueDirty(Control* control);
    void forgetControl(Control* control);
    void flushDeferred();

    // Shows an error the way an uncaught exception is shown: an error box titled with the
    // application title, the text followed by a full stop.
    void showException(const std::string& message);

    // A high-resolution clock in seconds, for throttling.
    static double clockSeconds();

    // Fonts, brushes and the off-screen bitmap the controls share.
    GdiCache& gdi() { return gdi_; }
    // Every timer ticks through here.
    TimerService& timers() { return timers_; }
    // The hook that answers message boxes instead of the user (tests); empty: real boxes.
    const MessageBoxHook& messageBoxHook() const { return messageBoxHook_; }
    MessageBoxHook replaceMessageBoxHook(MessageBoxHook hook) { return std::exchange(messageBoxHook_, std::move(hook)); }

    // State that a part of the program above the framework keeps for as long as the
    // application lives (a test's override, say), made on first use; one object per type.
    template <class T>
    T& state() {
        std::shared_ptr<void>& slot = states_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

private:
    Application();
    ~Application();
    void dispatchOne(MSG& msg);

    HINSTANCE instance_ = nullptr;
    std::string title_;
    Form* mainForm_ = nullptr;
    Form* activeForm_ = nullptr;
    bool terminated_ = false;
    int exitCode_ = 0;
    int deferDepth_ = 0;
    std::vector<Control*> dirty_;
    GdiCache gdi_;
    TimerService timers_;
    MessageBoxHook messageBoxHook_;
    SystemHooks systemHooks_;
    std::map<std::type_index, std::shared_ptr<void>> states_;
};

// Keeps window updates deferred for a scope; flushes when the outermost one ends.
class DeferredUpdates {
public:
    DeferredUpdates() { Application::instance().beginDeferredUpdates(); }
    ~DeferredUpdates() { Application::instance().endDeferredUpdates(); }
    DeferredUpdates(const DeferredUpdates&) = delete;
    DeferredUpdates& operator=(const DeferredUpdates&) = delete;
};

// Window class names registered by Application::initialize.
inline constexpr wchar_t kFormClass[] = L"QuarvexForm";
inline constexpr wchar_t kContainerClass[] = L"QuarvexContainer";

} // namespace qvx::ui
