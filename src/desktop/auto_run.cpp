#include "desktop/auto_run.h"

#include <initializer_list>

namespace qvx::desktop {

namespace {

constexpr char kKeyMissingHead[] = "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n";
constexpr char kNotSavedHead[] = "Error: The required settings could not be created \r\nor saved in the Windows Registry.  \r\n\r\n";
constexpr char kNotRemovedHead[] =
    "Error: The required Registry Key settings \r\ncould not be removed from the Windows Registry.  \r\n\r\n";
constexpr char kContactAuthor[] = "Please contact the program's author.";

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view p : parts) text += p;
    return text;
}

std::string WithValueLines(const char* head, std::string_view keyPath, std::string_view name, std::string_view data) {
    return Join({head, " Error Key   = ", keyPath, "\r\n", " Error Item  = ", name, "\r\n", " Error Value = ", data, "\r\n",
                 "\r\n", kContactAuthor});
}

std::string WithoutValueLine(const char* head, std::string_view keyPath, std::string_view name) {
    return Join({head, " Error Key   = ", keyPath, "\r\n", " Error Item  = ", name, "\r\n", "\r\n", kContactAuthor});
}

} // namespace

std::string FileNameOfPath(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string AsciiUpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string RegistrySetFailedText(std::string_view name) { return Join({"Failed to set data for '", name, "'"}); }

std::string KeyMissingOnWriteText(std::string_view keyPath, std::string_view name, std::string_view data) {
    return WithValueLines(kKeyMissingHead, keyPath, name, data);
}

std::string WriteNotSavedText(std::string_view keyPath, std::string_view name, std::string_view data) {
    return WithValueLines(kNotSavedHead, keyPath, name, data);
}

std::string KeyMissingOnDeleteText(std::string_view keyPath, std::string_view name) {
    return WithoutValueLine(kKeyMissingHead, keyPath, name);
}

std::string DeleteNotRemovedText(std::string_view keyPath, std::string_view name) {
    return WithoutValueLine(kNotRemovedHead, keyPath, name);
}

std::string AutoRunEnabledText(std::string_view fileName) {
    return Join({"This program (", fileName, ") will now run automatically at Windows Start-Up."});
}

std::string AutoRunDisabledText(std::string_view fileName) {
    return Join({"This program (", fileName, ") will now no-longer run automatically at Windows Start-Up."});
}

std::string AutoRunPathQuestion(std::string_view fileName, std::string_view stored, std::string_view current) {
    return Join({"The directory / path settings required to make this program (", fileName, ")", "\r\n",
                 "run automatically at Windows Start-up do not match where the program ", "\r\n",
                 "is currently being run from.", "\r\n", "\r\n", " Old      = ", stored, "\r\n", " Current = ", current,
                 "\r\n", "\r\n", "Do you want to update the Windows Registry to ", "reflect the programs current locaton ?"});
}

WriteResult RegistryWriteString(RegistryAccess& reg, AutoRunUser& user, std::string_view keyPath, std::string_view name,
                                std::string_view data) {
    if (!reg.keyExists(keyPath)) {
        user.error(KeyMissingOnWriteText(keyPath, name, data));
        return WriteResult::Failed;
    }
    if (reg.setString(keyPath, name, data) == StoreResult::AccessDenied) return WriteResult::Refused;
    // What the registry holds now, read the way every reader of the entry will read it.
    std::string back;
    try {
        back = RegistryReadString(reg, keyPath, name);
    } catch (const RegistryError&) {
        back.clear();
    }
    if (back != data) {
        user.error(WriteNotSavedText(keyPath, name, data));
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

bool RegistryDeleteValue(RegistryAccess& reg, AutoRunUser& user, std::string_view keyPath, std::string_view name) {
    if (!reg.keyExists(keyPath)) {
        user.error(KeyMissingOnDeleteText(keyPath, name));
        return false;
    }
    if (!reg.queryValue(keyPath, name)) return true;
    reg.deleteValue(keyPath, name);
    if (reg.queryValue(keyPath, name)) {
        user.error(DeleteNotRemovedText(keyPath, name));
        return false;
    }
    return true;
}

std::string RegistryReadString(RegistryAccess& reg, std::string_view keyPath, std::string_view name) {
    if (!reg.keyExists(keyPath)) return {};
    const std::optional<RegistryValue> value = reg.queryValue(keyPath, name);
    if (!value || value->size <= 0) return {};
    if (value->type != kRegSz && value->type != kRegExpandSz)
        throw RegistryError("Invalid data type for '" + std::string(name) + "'");
    const size_t nul = value->data.find('\0');
    return nul == std::string::npos ? value->data : value->data.substr(0, nul);
}

namespace {

// The entry's text in one key; a value of our name that is not a string is no Run entry of ours.
std::string ReadRunEntry(RegistryAccess& reg, const AutoRunTarget& target) {
    try {
        return RegistryReadString(reg, target.keyPath, target.valueName);
    } catch (const RegistryError&) {
        return {};
    }
}

bool SamePath(std::string_view stored, std::string_view path) {
    return AsciiUpperCase(RunEntryPath(stored)) == AsciiUpperCase(path);
}

} // namespace

std::string RunEntryText(std::string_view executablePath) { return Join({"\"", executablePath, "\""}); }

std::string_view RunEntryPath(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

bool EnableAutoRun(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target, RunHive first) {
    const std::string entry = RunEntryText(target.executablePath);
    WriteResult result = WriteResult::Refused;
    if (first == RunHive::Machine) result = RegistryWriteString(keys.machine, user, target.keyPath, target.valueName, entry);
    if (result == WriteResult::Refused) result = RegistryWriteString(keys.user, user, target.keyPath, target.valueName, entry);
    // Refused even in the user's own key (a locked-down profile): not saved, as far as the user
    // can tell.
    if (result == WriteResult::Refused) user.error(WriteNotSavedText(target.keyPath, target.valueName, entry));
    if (result != WriteResult::Written) return false;
    user.information(AutoRunEnabledText(target.valueName));
    return true;
}

bool DisableAutoRun(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target) {
    // The user's entry first: removing it never needs more rights than the user has. A user key
    // without the Run key holds no entry either, which is not worth a message.
    if (keys.user.queryValue(target.keyPath, target.valueName) &&
        !RegistryDeleteValue(keys.user, user, target.keyPath, target.valueName))
        return false;
    if (!RegistryDeleteValue(keys.machine, user, target.keyPath, target.valueName)) return false;
    user.information(AutoRunDisabledText(target.valueName));
    return true;
}

bool checkAutoRunPath(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target) {
    const std::string machine = ReadRunEntry(keys.machine, target);
    const std::string mine = ReadRunEntry(keys.user, target);
    if (machine.empty() && mine.empty()) return false;
    for (const std::string& stored : {machine, mine})
        if (!stored.empty() && SamePath(stored, target.executablePath)) return true;
    // The stale entry is updated where it is, so that no second entry with the old path stays
    // behind; one the user may not change goes to the user's key, which then matches.
    const RunHive where = machine.empty() ? RunHive::User : RunHive::Machine;
    const std::string& stored = where == RunHive::Machine ? machine : mine;
    if (user.askWarning(AutoRunPathQuestion(target.valueName, stored, target.executablePath))) {
        // The start-up goes on whatever happens here; a refusal of the registry is shown.
        try {
            EnableAutoRun(keys, user, target, where);
        } catch (const RegistryError& e) {
            user.failure(e.what());
        }
    }
    return true;
}

bool AutoRunOptionClick(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target, bool checked) {
    try {
        if (checked) return !DisableAutoRun(keys, user, target);
        return EnableAutoRun(keys, user, target);
    } catch (const RegistryError& e) {
        user.failure(e.what());
        return checked;
    }
}

} // namespace qvx::desktop
