// A drive whose writes and flushes stall for seconds, as a USB stick does while Windows' cache
// catches up with it: through the real window on the small test drive (S:), the window keeps
// answering and repainting, and takes Abort and Close at once.
#include "app/main_form_win.h"

#include "e2e/scratch_drive.h"
#include "engine/fill_volume_win.h"
#include "platform/win32/system_hooks.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace qvx {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Writes through the drive's own volume; one chosen write, or the next flush, waits first.
// With `interruptible`, interrupt() ends the wait and the call fails, as a call that
// CancelSynchronousIo cut short does; otherwise the call returns only when its time is up.
class StallingVolume final : public engine::FillVolume {
public:
    std::int64_t stallWriteCall = 0;  // 1-based; 0: none
    bool stallFirstFlush = false;
    DWORD stallMilliseconds = 2000;
    bool interruptible = false;

    // Where the test sees them, also once the run has dropped the volume: whether a call is
    // stalling now, and the writes that came after the stall.
    std::atomic<bool>* stalling = nullptr;
    std::atomic<int>* writesAfterStall = nullptr;

    engine::CreateResult createFillFile(const std::string& name) override { return inner_.createFillFile(name); }
    engine::WriteResult write(const engine::BlockBuffer& block, std::uint32_t size) override {
        if (stalled_) ++*writesAfterStall;
        if (++writeCalls_ == stallWriteCall && stall()) return {0, engine::WriteStatus::Failed};
        return inner_.write(block, size);
    }
    bool finishFillFile() override {
        const bool cut = stallFirstFlush && !stalled_ && stall();
        return inner_.finishFillFile() && !cut;
    }
    bool deleteFillFile(const std::string& name) override { return inner_.deleteFillFile(name); }
    std::optional<engine::FreeSpace> freeSpace(std::uint8_t drive) override { return inner_.freeSpace(drive); }
    std::uint32_t smallFileBytes(std::uint8_t drive) override { return inner_.smallFileBytes(drive); }
    void interrupt() override {
        inner_.interrupt();
        if (interruptible) SetEvent(released_.get());
    }
    std::vector<std::string> listLeftoverFillFiles(char letter) override { return inner_.listLeftoverFillFiles(letter); }
    bool deleteLeftoverFillFile(const std::string& name) override { return inner_.deleteLeftoverFillFile(name); }

private:
    // true when interrupt() cut the wait short.
    bool stall() {
        *stalling = true;
        const bool cut = WaitForSingleObject(released_.get(), stallMilliseconds) == WAIT_OBJECT_0;
        stalled_ = true;
        *stalling = false;
        return cut;
    }
    engine::Win32FillVolume inner_;
    UniqueKernelHandle released_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::int64_t writeCalls_ = 0;
    bool stalled_ = false;
};

// WM_NULL sent from this thread `times` times, 20 ms apart: how long each reply took (ms), -1
// for one that did not come within `timeout` ms.
std::vector<double> PingWindow(HWND window, int times, UINT timeout) {
    std::vector<double> replies;
    for (int i = 0; i < times; ++i) {
        const auto sent = Clock::now();
        DWORD_PTR reply = 0;
        const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &reply) != 0;
        replies.push_back(answered ? MillisecondsSince(sent) : -1);
        Sleep(20);
    }
    return replies;
}

// What a second thread saw of the window while the drive stalled.
struct Observed {
    bool sawStall = false;
    std::vector<double> replyMilliseconds;  // SendMessageTimeout(WM_NULL), -1 when it timed out
    bool repainted = false;
    bool abortTicked = false;       // within 100 ms of the posted message
    bool stillStalling = false;     // then, the drive call was still blocked
};

class StalledDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        letter = test::TmpfsDrive(&why);
        if (!letter) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << why;
        test::EmptyScratchDrive(letter);
        test::ResetApplication();
        settingsPath = test::ExeFolder() + "quarvex.ini";
        DeleteFileW(Widen(settingsPath).c_str());
        form = std::make_unique<MainForm>();
        ui::Application::instance().setMainForm(form.get());
        form->createHandle();
        form->show();
        form->driveList.setDrive(letter);
        form->makeFillVolume = [this] {
            auto v = std::make_unique<StallingVolume>();
            v->writesAfterStall = &writesAfterStall;
            v->stalling = &stalling;
            configure(*v);
            return v;
        };
        freeAtStart = test::FreeBytesOn(letter);
        boxes.answer(ui::MsgResult::Yes);
    }
    void TearDown() override {
        form.reset();
        if (!letter) return;
        test::ResetApplication();
        test::EmptyScratchDrive(letter);
        DeleteFileW(Widen(settingsPath).c_str());
    }

    // Presses Sanitize; a second thread waits for the stall, then checks that the window
    // answers and repaints, then posts `message` to `target` and looks at the abort flag.
    double runAndDuringTheStall(HWND target, UINT message) {
        std::thread watcher([&] { watch(target, message); });
        const auto start = Clock::now();
        SendMessageW(form->sanitizeButton.handle(), BM_CLICK, 0, 0);
        const double ms = MillisecondsSince(start);
        watcher.join();
        return ms;
    }

    void watch(HWND target, UINT message) {
        const auto start = Clock::now();
        while (!stalling && MillisecondsSince(start) < 20000) Sleep(1);
        if (!stalling) return;
        seen.sawStall = true;
        const HWND window = form->handle();
        seen.replyMilliseconds = PingWindow(window, 10, 100);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        const auto invalidated = Clock::now();
        while (GetUpdateRect(window, nullptr, FALSE) && MillisecondsSince(invalidated) < 100) Sleep(1);
        seen.repainted = !GetUpdateRect(window, nullptr, FALSE);

        PostMessageW(target, message, 0, 0);
        const auto posted = Clock::now();
        while (MillisecondsSince(posted) < 100 && !form->abortRequested()) Sleep(1);
        seen.abortTicked = form->abortRequested();
        // An interruptible call ends at once; one that is not goes on blocking.
        const auto taken = Clock::now();
        while (stalling && MillisecondsSince(taken) < 200) Sleep(1);
        seen.stillStalling = stalling;
    }

    void expectAnsweringWindow() {
        ASSERT_TRUE(seen.sawStall) << "the drive never stalled";
        ASSERT_EQ(seen.replyMilliseconds.size(), 10u);
        for (double ms : seen.replyMilliseconds) {
            EXPECT_GE(ms, 0) << "WM_NULL went unanswered for 100 ms";
            EXPECT_LT(ms, 100);
        }
        EXPECT_TRUE(seen.repainted);
        EXPECT_TRUE(seen.abortTicked);
    }
    void expectDriveAsBefore() {
        EXPECT_TRUE(test::FillFilesOn(letter).empty());
        EXPECT_EQ(test::FreeBytesOn(letter), freeAtStart);
    }

    std::function<void(StallingVolume&)> configure;
    std::atomic<bool> stalling{false};
    std::atomic<int> writesAfterStall{0};
    char letter = 0;
    std::string settingsPath;
    std::int64_t freeAtStart = 0;
    test::MessageBoxRecorder boxes;
    std::unique_ptr<MainForm> form;
    Observed seen;
};

TEST_F(StalledDriveTest, AWriteThatBlocksForSecondsKeepsTheWindowAnsweringAndAbortEndsTheRunWhenItReturns) {
    configure = [](StallingVolume& v) {
        v.stallWriteCall = 20;
        v.stallMilliseconds = 2000;
    };
    const double ms = runAndDuringTheStall(form->abortButton.handle(), BM_CLICK);

    expectAnsweringWindow();
    EXPECT_TRUE(seen.stillStalling);  // Abort was taken while the write was still blocked
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.last().text, "Processing aborted, as requested.");
    EXPECT_EQ(form->passLabel.caption(), " Processing Aborted !! ");
    EXPECT_EQ(writesAfterStall, 0) << "the run went on writing after the stalled write returned";
    EXPECT_GE(ms, 2000);
    expectDriveAsBefore();
    EXPECT_TRUE(IsWindowEnabled(form->sanitizeButton.handle()));
}

