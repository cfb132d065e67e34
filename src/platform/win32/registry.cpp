#include "platform/win32/registry.h"

#include "platform/win32/wide_text.h"

#include <vector>

namespace qvx {

namespace {
// The Win32 calls take paths relative to the root key: no leading backslash.
std::wstring RelativeKeyPath(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
    return Widen(keyPath);
}

LSTATUS OpenKey(HKEY root, std::string_view keyPath, REGSAM access, UniqueKey& out) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(root, RelativeKeyPath(keyPath).c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) out = UniqueKey(key);
    return status;
}
} // namespace

UniqueKey OpenRegistryKey(HKEY root, std::string_view keyPath, REGSAM access) {
    UniqueKey key;
    OpenKey(root, keyPath, access, key);
    return key;
}

bool RegistryKeyExists(HKEY root, std::string_view keyPath) {
    return static_cast<bool>(OpenRegistryKey(root, keyPath, KEY_QUERY_VALUE));
}

LSTATUS RegistrySetString(HKEY root, std::string_view keyPath, std::string_view name, std::string_view data) {
    UniqueKey key;
    if (const LSTATUS status = OpenKey(root, keyPath, KEY_SET_VALUE, key); status != ERROR_SUCCESS) return status;
    const std::wstring text = Widen(data);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

LSTATUS RegistrySetDword(HKEY root, std::string_view keyPath, std::string_view name, DWORD data) {
    UniqueKey key;
    if (const LSTATUS status = OpenKey(root, keyPath, KEY_SET_VALUE, key); status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

LSTATUS RegistryCreateKey(HKEY root, std::string_view keyPath) {
    HKEY raw = nullptr;
    const LSTATUS status = RegCreateKeyExW(root, RelativeKeyPath(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_QUERY_VALUE, nullptr, &raw, nullptr);
    const UniqueKey key(status == ERROR_SUCCESS ? raw : nullptr);
    return status;
}

std::optional<RegistryData> RegistryQuery(HKEY root, std::string_view keyPath, std::string_view name) {
    const UniqueKey key = OpenRegistryKey(root, keyPath, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    const std::wstring valueName = Widen(name);
    RegistryData result;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &result.type, nullptr, &result.size) != ERROR_SUCCESS)
        return std::nullopt;
    // One spare wide character so that a string stored without its NUL still ends.
    std::vector<BYTE> buffer(result.size + sizeof(wchar_t), 0);
    DWORD size = result.size;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &result.type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    result.size = size;
    if (result.type == REG_SZ || result.type == REG_EXPAND_SZ) {
        const auto* text = reinterpret_cast<const wchar_t*>(buffer.data());
        result.data = Narrow(std::wstring_view(text, wcsnlen(text, size / sizeof(wchar_t))));
    } else {
        result.data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    }
    return result;
}

bool RegistryDelete(HKEY root, std::string_view keyPath, std::string_view name) {
    const UniqueKey key = OpenRegistryKey(root, keyPath, KEY_SET_VALUE);
    if (!key) return false;
    return RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

} // namespace qvx
