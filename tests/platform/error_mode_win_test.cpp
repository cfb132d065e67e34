// The program's error mode: set once at the start, and never lost by the queries that raise it
// for their own length.
#include "app/file_status_win.h"
#include "drive/drive_info_win.h"
#include "drive/drive_texts.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

constexpr UINT kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
constexpr std::uint8_t kMissingDrive = 'F' - 64;  // mapped by the runner to a folder that does not exist

TEST(ErrorMode, TheProgramsModeSurvivesEveryQueryAndAQueryStillRestoresAnyMode) {
    const UINT before = GetErrorMode();
    SuppressSystemErrorBoxes();
    const UINT program = GetErrorMode();
    EXPECT_EQ(program & kQuiet, kQuiet);
    {
        const FailCriticalErrorsScope quiet;  // raises, never lowers, what is set
        EXPECT_EQ(GetErrorMode(), program);
    }
    const DWORD threadMode = GetThreadErrorMode();
    const DriveAnswers missing = AskDrive(kMissingDrive);
    EXPECT_EQ(DiskSpaceText(missing, FormatSettings{}), "0");
    EXPECT_EQ(GetThreadErrorMode(), threadMode);  // the drive's questions raised it for their length only
    const std::string held = test::ExeFolder() + "error_mode_held.tmp";
    {
        const UniqueFile file(CreateFileW(Widen(held).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        EXPECT_EQ(FileOpenStatus(held), "OPEN");
    }
    DeleteFileW(Widen(held).c_str());
    EXPECT_EQ(GetErrorMode(), program);

    // From a mode with neither flag, a query fails critical errors only for its length.
    SetErrorMode(0);
    {
        const FailCriticalErrorsScope quiet;
        EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
    }
    EXPECT_EQ(GetErrorMode(), 0u);
    SetErrorMode(before);
}

} // namespace
} // namespace qvx
