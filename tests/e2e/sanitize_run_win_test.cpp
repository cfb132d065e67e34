// Sanitize runs through the real main window on the small test drive (S:): the click, the
// boxes as the user reads them, the fill files on the drive while each pass goes, and the
// drive and window as every way out of a run leaves them.
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"

#include "e2e/scratch_drive.h"
#include "engine/fill_pass.h"
#include "engine/fill_volume_win.h"
#include "engine/run_messages.h"
#include "app/command_line.h"
#include "platform/win32/elevation.h"
#include "platform/win32/event_log.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_hooks.h"
#include "platform/win32/system_sound.h"
#include "platform/win32/taskbar.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/timer_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <utility>

namespace qvx {
namespace {

constexpr const char* kFirstFill = "$$$TEMP$$$QUARVEX$$$0000000001.tmp";
constexpr std::int64_t kGiB = std::int64_t{1} << 30;

// The volume of a run that may only ever touch `letter`: any other drive cannot be read and
// takes no file. Test doubles derive from it to change one answer.
class ScratchOnlyVolume : public engine::FillVolume {
public:
    explicit ScratchOnlyVolume(char letter) : number_(engine::DriveNumber(letter)), letter_(engine::LowerDriveLetter(letter)) {}
    engine::CreateResult createFillFile(const std::string& name) override {
        return ours(name) ? inner_.createFillFile(name) : engine::CreateResult::Failed;
    }
    engine::WriteResult write(const engine::BlockBuffer& b, std::uint32_t n) override { return inner_.write(b, n); }
    bool finishFillFile() override { return inner_.finishFillFile(); }
    bool deleteFillFile(const std::string& name) override { return ours(name) && inner_.deleteFillFile(name); }
    std::optional<engine::FreeSpace> freeSpace(std::uint8_t drive) override {
        return drive == number_ ? inner_.freeSpace(drive) : std::nullopt;
    }
    std::uint32_t smallFileBytes(std::uint8_t drive) override { return drive == number_ ? inner_.smallFileBytes(drive) : 0; }
    std::vector<std::string> listLeftoverFillFiles(char letter) override {
        return engine::LowerDriveLetter(letter) == letter_ ? inner_.listLeftoverFillFiles(letter) : std::vector<std::string>{};
    }
    bool deleteLeftoverFillFile(const std::string& name) override { return ours(name) && inner_.deleteLeftoverFillFile(name); }

private:
    bool ours(const std::string& name) const { return !name.empty() && engine::LowerDriveLetter(name[0]) == letter_; }
    std::uint8_t number_;
    char letter_;
    engine::Win32FillVolume inner_;
};

std::string TaskbarText(const TaskbarCall& call) {
    if (call.kind == TaskbarCall::Kind::Value) return std::to_string(call.completed) + "/" + std::to_string(call.total);
    return call.state == TaskbarState::None ? "none" : call.state == TaskbarState::Normal ? "normal" : "error";
}

// What a look at the window and the drive found during a run.
struct Look {
    std::string pass;  // passLabel
    std::vector<test::DriveEntry> fillFiles;
};

class SanitizeRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        letter = test::TmpfsDrive(&why);
        if (!letter) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << why;
        test::EmptyScratchDrive(letter);
        test::ResetApplication();
        settingsPath = test::ExeFolder() + "quarvex.ini";
        recordPath = test::ExeFolder() + "quarvex-runs.log";
        DeleteFileW(Widen(settingsPath).c_str());
        DeleteFileW(Widen(recordPath).c_str());
        previousSound = SetSoundHook([this](const SoundCall& c) { sounds.push_back({c, boxes.count()}); });
        SystemHooks& hooks = HooksToReplace();
        hooks.executionState = [this](unsigned flags) { awake.push_back({flags, boxes.count()}); };
        hooks.taskbar = [this](const TaskbarCall& call) { taskbar.push_back({TaskbarText(call), boxes.count()}); };
        hooks.flashWindow = [this](HWND) { flashes.push_back(boxes.count()); };
        hooks.foregroundWindow = [this] { return inForeground ? form->handle() : GetDesktopWindow(); };
        hooks.eventLog = [this](const EventLogCall& call) { events.push_back(call); };
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        form->show();
        // As the shell does once the window's taskbar button exists.
        SendMessageW(form->handle(), TaskbarButtonCreatedMessage(), 0, 0);
        form->driveList.setDrive(letter);
        freeAtStart = test::FreeBytesOn(letter);
    }
    void TearDown() override {
        observer.reset();
        form.reset();
        if (letter) {
            SystemHooks& hooks = HooksToReplace();
            hooks.executionState = nullptr;
            hooks.taskbar = nullptr;
            hooks.flashWindow = nullptr;
            hooks.foregroundWindow = nullptr;
            hooks.eventLog = nullptr;
            hooks.driveList = nullptr;
            SetSoundHook(std::move(previousSound));
            test::ResetApplication();
            test::EmptyScratchDrive(letter);
            DeleteFileW(Widen(settingsPath).c_str());
            DeleteFileW(Widen(recordPath).c_str());
        }
    }

