// The program as its own process, driven from outside the way an automation tool drives it:
// find the window, pick the drive and the level, press Sanitize, answer the real boxes. Then
// kill it hard in the middle of a pass, and let a later run sweep up what a power cut left.
#include "e2e/program_process.h"
#include "e2e/scratch_drive.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace qvx {
namespace {

using test::FindButton;
using test::FindChild;
using test::FindTopWindow;
using test::kMessageTextId;
using test::Program;
using test::ProgramFolder;
using test::TextOf;

class QuarvexProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        letter = test::TmpfsDrive(&why);
        if (!letter) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << why;
        ASSERT_FALSE(ProgramFolder().empty()) << "run through ctest (QUARVEX_BUILD_DIR)";
        test::EmptyScratchDrive(letter);
        // The program keeps its settings next to itself; every test starts from none.
        settings = Widen(ProgramFolder() + "quarvex.ini");
        DeleteFileW(settings.c_str());
    }
    void TearDown() override {
        for (HANDLE h : held) CloseHandle(h);
        if (letter) test::EmptyScratchDrive(letter);
        DeleteFileW(settings.c_str());
    }

    // Starts the program and, through its window, selects the test drive and a level.
    HWND startOn(Program& program, const std::string& levelCaption) {
        if (!program.start()) return nullptr;
        HWND window = nullptr;
        test::PumpUntil([&] { return (window = FindTopWindow(program.pid(), L"QuarvexForm")) != nullptr; }, 30000);
        if (!window) return nullptr;

        const char lower = engine::LowerDriveLetter(letter);
        HWND combo = FindChild(window, L"ComboBox", [](const std::string&) { return true; });
        if (!combo) return nullptr;
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 256) continue;
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            if (item[0] != static_cast<wchar_t>(lower) || item[1] != L':') continue;
            SendMessageW(combo, CB_SETCURSEL, i, 0);
            // What the list itself tells its parent when the user picks an item.
            SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
        }
        HWND level = FindButton(window, levelCaption);
        if (!level) return nullptr;
        SendMessageW(level, BM_CLICK, 0, 0);
        return window;
    }
    // Presses Sanitize without waiting for the run, and answers the confirmation with Yes.
    bool sanitize(Program& program, HWND window, const std::string& expectDriveAndLevel) {
        HWND button = FindButton(window, "Sanitize");
        if (!button || !PostMessageW(button, BM_CLICK, 0, 0)) return false;
        HWND box = program.waitForBox("Confirm");
        if (!box) return false;
        const std::string text = TextOf(GetDlgItem(box, kMessageTextId));
        EXPECT_NE(text.find(expectDriveAndLevel), std::string::npos) << text;
        HWND yes = GetDlgItem(box, IDYES);
        return yes && PostMessageW(yes, BM_CLICK, 0, 0);
    }
    std::string driveInText() const { return std::string("\"") + letter + ":\""; }
    // The drive's root as the host sees it, through Z: (independent of the drive mapping).
    std::vector<test::DriveEntry> fillFilesOnHost() const {
        std::string host = "Z:" + test::TmpfsHostPath() + "/";
        for (char& c : host)
            if (c == '/') c = '\\';
        std::vector<test::DriveEntry> out;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(Widen(host + "*.tmp").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return out;
        do {
            const std::string name = Narrow(data.cFileName);
            if (engine::IsFillFileName(name)) out.push_back({name, 0, data.dwFileAttributes});
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return out;
    }

    char letter = 0;
    std::wstring settings;
    std::vector<HANDLE> held;
};

TEST_F(QuarvexProcessTest, KillingTheProgramInTheMiddleOfAPassLeavesNoFillFile) {
    const std::int64_t freeAtStart = test::FreeBytesOn(letter);
    Program program;
    HWND window = startOn(program, "Department of Defense  (35 Passes)");
    ASSERT_NE(window, nullptr) << "could not drive the program's window";
    EXPECT_EQ(TextOf(window), "Quarvex v2.0f    -  Department of Defense  (35 Passes)");
    ASSERT_TRUE(sanitize(program, window, driveInText() + " drive"));

    // Wait for a fill file of some size, then freeze the program so that the file is surely
    // there when the kill comes (a pass deletes its file at its end).
    std::vector<test::DriveEntry> seen;
    const auto grown = [&] {
        seen = test::FillFilesOn(letter);
        return !seen.empty() && seen[0].size >= 8 << 20;
    };
    ASSERT_TRUE(test::PumpUntil(grown, 20000));
    ASSERT_NE(SuspendThread(program.mainThread()), static_cast<DWORD>(-1));
    seen = test::FillFilesOn(letter);
    ASSERT_FALSE(seen.empty());
    EXPECT_FALSE(fillFilesOnHost().empty());
    const std::int64_t sizeAtKill = seen[0].size;

    ASSERT_TRUE(TerminateProcess(program.process(), 9));
    ASSERT_EQ(WaitForSingleObject(program.process(), 10000), WAIT_OBJECT_0);
    const ULONGLONG killed = GetTickCount64();
    const bool gone = test::PumpUntil([&] { return test::FillFilesOn(letter).empty() && fillFilesOnHost().empty(); }, 5000);
    const ULONGLONG goneMs = GetTickCount64() - killed;
    EXPECT_TRUE(gone) << test::FillFilesOn(letter).size() << " fill file(s) left after the kill";
    // The space comes back once the killed process's last descriptor is gone too.
    EXPECT_TRUE(test::PumpUntil([&] { return test::FreeBytesOn(letter) == freeAtStart; }, 5000))
        << test::FreeBytesOn(letter) << " bytes free, " << freeAtStart << " before the run";
    const ULONGLONG freeMs = GetTickCount64() - killed;
    std::printf("killed with %zu fill file(s) of %lld bytes on the drive; %zu left after %llu ms, space back after %llu ms\n",
                seen.size(), static_cast<long long>(sizeAtKill), test::FillFilesOn(letter).size(), goneMs, freeMs);
}

TEST_F(QuarvexProcessTest, ARunSweepsUpLeftoversThatNobodyHoldsAndSaysHowMany) {
    // What a power cut would leave: three fill files of an earlier run, one of them read-only,
    // and one that another program (this test) holds open.
    const auto name = [&](int n) { return engine::FillFileName(letter, n); };
    ASSERT_TRUE(test::PlantFile(name(1), 1 << 20));
    ASSERT_TRUE(test::PlantFile(name(2), 4096));
    ASSERT_TRUE(test::PlantFile(name(999), 4096, /*readOnly=*/true));
    ASSERT_TRUE(test::PlantFile(name(500), 4096));
    HANDLE h = CreateFileW(Widen(name(500)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    held.push_back(h);

    Program program;
    HWND window = startOn(program, "Basic / Quick  (1 Pass)");
    ASSERT_NE(window, nullptr) << "could not drive the program's window";
    ASSERT_TRUE(sanitize(program, window, driveInText() + " drive"));

    HWND box = program.waitForBox("Information", 60000);
    ASSERT_NE(box, nullptr) << "no completion message";
    const std::string text = TextOf(GetDlgItem(box, kMessageTextId));
    const std::string expectedEnd = "\r\n\r\n3 fill files left behind by an earlier, interrupted run were found and removed.";
    EXPECT_EQ(text.rfind("All Free Disk Space on the " + driveInText() + " drive has been sanitized", 0), 0u) << text;
    ASSERT_GE(text.size(), expectedEnd.size());
    EXPECT_EQ(text.substr(text.size() - expectedEnd.size()), expectedEnd);
    const std::vector<test::DriveEntry> left = test::FillFilesOn(letter);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, name(500).substr(3));

    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    PostMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(box); }, 10000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.process(), 20000), WAIT_OBJECT_0);
}

} // namespace
} // namespace qvx
