// The main window's settings file, Restore Factory Defaults, layout scaling, always on top and
// the auto-run option, through the real window, a real settings file and the test prefix's
// registry.
#include "app/main_form_win.h"
#include "desktop/auto_run_win.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/registry.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <sstream>

namespace qvx {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kRunName = Widen(desktop::FileNameOfPath(ExecutablePath()));
using Lines = std::vector<std::pair<std::string, std::string>>;

class SettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override {
        form.reset();
        Clean();
    }
    static void Clean() {
        test::ResetApplication();
        for (const std::string& path : {MainForm::settingsPath(), MainForm::userSettingsPath()}) {
            const std::wstring ini = Widen(path);
            SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(ini.c_str());
            RemoveDirectoryW(ini.c_str());
        }
        RemoveDirectoryW(Widen(UserFolder()).c_str());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunName.c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunName.c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\QuarvexTests");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuarvexTests");
        desktop::SetAutoRunTargetOverride(std::nullopt);
    }
    void Start() {
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        form->show();
    }
    void Close() {
        form->close();
        EXPECT_TRUE(ui::Application::instance().terminated());
        form.reset();
        test::ResetApplication();
    }

    static std::string UserFolder() {
        const std::string path = MainForm::userSettingsPath();
        return path.substr(0, path.find_last_of('\\'));
    }
    static void WriteIni(const std::string& lines) {
        std::ofstream(Widen(MainForm::settingsPath()).c_str(), std::ios::binary) << "[quarvex]\r\n" << lines;
    }
    // The file's key=value lines in its order, read as plain text.
    static Lines IniLines(const std::string& path = MainForm::settingsPath()) {
        std::ifstream in(Widen(path).c_str(), std::ios::binary);
        Lines lines;
        for (std::string line; std::getline(in, line);) {
            if (const size_t eq = line.find('='); eq != std::string::npos)
                lines.emplace_back(line.substr(0, eq), line.substr(eq + 1, line.find('\r') - eq - 1));
        }
        return lines;
    }
    static bool IniExists(const std::string& path = MainForm::settingsPath()) {
        return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string Value(const Lines& lines, const std::string& key) {
        for (const auto& [k, v] : lines)
            if (k == key) return v;
        return "<none>";
    }

    static void SetRunEntry(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunName.c_str(), type, data, size), ERROR_SUCCESS);
    }
    static void SetRunEntry(const std::string& text) {
        const std::wstring w = Widen(text);
        SetRunEntry(REG_SZ, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
    }
    // The Run entry's text (with its stored byte count), or "<none>".
    static std::string RunEntry(DWORD* bytes = nullptr) {
        wchar_t buf[1024] = {};
        DWORD size = sizeof(buf);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunKey, kRunName.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
            return "<none>";
        if (bytes) *bytes = size;
        return Narrow(buf);
    }

    // Left, top, width, height: of the window on the screen, of a control in its parent.
    std::array<int, 4> Bounds() const { return PlaceOf(form->handle()); }
    static std::array<int, 4> PlaceOf(HWND hwnd) {
        RECT r;
        GetWindowRect(hwnd, &r);
        if (HWND parent = GetParent(hwnd)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    bool Topmost() const { return (GetWindowLongW(form->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool AutoRunChecked() const { return form->autoRunItem.checked(); }

    test::MessageBoxRecorder boxes;
    std::unique_ptr<MainForm> form;
};

TEST_F(SettingsFormTest, DefaultsThenMaximizedTopmostDriveAndLevelSurviveACloseAndANewWindow) {
    Start();
    EXPECT_EQ(Bounds(), (std::array<int, 4>{100, 100, 602, 427}));
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(form->driveList.drive(), 'c');
    form->alwaysOnTopItem.click();
    EXPECT_TRUE(Topmost());
    form->alwaysOnTopItem.click();
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(form->alwaysOnTopItem.checked());

    form->setBounds(150, 120, 700, 500);
    form->alwaysOnTopItem.click();
    form->driveList.setDrive('u');
    form->levelGroup.setItemIndex(3);
    form->setWindowState(ui::WindowState::Maximized);
    form->close();
    EXPECT_FALSE(IsZoomed(form->handle()));  // restored before its geometry was written
    form.reset();
    test::ResetApplication();
    EXPECT_EQ(IniLines(), (Lines{{"WindowState_wsMaximized", "1"}, {"window_top_posn", "120"}, {"window_left_posn", "150"},
                                 {"window_Width", "700"}, {"window_Height", "500"}, {"Always_on_Top_Option", "1"},
                                 {"Auto_Run_at_Windows_Startup_Option", "0"}, {"DriveComboBox1", "u"},
                                 {"Sanitization_Level_RadioGroup", "3"}}));
    EXPECT_FALSE(IniExists(UserFolder()));  // a folder the program may write keeps the file

    Start();
    EXPECT_TRUE(IsZoomed(form->handle()));
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(form->alwaysOnTopItem.checked());
    EXPECT_EQ(form->driveList.drive(), 'u');
    EXPECT_EQ(form->levelGroup.itemIndex(), 3);
    form->setWindowState(ui::WindowState::Normal);
    EXPECT_EQ(Bounds(), (std::array<int, 4>{150, 120, 700, 500}));
    EXPECT_EQ(boxes.count(), 0u);
}

// The size in the file is in 96-DPI units at every scale: the client area at 96 DPI with the
// 96-DPI frame around it. It opens scaled, is written back unchanged, and a window that moved to
// a monitor at another scale is written at the same apparent size.
TEST_F(SettingsFormTest, TheSizeIsKeptIn96DpiUnitsAndComesBackUnchangedFromAnyScale) {
    // (A size that fits the test display at 200 %.)
    WriteIni("window_Width=620\r\nwindow_Height=460\r\n");
    Start();
    const int dpi = test::CheckedDpi(form->handle());
    const RECT frame96 = ui::WindowRectForClient({0, 0, 0, 0}, GetWindowLongW(form->handle(), GWL_STYLE), true,
                                                 GetWindowLongW(form->handle(), GWL_EXSTYLE), 96);
    EXPECT_EQ(form->clientWidth(), ui::ScaleForDpi(620 - (frame96.right - frame96.left), dpi));
    EXPECT_EQ(form->clientHeight(), ui::ScaleForDpi(460 - (frame96.bottom - frame96.top), dpi));
    const auto size = [] { return Lines{{"window_Width", Value(IniLines(), "window_Width")}, {"window_Height", Value(IniLines(), "window_Height")}}; };
    const Lines written{{"window_Width", "620"}, {"window_Height", "460"}};
    for (int cycle = 0; cycle < 3; ++cycle) {
        Close();
        EXPECT_EQ(size(), written) << cycle;
        Start();
    }
    // Moved to a monitor at another scale, with its client area scaled alike.
    const int other = test::OtherDpi(dpi);
    RECT r;
    GetWindowRect(form->handle(), &r);
    r.right += ui::MulDivRounded(form->clientWidth(), other, dpi) - form->clientWidth();
    r.bottom += ui::MulDivRounded(form->clientHeight(), other, dpi) - form->clientHeight();
    SendMessageW(form->handle(), WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&r));
    Close();
    EXPECT_EQ(size(), written);
}

TEST_F(SettingsFormTest, ValueRulesAndUnusableValuesAtStartUp) {
    WriteIni("window_Width=0x300\r\nwindow_Height=$1A0\r\nDriveComboBox1=D\r\nSanitization_Level_RadioGroup=9\r\n");
    Start();
    EXPECT_EQ(Bounds(), (std::array<int, 4>{100, 100, 768, 416}));
    EXPECT_EQ(form->driveList.drive(), 'd');
    EXPECT_EQ(form->levelGroup.itemIndex(), 5);
    Close();
    const Lines written = IniLines();  // keys already in the file keep their place
    EXPECT_NE(std::find(written.begin(), written.end(), std::pair<std::string, std::string>{"DriveComboBox1", "d"}), written.end());

    // A lower-case letter, a negative level, a place on no monitor.
    WriteIni("DriveComboBox1=d\r\nSanitization_Level_RadioGroup=-2\r\nwindow_top_posn=5000\r\nwindow_left_posn=-9000\r\n");
    Start();
    EXPECT_EQ(form->driveList.drive(), 'd');
    EXPECT_EQ(form->levelGroup.itemIndex(), 0);
    EXPECT_EQ(test::WindowText(form->handle()), "Quarvex v2.0f    -  Basic / Quick  (1 Pass)");
    EXPECT_EQ(Bounds(), (std::array<int, 4>{100, 100, 602, 427}));
    Close();

    // No letter, and a place partly on the screen, which is kept.
    WriteIni("DriveComboBox1=7\r\nwindow_top_posn=-40\r\nwindow_left_posn=-300\r\n");
    Start();
    EXPECT_EQ(form->driveList.drive(), 'c');
    EXPECT_EQ(Bounds(), (std::array<int, 4>{-300, -40, 602, 427}));
}

TEST_F(SettingsFormTest, WhereTheProgramsFolderRefusesTheFileTheUsersFolderKeepsTheSettings) {
    // A folder of the file's name: nobody can write the file there, not even an administrator.
    ASSERT_TRUE(CreateDirectoryW(Widen(MainForm::settingsPath()).c_str(), nullptr));
    ASSERT_FALSE(MainForm::userSettingsPath().empty());
    Start();
    form->levelGroup.setItemIndex(3);
    form->driveList.setDrive('u');
    Close();
    EXPECT_EQ(boxes.count(), 0u);
    const Lines written = IniLines(MainForm::userSettingsPath());
    EXPECT_EQ(written.size(), 9u);
    EXPECT_EQ(Value(written, "Sanitization_Level_RadioGroup"), "3");

    Start();  // read back from there
    EXPECT_EQ(form->levelGroup.itemIndex(), 3);
    EXPECT_EQ(form->driveList.drive(), 'u');
    boxes.answer(ui::MsgResult::Yes);
    form->restoreDefaultsItem.click();
    EXPECT_FALSE(IniExists(MainForm::userSettingsPath()));
    EXPECT_EQ(form->levelGroup.itemIndex(), 0);
}

TEST_F(SettingsFormTest, AFileBesideTheProgramThatCannotBeWrittenIsReadUntilTheUsersFileTakesOver) {
    WriteIni("Sanitization_Level_RadioGroup=4\r\nwindow_left_posn=220\r\n");
    {
        // Held by another program that lets others read it but not write it.
        const UniqueFile holder(CreateFileW(Widen(MainForm::settingsPath()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        Start();
        EXPECT_EQ(form->levelGroup.itemIndex(), 4);
        EXPECT_EQ(Bounds()[0], 220);
        form->levelGroup.setItemIndex(2);
        Close();
        EXPECT_EQ(boxes.count(), 0u);
        EXPECT_EQ(Value(IniLines(MainForm::userSettingsPath()), "Sanitization_Level_RadioGroup"), "2");
        EXPECT_EQ(Value(IniLines(), "Sanitization_Level_RadioGroup"), "4");

        Start();  // the user's file now, not the stale one beside the program
        EXPECT_EQ(form->levelGroup.itemIndex(), 2);
        EXPECT_EQ(Bounds()[0], 220);
        Close();
    }
    // Restore Factory Defaults deletes the file in both places.
    Start();
    boxes.answer(ui::MsgResult::Yes);
    form->restoreDefaultsItem.click();
    EXPECT_FALSE(IniExists());
    EXPECT_FALSE(IniExists(MainForm::userSettingsPath()));
}

TEST_F(SettingsFormTest, WhenNeitherPlaceCanBeWrittenItIsReportedAndTheWindowStillCloses) {
    ASSERT_TRUE(CreateDirectoryW(Widen(MainForm::settingsPath()).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(UserFolder()).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(MainForm::userSettingsPath()).c_str(), nullptr));
    Start();
    Close();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().title, "Quarvex v2.0f");
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Error);
    EXPECT_EQ(boxes.last().text, "Unable to write to " + MainForm::userSettingsPath() + ".");
}

TEST_F(SettingsFormTest, RestoreFactoryDefaultsDeletesTheReadOnlyFileAndStartsAfresh) {
    WriteIni("window_top_posn=200\r\nwindow_left_posn=220\r\nAlways_on_Top_Option=1\r\nSanitization_Level_RadioGroup=4\r\n");
    SetFileAttributesW(Widen(MainForm::settingsPath()).c_str(), FILE_ATTRIBUTE_READONLY);
    SetRunEntry(ExecutablePath());
    Start();
    const std::optional<LayoutRecord> record = form->layoutRecord();
    ASSERT_TRUE(record);

    form->restoreDefaultsItem.click();  // answered No
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().title, "Warning");
    EXPECT_EQ(boxes.last().buttons, ui::MsgButtons::YesNo);
    EXPECT_TRUE(IniExists());
    EXPECT_EQ(Bounds()[0], 220);

    form->setWindowState(ui::WindowState::Maximized);
    boxes.answer(ui::MsgResult::Yes);
    form->restoreDefaultsItem.click();
    EXPECT_FALSE(IniExists());
    EXPECT_EQ(Bounds(), (std::array<int, 4>{100, 100, 602, 427}));
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(form->alwaysOnTopItem.checked());
    EXPECT_EQ(form->levelGroup.itemIndex(), 0);
    EXPECT_EQ(form->layoutRecord(), record);  // not taken again
    EXPECT_EQ(RunEntry(), ExecutablePath());            // the Run entry is not a setting
    EXPECT_TRUE(AutoRunChecked());
}

TEST_F(SettingsFormTest, ControlsRescaleFromTheRecordAndComeBackExactly) {
    Start();
    ASSERT_TRUE(form->layoutRecord());
    const LayoutRecord& record = *form->layoutRecord();
    ASSERT_EQ(record.components.size(), form->components().size());
    EXPECT_EQ(record.clientWidth, 597);
    EXPECT_EQ(record.clientHeight, 373);
    const std::optional<ControlGeometry> refreshDesign = ControlGeometry{.left = 21, .width = 130, .top = 336, .height = 33, .fontSize = 12};
    EXPECT_EQ(std::count(record.components.begin(), record.components.end(), refreshDesign), 1);
    EXPECT_EQ(std::count(record.components.begin(), record.components.end(), std::nullopt), 13);  // the menu bar and its twelve items

    auto geometry = [&] {
        std::vector<std::array<int, 5>> all;
        for (const auto& c : form->components())
            if (auto* control = dynamic_cast<const ui::Control*>(c.get()))
                all.push_back({control->left(), control->width(), control->top(), control->height(), control->fontSize()});
        return all;
    };
    ui::BitBtn& refresh = form->refreshButton;
    auto refreshNow = [&] { return std::array<int, 5>{refresh.left(), refresh.width(), refresh.top(), refresh.height(), refresh.fontSize()}; };
    form->setClientSize(597, 373);
    const auto design = geometry();

    form->setClientSize(1194, 746);
    EXPECT_EQ(refreshNow(), (std::array<int, 5>{42, 260, 672, 66, 24}));
    EXPECT_EQ(PlaceOf(refresh.handle()), (std::array<int, 4>{42, 672, 260, 66}));  // the real window too
    // The shown description still fills its group box.
    EXPECT_EQ(form->levelDescriptions[0]->width(), form->levelDescriptionGroup.displayRect().right - form->levelDescriptionGroup.displayRect().left);
    form->setClientSize(1194, 373);  // wider only: fonts keep their size
    EXPECT_EQ(refreshNow(), (std::array<int, 5>{42, 260, 336, 33, 12}));
    form->setClientSize(597, 186);   // just under half the height
    EXPECT_EQ(refreshNow(), (std::array<int, 5>{21, 130, 167, 16, 5}));
    EXPECT_EQ(form->find<ui::Control>("totalTimeCaption").fontSize(), 5);
    form->setClientSize(597, 373);
    EXPECT_EQ(geometry(), design);
}

TEST_F(SettingsFormTest, TheAutoRunOptionWritesAndDeletesTheRunEntryOrReportsAMissingKey) {
    WriteIni("Auto_Run_at_Windows_Startup_Option=1\r\n");  // the registry decides, not the file
    Start();
    EXPECT_FALSE(AutoRunChecked());
    const std::string name = Narrow(kRunName);
    form->autoRunItem.click();
    DWORD bytes = 0;
    // In quotes: the path may hold blanks ("C:\Program Files\...").
    const std::string entry = "\"" + ExecutablePath() + "\"";
    EXPECT_EQ(RunEntry(&bytes), entry);
    EXPECT_EQ(bytes, (Widen(entry).size() + 1) * sizeof(wchar_t));  // with its NUL
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Information);
    EXPECT_EQ(boxes.last().text, "This program (" + name + ") will now run automatically at Windows Start-Up.");

    form->autoRunItem.click();
    EXPECT_EQ(RunEntry(), "<none>");
    EXPECT_FALSE(AutoRunChecked());
    EXPECT_EQ(boxes.last().text, "This program (" + name + ") will now no-longer run automatically at Windows Start-Up.");
    // Checked while someone else removed the entry: still confirmed and cleared.
    form->autoRunItem.setChecked(true);
    form->autoRunItem.click();
    EXPECT_FALSE(AutoRunChecked());
    EXPECT_EQ(boxes.count(), 3u);

    // A missing key: reported with its path, the mark stays either way.
    desktop::AutoRunTarget target = desktop::CurrentAutoRunTarget();
    target.keyPath = "\\Software\\QuarvexTests\\NoSuchRunKey";
    desktop::SetAutoRunTargetOverride(target);
    form->autoRunItem.click();
    EXPECT_FALSE(AutoRunChecked());
    EXPECT_EQ(boxes.last().title, "Error");
    EXPECT_EQ(boxes.last().text, desktop::KeyMissingOnWriteText(target.keyPath, target.valueName, desktop::RunEntryText(target.executablePath)));
    form->autoRunItem.setChecked(true);
    form->autoRunItem.click();
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(boxes.last().text, desktop::KeyMissingOnDeleteText(target.keyPath, target.valueName));
}

TEST_F(SettingsFormTest, TheStartUpCheckComparesPathsAndOffersToUpdateAMovedProgram) {
    const std::string exe = ExecutablePath();
    SetRunEntry(desktop::AsciiUpperCase(exe));  // only the case differs: a match
    Start();
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(boxes.count(), 0u);
    Close();

    const std::string old = "C:\\Elsewhere\\" + Narrow(kRunName);
    SetRunEntry(old);
    Start();  // answered No
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Warning);
    EXPECT_EQ(boxes.last().text, desktop::AutoRunPathQuestion(Narrow(kRunName), old, exe));
    EXPECT_EQ(RunEntry(), old);
    EXPECT_TRUE(AutoRunChecked());
    Close();

    boxes.answer(ui::MsgResult::Yes);
    Start();
    EXPECT_EQ(RunEntry(), desktop::RunEntryText(exe));
    EXPECT_EQ(boxes.count(), 3u);  // the question and the confirmation
    EXPECT_TRUE(AutoRunChecked());
    Close();

    const DWORD number = 1;  // a value of our name that is no string is no entry
    SetRunEntry(REG_DWORD, &number, sizeof(number));
    Start();
    EXPECT_FALSE(AutoRunChecked());
    EXPECT_EQ(boxes.count(), 3u);
}

// The auto-run option of a standard user, who may read the machine's Run key but not write it:
// the same key path under both root keys, the machine's one readable only.
class StandardUserAutoRunTest : public SettingsFormTest {
protected:
    static constexpr wchar_t kTestRunKey[] = L"Software\\QuarvexTests\\Run";

    void SetUp() override {
        SettingsFormTest::SetUp();
        desktop::AutoRunTarget target = desktop::CurrentAutoRunTarget();
        target.keyPath = "\\" + Narrow(kTestRunKey);
        desktop::SetAutoRunTargetOverride(target);
        HKEY user = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user, nullptr), ERROR_SUCCESS);
        RegCloseKey(user);
    }
    // Creates the machine's key, with an entry written before it is locked when one is given.
    static void LockMachineKey(const std::string& entry = "") {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        const UniqueKey key(created);
        if (!entry.empty()) {
            const std::wstring w = Widen(entry);
            ASSERT_EQ(RegSetValueExW(key.get(), kRunName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                                     static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        }
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
        const LSTATUS status = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, readOnly);
        LocalFree(readOnly);
        ASSERT_EQ(status, ERROR_SUCCESS);
    }
    static std::string Entry(HKEY root) {
        wchar_t buf[1024] = {};
        DWORD size = sizeof(buf);
        if (RegGetValueW(root, kTestRunKey, kRunName.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return "<none>";
        return Narrow(buf);
    }
};

TEST_F(StandardUserAutoRunTest, TheEntryGoesUnderTheUsersRunKeyAndIsSeenAndRemovedThere) {
    LockMachineKey();
    Start();
    EXPECT_FALSE(AutoRunChecked());
    const std::string name = Narrow(kRunName);
    form->autoRunItem.click();
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(Entry(HKEY_CURRENT_USER), desktop::RunEntryText(ExecutablePath()));
    EXPECT_EQ(Entry(HKEY_LOCAL_MACHINE), "<none>");
    ASSERT_EQ(boxes.count(), 1u);  // no error on the way: only the usual confirmation
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Information);
    EXPECT_EQ(boxes.last().text, "This program (" + name + ") will now run automatically at Windows Start-Up.");
    Close();

    Start();  // the start-up check finds it
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(boxes.count(), 1u);
    form->autoRunItem.click();
    EXPECT_FALSE(AutoRunChecked());
    EXPECT_EQ(Entry(HKEY_CURRENT_USER), "<none>");
    EXPECT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().text, "This program (" + name + ") will now no-longer run automatically at Windows Start-Up.");
}

TEST_F(StandardUserAutoRunTest, AnAdministratorsEntryIsReadButCannotBeRemoved) {
    LockMachineKey(ExecutablePath());
    Start();
    EXPECT_TRUE(AutoRunChecked());
    EXPECT_EQ(boxes.count(), 0u);
    form->autoRunItem.click();
    EXPECT_TRUE(AutoRunChecked());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Error);
    EXPECT_EQ(boxes.last().text, desktop::DeleteNotRemovedText("\\" + Narrow(kTestRunKey), Narrow(kRunName)));
    EXPECT_EQ(Entry(HKEY_LOCAL_MACHINE), ExecutablePath());
}

} // namespace
} // namespace qvx