    // Looks at the window and the drive every 10 ms while the run goes (the run lets timer
    // messages through with every message round); `also` runs after each look.
    void watch(std::function<void(const Look&)> also = {}) {
        ui::ControlDesign design{.kind = ui::Kind::Timer, .name = "Observer"};
        design.interval = 10;
        observer = std::make_unique<ui::Timer>(*form, design);
        observer->OnTimer = [this, also](ui::Timer&) {
            Look look{form->passLabel.caption(), test::FillFilesOn(letter)};
            if (!look.fillFiles.empty()) {
                lockedWhileFilling = lockedWhileFilling && !IsWindowEnabled(form->sanitizeButton.handle()) &&
                                     !IsWindowEnabled(form->refreshButton.handle()) &&
                                     !IsWindowEnabled(form->exitButton.handle()) &&
                                     !IsWindowEnabled(form->driveList.handle()) &&
                                     IsWindowEnabled(form->abortButton.handle());
            }
            looks.push_back(look);
            if (also) also(looks.back());
        };
    }
    // Passes during which a look found a fill file (by the pass label, which the run sets
    // before it creates the pass's first file and changes only after deleting the last).
    std::set<std::string> passesSeenFilling() const {
        std::set<std::string> seen;
        for (const Look& l : looks)
            if (!l.fillFiles.empty()) seen.insert(l.pass);
        return seen;
    }
    void pressSanitize() { SendMessageW(form->sanitizeButton.handle(), BM_CLICK, 0, 0); }
    void chooseLevel(int index) {
        form->pages.setActivePage(form->settingsPage);
        SendMessageW(form->levelGroup.itemHandle(index), BM_CLICK, 0, 0);
        ASSERT_EQ(form->levelGroup.itemIndex(), index);
    }
    std::string driveText() const { return std::string("\"") + letter + ":\""; }
    std::string confirmation(const std::string& level) const {
        return "WARNING: You are about to sanitize all free space on the " + driveText() +
               " drive - are you sure that you want to do this ?\r\n\r\n"
               "N.B.  No files currently on the drive will be harmed or altered.  \r\n\r\n"
               "However, the space occupied by previously existing files will be sanitized, so that the data in "
               "all deleted files is difficult or impossible to recover (depending on the Sanitation Level you "
               "have selected).\r\n\r\n"
               "The currently selected sanitization level is :   \"" + level + "\".\r\n\r\n"
               "You should make sure that you empty the \"Recycle Bin\" on this drive before continuing !\r\n\r\n"
               "Are you sure that you want to continue ?";
    }
    void expectIdleControls() {
        for (ui::Control* c : {static_cast<ui::Control*>(&form->sanitizeButton), static_cast<ui::Control*>(&form->refreshButton),
                               static_cast<ui::Control*>(&form->exitButton), static_cast<ui::Control*>(&form->driveList)})
            EXPECT_TRUE(IsWindowEnabled(c->handle())) << c->name();
        EXPECT_FALSE(IsWindowEnabled(form->abortButton.handle()));
    }
    void expectDriveAsBefore() {
        EXPECT_TRUE(test::FillFilesOn(letter).empty());
        EXPECT_EQ(test::FreeBytesOn(letter), freeAtStart);
    }
    // The system was kept from sleeping once the run was confirmed, and let go when it ended,
    // before its closing box (if any) was shown.
    void expectAwakeOnlyDuringTheRun() const {
        ASSERT_EQ(awake.size(), 2u);
        EXPECT_EQ(awake[0].flags, static_cast<unsigned>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
        EXPECT_EQ(awake[0].boxesBefore, 1u);  // the confirmation
        EXPECT_EQ(awake[1].flags, static_cast<unsigned>(ES_CONTINUOUS));
        EXPECT_EQ(awake[1].boxesBefore, 1u);
    }
    static std::string Mb(double bytes) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
        return text;
    }

    // The lines of the run record beside the settings.
    std::vector<std::string> recordLines() const {
        std::vector<std::string> lines;
        std::FILE* f = _wfopen(Widen(recordPath).c_str(), L"rb");
        if (!f) return lines;
        std::string line;
        for (int c; (c = std::fgetc(f)) != EOF;) {
            if (c != '\n') line += static_cast<char>(c);
            else lines.push_back(std::exchange(line, {}));
        }
        std::fclose(f);
        return lines;
    }

