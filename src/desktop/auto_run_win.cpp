#include "desktop/auto_run_win.h"

#include "platform/win32/executable_path.h"
#include "platform/win32/registry.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <windows.h>

namespace qvx::desktop {

namespace {

class Win32Registry : public RegistryAccess {
public:
    explicit Win32Registry(HKEY root) : root_(root) {}
    bool keyExists(std::string_view keyPath) override { return RegistryKeyExists(root_, keyPath); }
    StoreResult setString(std::string_view keyPath, std::string_view name, std::string_view data) override {
        const LSTATUS status = RegistrySetString(root_, keyPath, name, data);
        if (status == ERROR_ACCESS_DENIED) return StoreResult::AccessDenied;
        if (status != ERROR_SUCCESS) throw RegistryError(RegistrySetFailedText(name));
        return StoreResult::Stored;
    }
    std::optional<RegistryValue> queryValue(std::string_view keyPath, std::string_view name) override {
        const std::optional<RegistryData> found = RegistryQuery(root_, keyPath, name);
        if (!found) return std::nullopt;
        return RegistryValue{.type = found->type, .data = found->data, .size = found->size};
    }
    void deleteValue(std::string_view keyPath, std::string_view name) override { RegistryDelete(root_, keyPath, name); }

private:
    HKEY root_;
};

class MessageBoxUser : public AutoRunUser {
public:
    void error(const std::string& text) override { ui::MessageDlg(text, ui::MsgKind::Error, ui::MsgButtons::Ok); }
    void information(const std::string& text) override {
        ui::MessageDlg(text, ui::MsgKind::Information, ui::MsgButtons::Ok);
    }
    bool askWarning(const std::string& text) override {
        return ui::MessageDlg(text, ui::MsgKind::Warning, ui::MsgButtons::YesNo) == ui::MsgResult::Yes;
    }
    void failure(const std::string& text) override { ui::Application::instance().showException(text); }
};

// A test's target, kept by the application object.
struct AutoRunTargetOverride {
    std::optional<AutoRunTarget> target;
};

std::optional<AutoRunTarget>& TargetOverride() {
    return ui::Application::instance().state<AutoRunTargetOverride>().target;
}

// Each operation gets its own accessor; every registry call inside closes its key again.
template <class Operation>
bool WithRegistry(Operation op) {
    Win32Registry machine(HKEY_LOCAL_MACHINE);
    Win32Registry mine(HKEY_CURRENT_USER);
    MessageBoxUser user;
    return op(RunKeys{machine, mine}, user, TargetOverride() ? *TargetOverride() : CurrentAutoRunTarget());
}

} // namespace

AutoRunTarget CurrentAutoRunTarget() {
    AutoRunTarget target;
    target.executablePath = ExecutablePath();
    target.valueName = FileNameOfPath(target.executablePath);
    return target;
}

void SetAutoRunTargetOverride(std::optional<AutoRunTarget> target) { TargetOverride() = std::move(target); }

bool EnableAutoRun() {
    return WithRegistry([](RunKeys keys, AutoRunUser& user, const AutoRunTarget& t) {
        try {
            return EnableAutoRun(keys, user, t);
        } catch (const RegistryError& e) {
            user.failure(e.what());
            return false;
        }
    });
}

bool DisableAutoRun() {
    return WithRegistry([](RunKeys keys, AutoRunUser& user, const AutoRunTarget& t) {
        try {
            return DisableAutoRun(keys, user, t);
        } catch (const RegistryError& e) {
            user.failure(e.what());
            return false;
        }
    });
}

bool checkAutoRunPath() {
    return WithRegistry(
        [](RunKeys keys, AutoRunUser& user, const AutoRunTarget& t) { return checkAutoRunPath(keys, user, t); });
}

bool AutoRunOptionClick(bool checked) {
    return WithRegistry([checked](RunKeys keys, AutoRunUser& user, const AutoRunTarget& t) {
        return AutoRunOptionClick(keys, user, t, checked);
    });
}

} // namespace qvx::desktop
