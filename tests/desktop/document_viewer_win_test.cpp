// The Help menu's documents: the readme and the catalog reach Notepad's command line, the
// messages when something is missing, and one real start of Notepad.
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"
#include "desktop/document_viewer.h"
#include "desktop/document_viewer_win.h"
#include "platform/win32/shell.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

namespace qvx {
namespace {

class DocumentViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        DeleteFileW(Widen(test::ExeFolder() + "quarvex.ini").c_str());
        DeleteFileW(Widen(catalog).c_str());
        previousShell_ = SetShellHook([this](const ShellCall& call) { commandLines.push_back(call.target); });
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        about = std::make_unique<AboutBox>();
        form->setAboutBox(about.get());
        form->show();
    }
    void TearDown() override {
        form->setAboutBox(nullptr);
        about.reset();
        form.reset();
        SetShellHook(std::move(previousShell_));
        DeleteFileW(Widen(catalog).c_str());
        test::ResetApplication();
    }
    void Menu(ui::MenuItem& item) { SendMessageW(form->handle(), WM_COMMAND, MAKEWPARAM(item.commandId(), 0), 0); }

    const std::string catalog = test::ExeFolder() + "catalog.txt";
    test::MessageBoxRecorder boxes;
    std::vector<std::string> commandLines;
    std::function<void(const ShellCall&)> previousShell_;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<AboutBox> about;
};

TEST_F(DocumentViewerTest, HelpMenuHandsTheReadmeAndTheCatalogToNotepad) {
    // The readme is named after the executable (win_tests.exe); the hidden spare item opens it too.
    Menu(form->readmeItem);
    form->viewReadme();
    const std::string readme = "Notepad.exe " + test::ExeFolder() + "win_tests.txt";
    EXPECT_EQ(commandLines, (std::vector<std::string>{readme, readme}));

    // No catalog: only the message, with the product name the About box shows.
    commandLines.clear();
    about->productNameLabel.setCaption("Quarvex Test Edition");
    Menu(form->catalogItem);
    EXPECT_TRUE(commandLines.empty());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Information);
    EXPECT_EQ(boxes.last().text, CatalogMissingMessage("Quarvex Test Edition"));

    std::ofstream(catalog) << "catalog\r\n";
    Menu(form->catalogItem);
    EXPECT_EQ(commandLines, (std::vector<std::string>{"Notepad.exe " + catalog}));
    EXPECT_EQ(boxes.count(), 1u);
}

TEST_F(DocumentViewerTest, MissingNotepadEmptyPathAndLongPaths) {
    ViewTextFileInNotepad("C:\\readme.txt", test::ExeFolder() + "no-windows-here");
    ViewTextFileInNotepad("");
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.calls()[0].text, "Windows Notepad could not be found.");
    EXPECT_EQ(boxes.calls()[1].text, "No Log File to View.");
    EXPECT_TRUE(commandLines.empty());
    // Blanks stay unquoted; a path too long for a 144-character line is not cut.
    const std::string deep = "C:\\" + std::string(180, 'd') + "\\quarvex.txt";
    ViewTextFileInNotepad("C:\\My Documents\\read me.txt");
    ViewTextFileInNotepad(deep);
    EXPECT_EQ(commandLines, (std::vector<std::string>{"Notepad.exe C:\\My Documents\\read me.txt", "Notepad.exe " + deep}));
}

TEST_F(DocumentViewerTest, ARealNotepadOpensTheReadme) {
    SetShellHook(nullptr);  // this time for real
    const std::string readme = test::ExeFolder() + "win_tests.txt";
    std::ofstream(readme) << "The readme of the test program.\r\n";
    ViewReadmeFile();
    EXPECT_EQ(boxes.count(), 0u);
    static HWND found;
    found = nullptr;
    test::PumpUntil([&] {
        EnumWindows([](HWND h, LPARAM) -> BOOL {
            wchar_t cls[64] = {}, title[512] = {};
            GetClassNameW(h, cls, 64);
            GetWindowTextW(h, title, 512);
            if (_wcsicmp(cls, L"Notepad") != 0 || !wcsstr(title, L"win_tests") || !IsWindowVisible(h)) return TRUE;
            found = h;
            return FALSE;
        }, 0);
        return found != nullptr;
    }, 20000);
    ASSERT_NE(found, nullptr) << "no Notepad window showing win_tests.txt";
    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
    DeleteFileW(Widen(readme).c_str());
}

} // namespace
} // namespace qvx