    char letter = 0;
    std::string settingsPath;
    std::string recordPath;
    std::int64_t freeAtStart = 0;
    test::MessageBoxRecorder boxes;
    struct Sound {
        SoundCall call;
        std::size_t boxesBefore;
    };
    std::vector<Sound> sounds;
    struct ExecutionState {
        unsigned flags;
        std::size_t boxesBefore;
    };
    std::vector<ExecutionState> awake;
    // The taskbar button's calls ("normal", "0/3000", "error", "none"), each with the boxes shown
    // before it; the boxes shown before each flash; the events written.
    struct TaskbarStep {
        std::string call;
        std::size_t boxesBefore;
    };
    std::vector<TaskbarStep> taskbar;
    std::vector<std::size_t> flashes;
    bool inForeground = true;
    std::vector<EventLogCall> events;
    // The bar's values, in the order shown; the number of calls that set one.
    std::vector<std::uint64_t> taskbarValues() const {
        std::vector<std::uint64_t> values;
        for (const TaskbarStep& step : taskbar)
            if (std::isdigit(static_cast<unsigned char>(step.call[0]))) values.push_back(std::stoull(step.call));
        return values;
    }
    std::function<void(const SoundCall&)> previousSound;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<ui::Timer> observer;
    std::vector<Look> looks;
    bool lockedWhileFilling = true;
};

TEST_F(SanitizeRunTest, AMediumRunFromTheClickToTheCompletionMessage) {
    chooseLevel(1);
    boxes.answer(ui::MsgResult::Yes);
    std::string passAtConfirm, windowPassAtEnd, windowCaptionAtEnd;
    boxes.onShow = [&](const ui::MessageBoxCall& call) {
        if (call.kind == ui::MsgKind::Confirm) passAtConfirm = test::WindowText(form->passLabel.handle());
        if (call.kind == ui::MsgKind::Information) {
            // What the user sees behind the box: the window is up to date.
            windowPassAtEnd = test::WindowText(form->passLabel.handle());
            windowCaptionAtEnd = test::WindowText(form->progressGroup.handle());
        }
    };
    watch();
    pressSanitize();

    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.calls()[0].kind, ui::MsgKind::Confirm);
    EXPECT_EQ(boxes.calls()[0].title, "Confirm");
    EXPECT_EQ(boxes.calls()[0].buttons, ui::MsgButtons::YesNo);
    EXPECT_EQ(boxes.calls()[0].text, confirmation("Medium  (3 Passes)"));
    EXPECT_EQ(passAtConfirm, " Pass : ");  // the run began with a refresh and the Sanitize page
    EXPECT_EQ(form->pages.activePage(), &form->sanitizePage);

    const ui::MessageBoxCall& done = boxes.calls()[1];
    EXPECT_EQ(done.title, "Information");
    EXPECT_EQ(done.buttons, ui::MsgButtons::Ok);
    std::smatch m;
    const std::regex completion(
        "All Free Disk Space on the \"S:\" drive has been sanitized and it will now be difficult or even impossible "
        "\\(depending on the Sanitation Level you selected\\) for anyone to recover any data in any deleted "
        "files\\.\r\n\r\nThe overall Disk Writing Speed was : ([0-9,]+\\.[0-9]) MB / sec");
    ASSERT_TRUE(std::regex_match(done.text, m, completion)) << done.text;
    EXPECT_NE(m[1].str(), "0.0");
    // The beep, before the message.
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].call.frequency, 400u);
    EXPECT_EQ(sounds[0].call.milliseconds, 250u);
    EXPECT_EQ(sounds[0].boxesBefore, 1u);

    // Every pass had its fill file on the drive, named and capped as the run names them.
    EXPECT_EQ(passesSeenFilling(), (std::set<std::string>{"Pass 1 of 3 : ", "Pass 2 of 3 : ", "Pass 3 of 3 : "}));
    // 64 MiB is one large fill file per pass. The drive says it is NTFS: small files for its
    // file records follow, then one more file fills what the large one left for them.
    for (const Look& l : looks) {
        for (const test::DriveEntry& e : l.fillFiles)
            EXPECT_LE(e.size, e.name == kFirstFill ? kGiB : engine::kSmallFileReserve) << e.name;
    }
    EXPECT_TRUE(lockedWhileFilling);

    expectDriveAsBefore();
    expectIdleControls();
    expectAwakeOnlyDuringTheRun();
    EXPECT_EQ(windowPassAtEnd, "Pass 3 of 3 : ");
    EXPECT_EQ(windowCaptionAtEnd, " Progress :    Pass 3 of 3 .... ");
    EXPECT_EQ(form->totalTimeLabel.caption(), form->elapsedTimeLabel.caption());
    EXPECT_EQ(form->remainingTimeLabel.caption(), "00:00:00");
    EXPECT_EQ(form->plannedMegabytesLabel.caption(), Mb(3.0 * static_cast<double>(freeAtStart)));
    EXPECT_EQ(form->progressBar.max(), freeAtStart / 1048576);
    EXPECT_FALSE(form->abortRequested());
    // A run through the window is recorded too.
    const std::vector<std::string> record = recordLines();
    ASSERT_EQ(record.size(), 1u);
    for (const char* field : {"\"result\":\"completed\"", "\"startedBy\":\"window\"", "\"passesCompleted\":3",
                              "\"levelCaption\":\"Medium  (3 Passes)\""})
        EXPECT_NE(record[0].find(field), std::string::npos) << field << " in " << record[0];
    // And written to the event log: the box's text, then the record's main fields.
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].source, "Quarvex");
    EXPECT_EQ(events[0].id, 1u);
    EXPECT_EQ(events[0].type, EVENTLOG_INFORMATION_TYPE);
    EXPECT_TRUE(events[0].text.starts_with(done.text + "\r\n\r\nDrive: S:\r\nLevel: 1, Medium  (3 Passes)\r\n"
                                           "Passes: 3 of 3 completed\r\nBytes written: "))
        << events[0].text;
    EXPECT_TRUE(events[0].text.ends_with("\r\nResult: completed\r\nStarted by: window")) << events[0].text;

    // The taskbar button: the bar from 0 over the three passes, moving at the display's pace
    // (far fewer steps than the run's 3 x 1,024 blocks), and gone before the closing box. The
    // window was in the foreground: nothing flashed.
    ASSERT_GE(taskbar.size(), 3u);
    EXPECT_EQ(taskbar[0].call, "normal");
    EXPECT_EQ(taskbar[1].call, "0/3000");
    EXPECT_EQ(taskbar.back().call, "none");
    EXPECT_EQ(taskbar.back().boxesBefore, 1u);
    const std::vector<std::uint64_t> values = taskbarValues();
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_GE(values.back(), 2000u);  // into the third pass
    EXPECT_LT(values.size(), 300u);
    EXPECT_TRUE(flashes.empty());
    std::printf("level-1 run: %zu looks, speed %s MB/s\n", looks.size(), m[1].str().c_str());
}

