// Registry values through the wide calls, in a key of the test prefix's own.
#include "platform/win32/registry.h"
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace qvx {
namespace {

TEST(Registry, AnyLettersRoundTripAndNothingIsEverCreated) {
    const char* key = "\\Software\\QuarvexTests\\R";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuarvexTests\\R", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    const std::string path = "C:\\\xD0\x9A\xD0\xB2\\quarvex.exe";  // a Cyrillic folder name
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, key, "quarvex.exe", path), ERROR_SUCCESS);
    const auto value = RegistryQuery(HKEY_CURRENT_USER, key, "quarvex.exe");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->size, (Widen(path).size() + 1) * sizeof(wchar_t));  // with its NUL
    EXPECT_EQ(value->data, path);
    EXPECT_TRUE(RegistryDelete(HKEY_CURRENT_USER, key, "quarvex.exe"));
    EXPECT_FALSE(RegistryQuery(HKEY_CURRENT_USER, key, "quarvex.exe"));

    EXPECT_EQ(RegistrySetString(HKEY_CURRENT_USER, "\\Software\\QuarvexTests\\Missing", "a", "b"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "\\Software\\QuarvexTests\\Missing"));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuarvexTests");
}

// A key everyone may read and nobody may write, as the machine's hive is to a standard user:
// reading asks for no more than read rights, and a write is refused as such.
TEST(Registry, AReadOnlyKeyIsReadAndItsWritesAreRefused) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuarvexTests\\Locked", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    const UniqueKey key(created);
    const std::wstring text = L"C:\\Tools\\quarvex.exe";
    ASSERT_EQ(RegSetValueExW(key.get(), L"quarvex.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    const LSTATUS locked = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    ASSERT_EQ(locked, ERROR_SUCCESS);

    const char* path = "\\Software\\QuarvexTests\\Locked";
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, path));
    const auto value = RegistryQuery(HKEY_CURRENT_USER, path, "quarvex.exe");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, "C:\\Tools\\quarvex.exe");
    EXPECT_EQ(RegistrySetString(HKEY_CURRENT_USER, path, "quarvex.exe", "D:\\quarvex.exe"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(RegistryDelete(HKEY_CURRENT_USER, path, "quarvex.exe"));
    EXPECT_EQ(RegistryQuery(HKEY_CURRENT_USER, path, "quarvex.exe")->data, "C:\\Tools\\quarvex.exe");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuarvexTests");
}

} // namespace
} // namespace qvx
