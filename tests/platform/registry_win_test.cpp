// Registry values through the wide calls, in a key of the test prefix's own.
#include "platform/win32/registry.h"
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace qvx