TEST_F(SanitizeRunTest, AbortDuringPassTwo) {
    chooseLevel(1);
    boxes.answer(ui::MsgResult::Yes);
    bool pressed = false;
    watch([&](const Look& look) {
        if (!pressed && look.pass == "Pass 2 of 3 : " && !look.fillFiles.empty()) {
            pressed = true;
            SendMessageW(form->abortButton.handle(), BM_CLICK, 0, 0);
        }
    });
    pressSanitize();

    ASSERT_TRUE(pressed) << "no look fell into pass 2";
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().title, "Information");
    EXPECT_EQ(boxes.last().text, "Processing aborted, as requested.");
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(passesSeenFilling().count("Pass 3 of 3 : "), 0u);
    for (ui::Control* c : {static_cast<ui::Control*>(&form->passLabel), static_cast<ui::Control*>(&form->progressGroup),
                           static_cast<ui::Control*>(&form->passMegabytesLabel)}) {
        EXPECT_EQ(c->caption(), " Processing Aborted !! ") << c->name();
        EXPECT_EQ(test::WindowText(c->handle()), " Processing Aborted !! ") << c->name();
    }
    EXPECT_TRUE(form->abortRequested());
    expectDriveAsBefore();
    expectIdleControls();
    expectAwakeOnlyDuringTheRun();
    // Aborted into pass 2: the bar had passed a third, and went before the box; a warning event.
    EXPECT_GE(taskbarValues().back(), 1000u);
    EXPECT_EQ(taskbar.back().call, "none");
    EXPECT_EQ(taskbar.back().boxesBefore, 1u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].id, 2u);
    EXPECT_EQ(events[0].type, EVENTLOG_WARNING_TYPE);
    EXPECT_TRUE(events[0].text.starts_with("Processing aborted, as requested.\r\n\r\nDrive: S:\r\n")) << events[0].text;
    EXPECT_NE(events[0].text.find("\r\nPasses: 1 of 3 completed\r\n"), std::string::npos) << events[0].text;
}

