// quarvex.exe started with a command line, as Task Scheduler or a script starts it, for what
// needs its window from outside: closing it mid-run, the confirmation without /yes, a second
// copy on the same drive. Each test leaves the record lines its runs appended in
// QUARVEX_RECORDS_DIR, where tests/e2e/command_line_check.sh reads them with a real JSON
// parser; without that folder these tests are skipped.
#include "e2e/program_process.h"
#include "e2e/scratch_drive.h"
#include "engine/run_messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qvx {
namespace {

using test::FindTopWindow;
using test::kMessageTextId;
using test::Program;
using test::ProgramFolder;
using test::TextOf;

class CommandLineRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        letter = test::TmpfsDrive(&why);
        if (!letter) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << why;
        const char* records = std::getenv("QUARVEX_RECORDS_DIR");
        if (!records || !*records) GTEST_SKIP() << "SKIPPED: tests/e2e/command_line_check.sh runs these";
        recordsDir = records;
        ASSERT_FALSE(ProgramFolder().empty()) << "run through ctest (QUARVEX_BUILD_DIR)";
        test::EmptyScratchDrive(letter);
        DeleteFileW(Widen(ProgramFolder() + "quarvex.ini").c_str());
        DeleteFileW(recordPath().c_str());
    }
    void TearDown() override {
        if (recordsDir.empty()) return;
        // What the runs recorded, for the script's JSON check.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CopyFileW(recordPath().c_str(), Widen(recordsDir + "\\" + name + ".jsonl").c_str(), FALSE);
        DeleteFileW(recordPath().c_str());
        DeleteFileW(Widen(ProgramFolder() + "quarvex.ini").c_str());
        test::EmptyScratchDrive(letter);
    }

    std::wstring recordPath() const { return Widen(ProgramFolder() + "quarvex-runs.log"); }
    std::string drive() const { return std::string(1, letter) + ":"; }
    int recordLines() const {
        std::ifstream in(recordPath().c_str(), std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        const std::string text = all.str();
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    static HWND waitForWindow(Program& program) {
        HWND window = nullptr;
        test::PumpUntil([&] { return (window = FindTopWindow(program.pid(), L"QuarvexForm")) != nullptr; }, 30000);
        return window;
    }
    // The exit code once the program has ended; -1 when it did not within the time.
    static long exitCodeOf(Program& program, DWORD timeoutMs = 30000) {
        if (WaitForSingleObject(program.process(), timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(program.process(), &code);
        return static_cast<long>(code);
    }
    bool waitForFillFile() {
        return test::PumpUntil([&] { return !test::FillFilesOn(letter).empty(); }, 30000);
    }
    static void press(HWND box, int button) { PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0); }

    char letter = 0;
    std::string recordsDir;
};

TEST_F(CommandLineRunTest, ClosingTheWindowMidRunExitsWithOneAndRecordsAnAbort) {
    Program program;
    ASSERT_TRUE(program.start("/sanitize " + drive() + " /level 4 /yes /exit"));
    HWND window = waitForWindow(program);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitForFillFile()) << "the run did not start by itself";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeOf(program), 1);
    EXPECT_TRUE(test::FillFilesOn(letter).empty());
    EXPECT_EQ(recordLines(), 1);
}

TEST_F(CommandLineRunTest, WithoutYesTheConfirmationIsAskedAndNoLeavesTheWindowIdle) {
    Program program;
    ASSERT_TRUE(program.start("-SANITIZE " + drive() + " -Level 1"));
    HWND box = program.waitForBox("Confirm");
    ASSERT_NE(box, nullptr) << "no confirmation";
    const std::string text = TextOf(GetDlgItem(box, kMessageTextId));
    EXPECT_NE(text.find("\"" + std::string(1, letter) + ":\" drive"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Medium  (3 Passes)\""), std::string::npos) << text;
    press(box, IDNO);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(box); }, 10000));
    HWND window = waitForWindow(program);
    ASSERT_NE(window, nullptr);
    test::PumpFor(300);
    EXPECT_EQ(WaitForSingleObject(program.process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));  // still there
    EXPECT_EQ(TextOf(window), "Quarvex v2.0f    -  Medium  (3 Passes)");
    EXPECT_TRUE(test::FillFilesOn(letter).empty());
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeOf(program), 0);
    EXPECT_EQ(recordLines(), 0);  // no run, no record
}

TEST_F(CommandLineRunTest, ASecondCopyOnTheSameDriveStartsNoRunThere) {
    Program first;
    ASSERT_TRUE(first.start("/sanitize " + drive() + " /level 4 /yes /exit"));
    HWND window = waitForWindow(first);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitForFillFile());

    Program second;
    ASSERT_TRUE(second.start("/sanitize " + drive() + " /level 0 /yes /exit"));
    EXPECT_EQ(exitCodeOf(second), 2);

    // Without /exit the second copy says so in a box and stays idle.
    Program third;
    ASSERT_TRUE(third.start("/sanitize " + drive() + " /yes"));
    HWND box = third.waitForBox("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(box, kMessageTextId)), engine::DriveBusyText(letter));
    press(box, IDOK);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(box); }, 10000));
    HWND thirdWindow = waitForWindow(third);
    ASSERT_NE(thirdWindow, nullptr);
    PostMessageW(thirdWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeOf(third), 0);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCodeOf(first), 1);
    EXPECT_TRUE(test::FillFilesOn(letter).empty());
    EXPECT_EQ(recordLines(), 2);  // the second copy's error, the first one's abort
}

} // namespace
} // namespace qvx
