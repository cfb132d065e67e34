// The open-status check and the careful delete against real files.
#include "app/file_status_win.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

void Create(const std::string& path, DWORD attributes) {
    const HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    SetFileAttributesW(Widen(path).c_str(), attributes);
}

TEST(FileStatus, HeldOpenFilesStayAndReadOnlyOnesAreDeleted) {
    // The second name has no spelling in the ANSI code page (CJK and Greek letters).
    for (const std::string name : {"file_status_probe.tmp", "\xE6\x96\x87\xE4\xBB\xB6\xCE\xA9.tmp"}) {
        const std::string path = test::ExeFolder() + name;
        EXPECT_EQ(FileOpenStatus(path), "");  // no such file
        Create(path, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(FileOpenStatus(path), "CLOSED");
        const HANDLE other = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(FileOpenStatus(path), "OPEN");
        EXPECT_FALSE(SafeDeleteFile(path));
        EXPECT_TRUE(FileExists(path));
        CloseHandle(other);

        SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        ASSERT_FALSE(DeleteFileW(Widen(path).c_str()));  // what a plain delete meets
        EXPECT_TRUE(SafeDeleteFile(path));
        EXPECT_FALSE(FileExists(path));
        EXPECT_FALSE(SafeDeleteFile(path));
    }
    EXPECT_EQ(FileOpenStatus(""), "");
    EXPECT_EQ(FileOpenStatus(test::ExeFolder()), "");  // a folder is no file
    EXPECT_EQ(FileOpenStatus("C:\\" + std::string(140, 'a') + ".tmp"), "CLOSED");  // too long to check
}

} // namespace
} // namespace qvx