TEST_F(SanitizeRunTest, ClosingTheWindowDuringARunAbortsItQuietlyAndThenCloses) {
    chooseLevel(4);
    boxes.answer(ui::MsgResult::Yes);
    bool closeAsked = false, settingsWrittenDuringRun = true, stillOpen = false;
    watch([&](const Look& look) {
        if (closeAsked || look.fillFiles.empty()) return;
        closeAsked = true;
        SendMessageW(form->handle(), WM_CLOSE, 0, 0);
        // The close waits for the run to clean up; the settings are written once, then.
        stillOpen = IsWindowVisible(form->handle()) && form->running();
        settingsWrittenDuringRun = GetFileAttributesW(Widen(settingsPath).c_str()) != INVALID_FILE_ATTRIBUTES;
    });
    pressSanitize();

    ASSERT_TRUE(closeAsked);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(settingsWrittenDuringRun);
    EXPECT_EQ(boxes.count(), 1u);  // the confirmation only
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(ui::Application::instance().terminated());
    EXPECT_FALSE(IsWindowVisible(form->handle()));
    EXPECT_NE(GetFileAttributesW(Widen(settingsPath).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(passesSeenFilling(), (std::set<std::string>{"Pass 1 of 35 : "}));
    expectDriveAsBefore();
    expectAwakeOnlyDuringTheRun();
}

TEST_F(SanitizeRunTest, AFillFileThatCannotBeCreatedStopsTheRunWithAnError) {
    // A folder where the first fill file would go: its creation fails while the drive has room.
    ASSERT_TRUE(CreateDirectoryW(Widen(test::DriveRoot(letter) + kFirstFill).c_str(), nullptr));
    freeAtStart = test::FreeBytesOn(letter);
    chooseLevel(0);
    boxes.answer(ui::MsgResult::Yes);
    pressSanitize();

    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().title, "Error");
    EXPECT_EQ(boxes.last().buttons, ui::MsgButtons::Ok);
    EXPECT_EQ(boxes.last().text,
              "The fill file \"s:\\$$$TEMP$$$QUARVEX$$$0000000001.tmp\" could not be created on the \"S:\" drive.\r\n\r\n"
              "The run was stopped and its fill files were deleted: the free space on this drive has NOT been "
              "sanitized.\r\n\r\n"
              "Make sure that the drive is not write-protected and that you are allowed to create files in its root "
              "folder.");
    EXPECT_TRUE(sounds.empty());
    expectDriveAsBefore();
    expectIdleControls();
    expectAwakeOnlyDuringTheRun();
}

TEST_F(SanitizeRunTest, ADriveThatCannotBeReadEndsInAnErrorNeverInSanitized) {
    // F: is mapped to a folder that does not exist: every query fails, as on an empty card
    // reader, a locked stick or a share that has gone. The panel says "0".
    form->driveList.setDrive('f');
    EXPECT_EQ(form->diskSpaceLabel.caption(), "0");
    chooseLevel(1);
    boxes.answer(ui::MsgResult::Yes);
    inForeground = false;  // the user works in another window meanwhile
    pressSanitize();

    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Error);
    EXPECT_EQ(boxes.last().text, engine::DriveUnreadableText('f', false));
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(form->remainingTimeLabel.caption(), "");  // no completion shown
    expectIdleControls();
    expectAwakeOnlyDuringTheRun();
    const std::vector<std::string> record = recordLines();
    ASSERT_EQ(record.size(), 1u);
    for (const char* field : {"\"result\":\"error\"", "\"drive\":\"F\"", "\"bytesWritten\":0", "is not ready or cannot be reached"})
        EXPECT_NE(record[0].find(field), std::string::npos) << field << " in " << record[0];
    // Behind another window: the taskbar button flashed before the error box, which turned the
    // bar red while it was up; then the bar went.
    EXPECT_EQ(flashes, std::vector<std::size_t>{1});
    ASSERT_EQ(taskbar.size(), 4u);
    EXPECT_EQ(taskbar[1].call, "0/3000");
    EXPECT_EQ(taskbar[taskbar.size() - 2].call, "error");
    EXPECT_EQ(taskbar[taskbar.size() - 2].boxesBefore, 1u);
    EXPECT_EQ(taskbar.back().call, "none");
    EXPECT_EQ(taskbar.back().boxesBefore, 2u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].id, 3u);
    EXPECT_EQ(events[0].type, EVENTLOG_ERROR_TYPE);
    EXPECT_TRUE(events[0].text.starts_with(boxes.last().text + "\r\n\r\nDrive: F:\r\n")) << events[0].text;
}

