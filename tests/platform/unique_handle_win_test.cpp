// The one owner of Win32 handles: it frees what it holds exactly once, when it is reset, assigned
// or destroyed, never what it gave up; and each kind knows its own "no handle".
#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>

namespace qvx {
namespace {

bool IsOpenKernelHandle(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

TEST(UniqueHandle, FreesWhatItHoldsOnceAndNeverWhatItGaveUp) {
    UniqueBrush a(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH first = a.get();
    ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));
    UniqueBrush b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), first);
    a.reset();  // empty: frees nothing
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));

    b = UniqueBrush(CreateSolidBrush(RGB(4, 5, 6)));  // the assigned-over brush goes
    EXPECT_EQ(GetObjectType(first), 0u);
    const HBRUSH second = b.release();
    EXPECT_FALSE(b);
    b.reset();
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(second);

    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = event.get();
    ASSERT_TRUE(IsOpenKernelHandle(raw));
    event.reset();
    EXPECT_FALSE(IsOpenKernelHandle(raw));

    // A file handle's "none" is INVALID_HANDLE_VALUE, a window context's is a null context.
    EXPECT_FALSE(UniqueFile(INVALID_HANDLE_VALUE));
    EXPECT_TRUE(UniqueFile(CreateFileW(L"NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    EXPECT_FALSE(OwnWindowDc(nullptr, nullptr));
    const UniqueWindowDc screen = OwnWindowDc(nullptr, GetDC(nullptr));
    EXPECT_TRUE(screen);
    EXPECT_EQ(GetObjectType(screen.get().dc), static_cast<DWORD>(OBJ_DC));
}

TEST(UniqueHandle, AWindowGoesWithItsOwner) {
    UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr));
    const HWND hwnd = window.get();
    ASSERT_TRUE(IsWindow(hwnd));
    { const UniqueWindow moved = std::move(window); }
    EXPECT_FALSE(IsWindow(hwnd));
}

} // namespace
} // namespace qvx