TEST_F(StalledDriveTest, ClosingTheWindowDuringAFlushThatBlocksInterruptsItAndCloses) {
    configure = [](StallingVolume& v) {
        v.stallFirstFlush = true;
        v.stallMilliseconds = 10000;
        v.interruptible = true;
    };
    const double ms = runAndDuringTheStall(form->handle(), WM_CLOSE);

    expectAnsweringWindow();
    EXPECT_FALSE(seen.stillStalling);  // the close interrupted the flush
    EXPECT_LT(ms, 5000) << "the interrupted flush did not end the run at once";
    EXPECT_EQ(boxes.count(), 1u);  // the confirmation only
    EXPECT_FALSE(IsWindowVisible(form->handle()));
    EXPECT_TRUE(ui::Application::instance().terminated());
    EXPECT_NE(GetFileAttributesW(Widen(settingsPath).c_str()), INVALID_FILE_ATTRIBUTES);
    expectDriveAsBefore();
}

TEST_F(StalledDriveTest, ADriveThatTakesSecondsToAnswerItsQueriesLeavesTheWindowAnswering) {
    // A network drive that has gone, a disk spinning up: the plain folder drive U: answers
    // only after 1.5 s.
    constexpr std::uint8_t kSlow = 'U' - 64;
    HooksToReplace().beforeDriveQuery = [](std::uint8_t drive) {
        if (drive == kSlow) Sleep(1500);
    };
    const auto start = Clock::now();
    form->driveList.setDrive('u');
    EXPECT_LT(MillisecondsSince(start), 400);
    EXPECT_EQ(form->diskSpaceLabel.caption(), "0");  // nothing known yet
    EXPECT_EQ(form->fileSystemLabel.caption(), "");

    std::vector<double> replies;
    std::thread pinger([&] { replies = PingWindow(form->handle(), 20, 200); });
    while (MillisecondsSince(start) < 5000 && form->fileSystemLabel.caption().empty()) {
        ui::Application::instance().processMessages();
        Sleep(5);
    }
    pinger.join();
    HooksToReplace().beforeDriveQuery = nullptr;
    for (double ms : replies) {
        EXPECT_GE(ms, 0) << "WM_NULL went unanswered for 200 ms";
        EXPECT_LT(ms, 200);
    }
    // The answer, once it came.
    EXPECT_GE(MillisecondsSince(start), 1500);
    EXPECT_NE(form->fileSystemLabel.caption(), "");
    EXPECT_NE(form->fileSystemLabel.caption(), "Unknown");
    EXPECT_NE(form->diskSpaceLabel.caption(), "0");
    EXPECT_EQ(form->volumeSerialLabel.caption().size(), 8u);

    // An answer for a drive the panel no longer shows is not shown.
    HooksToReplace().beforeDriveQuery = [](std::uint8_t drive) {
        if (drive == kSlow) Sleep(300);
    };
    form->driveList.setDrive(letter);
    form->driveList.setDrive('u');
    form->driveList.setDrive(letter);
    const std::string scratch = form->diskSpaceLabel.caption();
    const auto again = Clock::now();
    while (MillisecondsSince(again) < 600) {
        ui::Application::instance().processMessages();
        Sleep(5);
    }
    HooksToReplace().beforeDriveQuery = nullptr;
    EXPECT_EQ(form->diskSpaceLabel.caption(), scratch);
    EXPECT_EQ(form->volumeNameLabel.caption(), "QVXSCRATCH");
}

} // namespace
} // namespace qvx