TEST_F(SanitizeRunTest, RestoringTheDefaultsDuringARunLeavesTheRunOnItsDriveAndItsDisplay) {
    chooseLevel(1);
    boxes.answer(ui::MsgResult::Yes);  // the confirmation
    boxes.answer(ui::MsgResult::Yes);  // restore the defaults
    bool restored = false, restoring = false;
    std::string writtenAtRestore;
    std::vector<std::string> stampsAfter, passesAfter;
    watch([&](const Look& look) {
        if (restoring) return;  // a look from inside the start-up's own message processing
        if (restored) {
            // The run repairs its display when the message round that restored the defaults
            // ends; a later block (the written megabytes moved on) comes after that.
            if (form->writtenMegabytesLabel.caption() == writtenAtRestore) return;
            stampsAfter.push_back(form->startTimeLabel.caption());
            passesAfter.push_back(look.pass);
        } else if (look.pass == "Pass 1 of 3 : " && !look.fillFiles.empty()) {
            restored = restoring = true;
            form->restoreDefaultsItem.click();
            restoring = false;
            writtenAtRestore = form->writtenMegabytesLabel.caption();
        }
    });
    pressSanitize();

    ASSERT_TRUE(restored);
    ASSERT_EQ(boxes.count(), 3u);
    EXPECT_EQ(boxes.calls()[1].kind, ui::MsgKind::Warning);
    EXPECT_NE(boxes.last().text.find("on the \"S:\" drive has been sanitized"), std::string::npos) << boxes.last().text;
    EXPECT_NE(form->driveList.drive(), engine::LowerDriveLetter(letter));  // the selector went back to its default
    // The pass and the start stamp came back at once after the start-up cleared them.
    ASSERT_FALSE(passesAfter.empty());
    for (std::size_t i = 0; i < passesAfter.size(); ++i) {
        EXPECT_EQ(passesAfter[i].rfind("Pass ", 0), 0u) << passesAfter[i];
        EXPECT_FALSE(stampsAfter[i].empty());
    }
    EXPECT_EQ(form->passLabel.caption(), "Pass 3 of 3 : ");
    expectDriveAsBefore();
}

TEST_F(SanitizeRunTest, TheAboutBoxOpenedDuringARunShowsWhatItSets) {
    // The run defers window updates; the box's modal loop pauses the run, and the box must
    // still show what its activation sets (its address buttons hidden, the labels filled).
    AboutBox about;
    about.createHandle();
    form->setAboutBox(&about);
    form->applyAboutBoxCaptions();  // as the start-up does
    chooseLevel(0);
    boxes.answer(ui::MsgResult::Yes);
    bool opened = false, inside = false;
    bool buttonHidden = false, textShown = false;
    watch([&](const Look& look) {
        if (opened || look.fillFiles.empty()) return;
        opened = true;
        form->aboutItem.click();  // returns when the box is closed
    });
    ui::ControlDesign design{.kind = ui::Kind::Timer, .name = "AboutCheck"};
    design.interval = 20;
    ui::Timer check(*form, design);
    check.OnTimer = [&](ui::Timer&) {
        if (inside || !about.isModal() || !IsWindowVisible(about.handle())) return;
        inside = true;
        buttonHidden = !IsWindowVisible(about.emailButton.handle());
        textShown = !about.emailAddressLabel.caption().empty() &&
                    test::WindowText(about.emailAddressLabel.handle()) == about.emailAddressLabel.caption();
        about.closeBox();
    };
    pressSanitize();
    form->setAboutBox(nullptr);

    ASSERT_TRUE(opened);
    ASSERT_TRUE(inside) << "the About box never came up";
    EXPECT_TRUE(buttonHidden);
    EXPECT_TRUE(textShown);
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().text.rfind("All Free Disk Space", 0), 0u);
    expectDriveAsBefore();
}

// The drive as a standard user meets the system drive's root: every file creation is refused
// with "access denied" (folders could still be made there).
class RootNeedsRightsVolume final : public ScratchOnlyVolume {
public:
    using ScratchOnlyVolume::ScratchOnlyVolume;
    engine::CreateResult createFillFile(const std::string&) override { return engine::CreateResult::Denied; }
};

