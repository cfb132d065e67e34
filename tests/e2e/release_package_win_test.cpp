// The exe from the distribution ZIP, unpacked into a folder of its own, as a user meets it: it
// starts, shows its window with the release's title, opens its readme in Notepad through the
// Help menu (keys, as a user presses them), and ends on Exit, leaving its settings beside itself.
// tests/e2e/release_zip_check.sh unpacks the ZIP and runs this with QUARVEX_RELEASE_FOLDER.
#include "e2e/program_process.h"
#include "engine/levels.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace qvx {
namespace {

using test::FindButton;
using test::FindChild;
using test::FindTopWindow;
using test::TextOf;

std::string FileText(const std::string& path) {
    std::ifstream in(Widen(path).c_str(), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// A visible Notepad window of any process whose title begins with the file's name ("quarvex.txt -
// Notepad", or "quarvex - Notepad" where extensions are hidden); its process id in `pid`.
HWND FindNotepad(const std::string& fileStem, DWORD& pid) {
    struct Search {
        std::string stem;
        HWND found;
    } s{fileStem, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            if (!IsWindowVisible(h) || _wcsicmp(test::ClassOf(h).c_str(), L"Notepad") != 0) return TRUE;
            if (TextOf(h).rfind(s->stem, 0) != 0) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    pid = 0;
    if (s.found) GetWindowThreadProcessId(s.found, &pid);
    return s.found;
}

// Every visible top-level window, as "class: title" lines: what was there when something was not.
std::string VisibleWindows() {
    std::string out;
    EnumWindows(
        [](HWND h, LPARAM lp) {
            if (IsWindowVisible(h)) *reinterpret_cast<std::string*>(lp) += "\n  " + Narrow(test::ClassOf(h)) + ": " + TextOf(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

// Closes a Notepad window and makes sure its process is gone.
void CloseNotepad(HWND window, DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) {
        if (WaitForSingleObject(process, 10000) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

TEST(ReleasePackage, TheUnpackedExeStartsOpensItsReadmeAndExits) {
    const char* folderVar = std::getenv("QUARVEX_RELEASE_FOLDER");
    if (!folderVar || !*folderVar) GTEST_SKIP() << "SKIPPED: tests/e2e/release_zip_check.sh runs this on the unpacked ZIP";
    const std::string folder = std::string(folderVar) + "\\";
    const std::string readme = folder + "quarvex.txt";
    ASSERT_FALSE(FileText(readme).empty()) << readme;
    DeleteFileW(Widen(folder + "quarvex.ini").c_str());

    test::Program program;
    ASSERT_TRUE(program.startExe(folder + "quarvex.exe", {}, folder));
    HWND window = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (window = FindTopWindow(program.pid(), L"QuarvexForm")) != nullptr; }, 30000))
        << "no main window";
    // No settings yet: the first level, as the title says.
    EXPECT_EQ(TextOf(window), std::string(engine::kMainCaptionPrefix) + "Basic / Quick  (1 Pass)");
    EXPECT_EQ(TextOf(window), engine::MainWindowCaption(0));

    // Help > View Readme file, with the keys a user would press: Alt+H, V. Under Wine, keys sent
    // while a freshly started program settles can be lost; they are sent again (after Escape has
    // closed any menu they opened) until Notepad shows up.
    DWORD notepadPid = 0;
    HWND notepad = nullptr;
    int attempts = 0;
    while (!notepad && attempts < 3) {
        ++attempts;
        ASSERT_TRUE(test::ForegroundForInput(window));
        test::SendKey('H', {VK_MENU});
        test::PumpInput();
        test::SendKey('V');
        if (test::PumpUntil([&] { return (notepad = FindNotepad("quarvex", notepadPid)) != nullptr; }, 8000)) break;
        test::SendKey(VK_ESCAPE);
        test::SendKey(VK_ESCAPE);
        test::PumpFor(300);
    }
    EXPECT_NE(notepad, nullptr) << "no Notepad window with the readme after " << attempts << " tries; windows:" << VisibleWindows();
    if (attempts > 1) std::printf("the keys reached the program at try %d\n", attempts);
    if (notepad) {
        EXPECT_NE(notepadPid, program.pid());
        // The readme itself, as Notepad shows it (its edit control holds the text).
        HWND edit = FindChild(notepad, L"Edit", [](const std::string&) { return true; });
        ASSERT_NE(edit, nullptr);
        std::string shown;
        test::PumpUntil([&] { return !(shown = TextOf(edit)).empty(); }, 5000);
        EXPECT_EQ(shown.substr(0, 200), FileText(readme).substr(0, 200));
        CloseNotepad(notepad, notepadPid);
    }
    // A try whose keys were only slow may have opened another one.
    for (int i = 0; i < 5 && (notepad = FindNotepad("quarvex", notepadPid)) != nullptr; ++i) CloseNotepad(notepad, notepadPid);

    // Exit ends the program normally; it saved its settings beside itself, as a portable copy does.
    HWND exit = FindButton(window, "Exit");
    ASSERT_NE(exit, nullptr);
    ASSERT_TRUE(PostMessageW(exit, BM_CLICK, 0, 0));
    ASSERT_EQ(WaitForSingleObject(program.process(), 20000), WAIT_OBJECT_0) << "still running after Exit";
    DWORD code = 1;
    GetExitCodeProcess(program.process(), &code);
    EXPECT_EQ(code, 0u);
    const std::string settings = FileText(folder + "quarvex.ini");
    EXPECT_NE(settings.find("[quarvex]"), std::string::npos) << settings;
    DeleteFileW(Widen(folder + "quarvex.ini").c_str());
}

} // namespace
} // namespace qvx
