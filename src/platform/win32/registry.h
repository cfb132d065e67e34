#pragma once
// Registry values of one key, each call with its own key handle: the key is opened with only the
// rights that call needs (created only by RegistryCreateKey) and closed again on every way out,
// so that a standard user can read what the machine-wide hive holds. Key paths are given as the
// user reads them, relative to the root key; a leading backslash is allowed.
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvx {

// Opens an existing key with the given rights; empty when it is missing or access is refused.
UniqueKey OpenRegistryKey(HKEY root, std::string_view keyPath, REGSAM access);
// True when the key can be opened to query its values.
bool RegistryKeyExists(HKEY root, std::string_view keyPath);

struct RegistryData {
    DWORD type = 0;
    // Strings (REG_SZ, REG_EXPAND_SZ) as UTF-8, up to their first NUL; other types as raw bytes.
    std::string data;
    DWORD size = 0;  // stored size in bytes
};

// Stores a REG_SZ value, terminating NUL included. The system's answer: ERROR_SUCCESS,
// ERROR_ACCESS_DENIED when the caller may not write the key, ERROR_FILE_NOT_FOUND when it is
// missing, ...
LSTATUS RegistrySetString(HKEY root, std::string_view keyPath, std::string_view name, std::string_view data);
// Stores a REG_DWORD value.
LSTATUS RegistrySetDword(HKEY root, std::string_view keyPath, std::string_view name, DWORD data);
// Creates the key (and the keys above it) where it is missing; the system's answer.
LSTATUS RegistryCreateKey(HKEY root, std::string_view keyPath);
// The value; nothing when the key or the value is missing or cannot be read.
std::optional<RegistryData> RegistryQuery(HKEY root, std::string_view keyPath, std::string_view name);
// Deletes a value; true when the registry reported success.
bool RegistryDelete(HKEY root, std::string_view keyPath, std::string_view name);

} // namespace qvx