TEST_F(SanitizeRunTest, ARootThatNeedsAdministratorRightsOffersARestartElevatedWithTheSameDriveAndLevel) {
    std::vector<ShellCall> shell;
    auto previousShell = SetShellHook([&](const ShellCall& call) { shell.push_back(call); });
    form->makeFillVolume = [this] { return std::make_unique<RootNeedsRightsVolume>(letter); };
    chooseLevel(2);
    const std::string offer = "Writing files to the root folder of the " + driveText() +
                              " drive needs administrator rights.\r\n\r\nDo you want to restart Quarvex as "
                              "administrator ?";

    // Declined: the window stays as any failed run leaves it.
    SetElevationForTests(false);
    boxes.answer(ui::MsgResult::Yes);
    boxes.answer(ui::MsgResult::No);
    pressSanitize();
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Error);
    EXPECT_EQ(boxes.last().buttons, ui::MsgButtons::YesNo);
    EXPECT_EQ(boxes.last().text.rfind("The fill file \"", 0), 0u) << boxes.last().text;
    EXPECT_TRUE(boxes.last().text.ends_with("has NOT been sanitized.\r\n\r\nMake sure that the drive is not "
                                            "write-protected and that you are allowed to create files in its root "
                                            "folder.\r\n\r\n" + offer));
    EXPECT_TRUE(shell.empty());
    EXPECT_TRUE(IsWindowVisible(form->handle()));
    expectIdleControls();

    // Already elevated: only the error.
    SetElevationForTests(true);
    boxes.answer(ui::MsgResult::Yes);
    pressSanitize();
    ASSERT_EQ(boxes.count(), 4u);
    EXPECT_EQ(boxes.last().buttons, ui::MsgButtons::Ok);
    EXPECT_EQ(boxes.last().text.find(offer), std::string::npos);

    // Accepted: the settings keep the drive and the level, the window closes, the shell starts
    // the program again with the verb "runas".
    SetElevationForTests(false);
    boxes.answer(ui::MsgResult::Yes);
    boxes.answer(ui::MsgResult::Yes);
    pressSanitize();
    SetElevationForTests(std::nullopt);
    SetShellHook(std::move(previousShell));
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].verb, "runas");
    EXPECT_EQ(shell[0].target, ExecutablePath());
    EXPECT_EQ(shell[0].parameters, std::string("/sanitize ") + engine::UpperDriveLetter(letter) + ": /level 2");
    EXPECT_FALSE(IsWindowVisible(form->handle()));
    char value[16] = {};
    GetPrivateProfileStringA("quarvex", "DriveComboBox1", "", value, sizeof value, settingsPath.c_str());
    EXPECT_EQ(std::string(value), std::string(1, engine::LowerDriveLetter(letter)));
    GetPrivateProfileStringA("quarvex", "Sanitization_Level_RadioGroup", "", value, sizeof value, settingsPath.c_str());
    EXPECT_EQ(std::string(value), "2");
    expectDriveAsBefore();
}

// A command line over the scratch drive and one that cannot be read, without /yes or /exit:
// one confirmation names both, no box comes between them, and one box tells both outcomes.
TEST_F(SanitizeRunTest, ACommandOverTwoDrivesAsksOnceRunsEachAndTellsBothOutcomesOnce) {
    inForeground = false;
    boxes.answer(ui::MsgResult::Yes);
    const std::string drives = std::string(1, letter) + ":";
    form->setCommandLine(ParseCommandLine({"/sanitize", drives, "F:", "/level", "0"}));
    ASSERT_TRUE(test::PumpUntil([&] { return boxes.count() >= 2 && !form->running(); }, 60000)) << boxes.count();
    test::PumpFor(50);

    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.calls()[0].text, engine::ConfirmationText(std::string(1, letter) + "f", 0));
    const ui::MessageBoxCall& end = boxes.calls()[1];
    EXPECT_EQ(end.kind, ui::MsgKind::Error);
    EXPECT_TRUE(end.text.starts_with("All Free Disk Space on the " + driveText() + " drive has been sanitized")) << end.text;
    EXPECT_TRUE(end.text.ends_with("\r\n\r\n" + engine::DriveUnreadableText('f', false))) << end.text;
    EXPECT_TRUE(sounds.empty());  // not every drive completed
    EXPECT_EQ(flashes, std::vector<std::size_t>{1});  // once, before the one closing box
    // Each drive its own bar, record line and event.
    EXPECT_EQ(std::count_if(taskbar.begin(), taskbar.end(), [](const TaskbarStep& t) { return t.call == "normal"; }), 2);
    const std::vector<std::string> record = recordLines();
    ASSERT_EQ(record.size(), 2u);
    EXPECT_NE(record[0].find("\"result\":\"completed\""), std::string::npos) << record[0];
    EXPECT_NE(record[1].find("\"drive\":\"F\""), std::string::npos) << record[1];
    EXPECT_NE(record[1].find("\"result\":\"error\""), std::string::npos) << record[1];
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].id, 1u);
    EXPECT_EQ(events[1].id, 3u);
    EXPECT_TRUE(events[1].text.ends_with("Started by: command line")) << events[1].text;
    expectDriveAsBefore();
    expectIdleControls();
}

