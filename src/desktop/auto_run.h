#pragma once
// Auto-run at Windows start-up: a string value under the machine-wide Run key, named after the
// executable's file name and holding its full path. Writing the machine-wide key needs
// administrator rights; where the registry refuses it, the same value goes under the current
// user's Run key instead, and an entry in either key counts. The registry primitives, the
// start-up check and the menu toggle are written against two small interfaces (the registry
// and the user's message boxes) so that every decision can be tested without Windows.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qvx::desktop {

inline constexpr char kRunKeyPath[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Registry value types the read accepts.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;

// An error of the registry layer ("Failed to set data for '...'", "Invalid data type for '...'").
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RegistryValue {
    std::uint32_t type = 0;
    std::string data;  // a string value's text up to its first NUL; raw bytes otherwise
    std::int64_t size = 0;  // the stored size in bytes
};

enum class StoreResult {
    Stored,
    AccessDenied,  // the caller may not write the key (a standard user and the machine's hive)
};

// Access to one root key. Every call opens the key it needs with only the rights it needs
// (never creating it) and closes it again before returning.
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;
    // True when the key can be opened to query its values.
    virtual bool keyExists(std::string_view keyPath) = 0;
    // Stores a string value; throws RegistryError when the registry fails for any other reason
    // than missing rights.
    virtual StoreResult setString(std::string_view keyPath, std::string_view name, std::string_view data) = 0;
    // The value, or nothing when the key or the value is missing or cannot be queried.
    virtual std::optional<RegistryValue> queryValue(std::string_view keyPath, std::string_view name) = 0;
    // Deletes the value (its result is not needed: the caller checks afterwards).
    virtual void deleteValue(std::string_view keyPath, std::string_view name) = 0;
};

// The user's side: modal message boxes.
class AutoRunUser {
public:
    virtual ~AutoRunUser() = default;
    virtual void error(const std::string& text) = 0;        // error icon, OK
    virtual void information(const std::string& text) = 0;  // information icon, OK
    virtual bool askWarning(const std::string& text) = 0;   // warning icon, Yes/No; true on Yes
    // The application's standard error box, for errors of the registry layer.
    virtual void failure(const std::string& text) = 0;
};

// The Run key under both root keys: the machine's, and the current user's for a user who may
// not write the machine's.
struct RunKeys {
    RegistryAccess& machine;
    RegistryAccess& user;
};
enum class RunHive { Machine, User };

// Where the Run entry lives and what it names.
struct AutoRunTarget {
    std::string keyPath = kRunKeyPath;  // shown as written; the Win32 side drops the leading '\'
    std::string valueName;              // the executable's file name
    std::string executablePath;         // its full path
};

// The file name of a full path (after the last backslash).
std::string FileNameOfPath(std::string_view path);
// Upper case of the ASCII letters a..z only; every other byte is kept.
std::string AsciiUpperCase(std::string_view text);
// The Run entry's text for a path: in double quotes, so that Windows cannot take
// "C:\Program.exe" for the program of "C:\Program Files\...".
std::string RunEntryText(std::string_view executablePath);
// The path a Run entry's text names, with or without its quotes (earlier versions wrote none).
std::string_view RunEntryPath(std::string_view text);

// --- message texts ---------------------------------------------------------------------------
// The registry layer's error when it refuses to store a value.
std::string RegistrySetFailedText(std::string_view name);
std::string KeyMissingOnWriteText(std::string_view keyPath, std::string_view name, std::string_view data);   // W1
std::string WriteNotSavedText(std::string_view keyPath, std::string_view name, std::string_view data);       // W2
std::string KeyMissingOnDeleteText(std::string_view keyPath, std::string_view name);                         // D1
std::string DeleteNotRemovedText(std::string_view keyPath, std::string_view name);                           // D2
std::string AutoRunEnabledText(std::string_view fileName);
std::string AutoRunDisabledText(std::string_view fileName);
std::string AutoRunPathQuestion(std::string_view fileName, std::string_view stored, std::string_view current);

// --- registry primitives -----------------------------------------------------------------------
enum class WriteResult {
    Written,  // stored and read back equal
    Refused,  // the caller may not write the key; nothing was shown
    Failed,   // W1 or W2 was shown
};
WriteResult RegistryWriteString(RegistryAccess& reg, AutoRunUser& user, std::string_view keyPath, std::string_view name,
                                std::string_view data);
// True when no value of that name exists afterwards; shows D1 or D2 otherwise. A value that is
// not there is not deleted, so that no write access is asked for.
bool RegistryDeleteValue(RegistryAccess& reg, AutoRunUser& user, std::string_view keyPath, std::string_view name);
// The value's text; empty when the key or the value is missing or empty. Throws RegistryError
// for a value that is not a string.
std::string RegistryReadString(RegistryAccess& reg, std::string_view keyPath, std::string_view name);

// --- operations --------------------------------------------------------------------------------
// Writes the entry under `first`; a refused machine-wide write goes to the user's key instead.
bool EnableAutoRun(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target, RunHive first = RunHive::Machine);
// Removes the entry from both keys.
bool DisableAutoRun(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target);
// True when a Run entry exists for the executable's file name in either key. When none names
// the current path the user is asked whether to update it.
bool checkAutoRunPath(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target);
// The menu item's click: a checked item deletes the entry, an unchecked one writes it. Returns
// the new check mark (unchanged when the operation failed).
bool AutoRunOptionClick(RunKeys keys, AutoRunUser& user, const AutoRunTarget& target, bool checked);

} // namespace qvx::desktop
