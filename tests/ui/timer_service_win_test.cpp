// The timer service: ticks through its window, stopping (also against a late WM_TIMER),
// a timer removed inside its own tick, work handed over from another thread, a refused timer,
// and the form's Timer component on top of it.
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/form_win.h"
#include "ui/timer_service_win.h"
#include "ui/timer_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace qvx::ui {
namespace {

UINT_PTR WINAPI RefuseTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

TEST(TimerService, TicksUntilStoppedAndNotAfterwardsEvenFromALateMessage) {
    TimerService service;
    int ticks = 0;
    const auto id = service.add([&] { ++ticks; });
    EXPECT_FALSE(service.running(id));
    ASSERT_TRUE(service.start(id, 10));
    EXPECT_TRUE(service.running(id));
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 3000));

    // A WM_TIMER that the system had already queued when the timer stopped must not tick
    // (given to the window directly here: Wine drops a queued one of a killed timer itself).
    service.stop(id);
    test::PumpFor(30);
    const int before = ticks;
    SendMessageW(service.window(), WM_TIMER, id, 0);
    EXPECT_EQ(ticks, before);
    // While running, the same message is a tick.
    ASSERT_TRUE(service.start(id, 100000));
    SendMessageW(service.window(), WM_TIMER, id, 0);
    EXPECT_EQ(ticks, before + 1);

    // Unknown and removed timers neither start nor tick.
    service.remove(id);
    EXPECT_FALSE(service.running(id));
    EXPECT_FALSE(service.start(id, 10));
    SendMessageW(service.window(), WM_TIMER, id, 0);
    EXPECT_EQ(ticks, before + 1);
}

TEST(TimerService, ATimerRemovedInsideItsOwnTickFinishesThatTickOnly) {
    TimerService service;
    auto alive = std::make_shared<int>(0);
    TimerService::TimerId id = 0;
    int ticks = 0;
    id = service.add([&, alive] {
        service.remove(id);  // the tick's own function must survive this
        ++*alive;
        ++ticks;
    });
    ASSERT_TRUE(service.start(id, 5));
    EXPECT_TRUE(test::PumpUntil([&] { return ticks == 1; }, 3000));
    test::PumpFor(50);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(*alive, 1);
    EXPECT_EQ(alive.use_count(), 1);  // the function went with the timer
}

TEST(TimerService, WorkFromAnotherThreadRunsOnTheWindowsThreadWhileTheSenderWaits) {
    TimerService service;
    ASSERT_NE(service.window(), nullptr);
    const DWORD gui = GetCurrentThreadId();
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool> senderReturned{false};
    std::atomic<bool> ranBeforeReturn{false};
    std::thread worker([&] {
        service.runOnWindowThread([&] { ranOn = GetCurrentThreadId(); });
        ranBeforeReturn = ranOn != 0;
        senderReturned = true;
    });
    Sleep(50);
    EXPECT_FALSE(senderReturned);  // nothing runs until this thread takes its messages
    EXPECT_TRUE(test::PumpUntil([&] { return senderReturned.load(); }, 3000));
    worker.join();
    EXPECT_EQ(ranOn.load(), gui);
    EXPECT_TRUE(ranBeforeReturn);
}

TEST(TimerService, ARefusedTimerIsReportedAndDoesNotRun) {
    TimerService service;
    int ticks = 0;
    const auto id = service.add([&] { ++ticks; });
    const auto real = service.replaceSetTimer(RefuseTimer);
    EXPECT_FALSE(service.start(id, 5));
    EXPECT_FALSE(service.running(id));
    test::PumpFor(40);
    EXPECT_EQ(ticks, 0);
    service.replaceSetTimer(real);
    EXPECT_TRUE(service.start(id, 5));
    EXPECT_TRUE(test::PumpUntil([&] { return ticks > 0; }, 3000));
}

// The form's Timer component ticks through the application's service: only while enabled with
// an interval, and a new interval starts the countdown anew.
TEST(TimerComponent, RunsOnlyWhileEnabledWithAnIntervalAndRestartsOnChange) {
    test::ResetApplication();
    const std::vector<ControlDesign> rows = {{.kind = Kind::Timer, .name = "timer", .enabled = false, .interval = 10}};
    Form form({.name = "timerForm", .clientWidth = 100, .clientHeight = 50}, rows);
    Timer& timer = form.find<Timer>("timer");
    int ticks = 0;
    timer.OnTimer = [&](Timer& sender) {
        EXPECT_EQ(&sender, &timer);
        ++ticks;
    };
    test::PumpFor(60);
    EXPECT_EQ(ticks, 0);

    timer.setEnabled(true);
    EXPECT_TRUE(test::PumpUntil([&] { return ticks >= 3; }, 3000));
    timer.setInterval(0);
    test::PumpFor(20);
    int before = ticks;
    test::PumpFor(80);
    EXPECT_EQ(ticks, before);

    // A long interval set just before a tick was due: no tick comes within the short one.
    timer.setInterval(50);
    Sleep(40);
    timer.setInterval(400);
    before = ticks;
    test::PumpFor(150);
    EXPECT_EQ(ticks, before);

    // A refused system timer leaves the component still, without an error.
    TimerService& service = Application::instance().timers();
    const auto real = service.replaceSetTimer(RefuseTimer);
    timer.setInterval(10);
    test::PumpFor(60);
    EXPECT_EQ(ticks, before);
    service.replaceSetTimer(real);
}

} // namespace
} // namespace qvx::ui