// "all" through a double of the drive list, and a volume that refuses every other drive: only
// the fixed drive with a volume is sanitized, never a removable, optical or network one, nor a
// letter without a volume. No other drive of this machine is ever asked.
TEST_F(SanitizeRunTest, AllSanitizesTheFixedDrivesWithAVolumeOnly) {
    const char scratch = engine::LowerDriveLetter(letter);
    HooksToReplace().driveList = [scratch] {
        return DriveList{{'c', DriveKind::Optical, "\\\\?\\Volume{c}\\"},
                         {'f', DriveKind::Fixed, ""},
                         {scratch, DriveKind::Fixed, "\\\\?\\Volume{s}\\"},
                         {'u', DriveKind::Removable, "\\\\?\\Volume{u}\\"},
                         {'z', DriveKind::Network, ""}};
    };
    form->makeFillVolume = [this] { return std::make_unique<ScratchOnlyVolume>(letter); };
    form->setCommandLine(ParseCommandLine({"/sanitize", "all", "/level", "0", "/yes"}));
    ASSERT_TRUE(test::PumpUntil([&] { return boxes.count() >= 1 && !form->running(); }, 60000));

    ASSERT_EQ(boxes.count(), 1u);  // one drive: its own closing box
    EXPECT_TRUE(boxes.last().text.starts_with("All Free Disk Space on the " + driveText())) << boxes.last().text;
    const std::vector<std::string> record = recordLines();
    ASSERT_EQ(record.size(), 1u);
    EXPECT_NE(record[0].find(std::string("\"drive\":\"") + engine::UpperDriveLetter(letter) + "\""), std::string::npos);

    // A machine where nothing qualifies: nothing runs, the box says why.
    HooksToReplace().driveList = [] { return DriveList{{'d', DriveKind::Removable, "\\\\?\\Volume{d}\\"}}; };
    form->setCommandLine(ParseCommandLine({"/sanitize", "ALL", "/yes"}));
    ASSERT_TRUE(test::PumpUntil([&] { return boxes.count() >= 2; }, 10000));
    EXPECT_EQ(boxes.last().kind, ui::MsgKind::Error);
    EXPECT_EQ(boxes.last().text, engine::NoFixedDrivesText());
    EXPECT_EQ(recordLines().size(), 1u);
    expectDriveAsBefore();
}

// The keyboard alone (real key presses): the drive, the level, the start, the menus and Abort
// while the run goes.
TEST_F(SanitizeRunTest, TheKeyboardAloneChoosesStartsAndAbortsARun) {
    ASSERT_TRUE(test::ForegroundForInput(form->handle()));
    const auto key = [](WORD vk, std::initializer_list<WORD> held = {}) {
        test::SendKey(vk, held);
        test::PumpInput();
    };
    form->driveList.setDrive('c');
    SetFocus(form->pages.handle());
    key(VK_TAB);
    key(static_cast<WORD>(std::toupper(static_cast<unsigned char>(letter))));  // the list finds a drive by its letter
    ASSERT_EQ(form->driveList.drive(), engine::LowerDriveLetter(letter));
    key(VK_TAB, {VK_CONTROL});  // to the Settings page and its level
    key(VK_UP);                 // round the group to the last level: a run long enough to act in
    ASSERT_EQ(form->levelGroup.itemIndex(), 5);
    key(VK_TAB);
    key(VK_TAB);
    ASSERT_EQ(GetFocus(), form->sanitizeButton.handle());

    boxes.answer(ui::MsgResult::Yes);
    // One step of the user's per look at the running window: where the focus is, then a key.
    std::vector<HWND> focusSeen;
    bool menuOpened = false;
    const std::vector<std::function<void()>> steps = {
        [] { test::SendKey(VK_TAB); },
        [] { test::SendKey(VK_TAB, {VK_SHIFT}); },
        [] { test::SendKey('H', {VK_MENU}); },  // the Help menu opens; the run waits for it
        [&] {
            GUITHREADINFO gui{};
            gui.cbSize = sizeof(gui);
            menuOpened = GetGUIThreadInfo(GetCurrentThreadId(), &gui) && (gui.flags & GUI_INMENUMODE);
            test::SendKey(VK_ESCAPE);
            test::SendKey(VK_ESCAPE);
        },
        [] { test::SendKey(VK_RETURN); },
    };
    size_t step = 0;
    watch([&](const Look& look) {
        if (look.fillFiles.empty() || step == steps.size()) return;
        if (step != 3) focusSeen.push_back(GetFocus());
        steps[step++]();
    });
    key(VK_RETURN);
    test::PumpFor(100);

    // The disabled Sanitize button handed the focus on to Abort.
    const HWND abort = form->abortButton.handle();
    EXPECT_EQ(focusSeen, (std::vector<HWND>{abort, form->pages.handle(), abort, abort}));
    EXPECT_TRUE(menuOpened);
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.calls()[0].text, confirmation("You've Got to be Joking (100 Passes)"));
    EXPECT_EQ(boxes.last().text, "Processing aborted, as requested.");
    expectDriveAsBefore();
    expectIdleControls();
    // Abort, disabled again, hands the focus on in Tab order.
    EXPECT_EQ(GetFocus(), form->exitButton.handle());
}

} // namespace
} // namespace qvx
