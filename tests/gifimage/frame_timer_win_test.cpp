// FrameTimer under Wine: window-timer and threaded modes, switching between them, releasing a
// timer from inside its own tick, and the failure paths.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "gif_win_test_support.h"
#include "gifimage/frame_timer_win.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

namespace qvx::gif::testing {
namespace {

TEST(FrameTimerWin, CreationDefaultsAndWindowMode) {
    FrameTimer t;
    EXPECT_TRUE(t.enabled());
    EXPECT_EQ(t.interval(), 1000u);
    EXPECT_FALSE(t.threaded() || t.threadSafe() || t.hasOnTimer() || t.hasThread());
    EXPECT_EQ(t.threadPriority(), ThreadPriority::Normal);

    // Ticks arrive as messages of this thread.
    int ticks = 0;
    bool otherThread = false;
    const DWORD gui = GetCurrentThreadId();
    t.setInterval(15);
    t.setOnTimer([&](FrameTimer& sender) {
        EXPECT_EQ(&sender, &t);
        ++ticks;
        otherThread |= GetCurrentThreadId() != gui;
    });
    EXPECT_TRUE(Pump([&] { return ticks >= 3; }, 3000));
    EXPECT_FALSE(otherThread);

    // Disabled, interval 0 or without a handler: no ticks.
    const std::function<void()> stops[] = {[&] { t.setEnabled(false); },
                                           [&] { t.setEnabled(true), t.setInterval(0); },
                                           [&] { t.setInterval(15), t.setOnTimer(nullptr); }};
    for (const auto& stop : stops) {
        stop();
        PumpFor(20);  // a tick already queued may still go by
        const int before = ticks;
        PumpFor(120);
        EXPECT_EQ(ticks, before);
    }
}

TEST(FrameTimerWin, ThreadedModeTicksOnTheGuiThreadUnlessThreadSafe) {
    FrameTimer t;
    std::atomic<int> ticks{0}, priority{0};
    std::atomic<bool> onGui{true};
    const DWORD gui = GetCurrentThreadId();
    t.setInterval(10);
    t.setThreadPriority(ThreadPriority::Highest);
    t.setThreaded(true);
    EXPECT_TRUE(t.hasThread());
    t.setOnTimer([&](FrameTimer&) {
        onGui = onGui && GetCurrentThreadId() == gui;
        priority = GetThreadPriority(GetCurrentThread());
        ++ticks;
    });
    EXPECT_TRUE(Pump([&] { return ticks >= 3; }, 3000));
    EXPECT_TRUE(onGui);

    // ThreadSafe: the handler runs on the worker itself, no message pumping needed.
    t.setThreadSafe(true);
    onGui = true;
    ticks = 0;
    EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }, 3000));
    EXPECT_FALSE(onGui);
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_HIGHEST);
    t.setThreadPriority(ThreadPriority::Lowest);
    EXPECT_TRUE(WaitFor([&] { return priority == THREAD_PRIORITY_LOWEST; }, 3000));

    // Disabled, the worker holds still; enabled again, it goes on.
    t.setEnabled(false);
    Sleep(30);
    const int before = ticks;
    Sleep(100);
    EXPECT_EQ(ticks.load(), before);
    t.setEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return ticks >= before + 2; }, 3000));
    t.setThreadSafe(false);

    // Back to window mode: the worker ends and the timer service ticks again.
    t.setThreaded(false);
    EXPECT_FALSE(t.hasThread());
    ticks = 0;
    onGui = true;
    EXPECT_TRUE(Pump([&] { return ticks >= 2; }, 3000));
    EXPECT_TRUE(onGui);
}

TEST(FrameTimerWin, ReleasedFromInsideItsOwnTick) {
    for (bool threaded : {false, true}) {
        SCOPED_TRACE(threaded ? "threaded" : "window timer");
        auto timer = std::make_unique<FrameTimer>();
        timer->setThreaded(threaded);
        timer->setInterval(10);
        int ticks = 0;
        timer->setOnTimer([&](FrameTimer&) {
            ++ticks;
            timer.reset();  // the handler's own timer
        });
        EXPECT_TRUE(Pump([&] { return timer == nullptr; }, 3000));
        PumpFor(80);
        EXPECT_EQ(ticks, 1);
    }
    // Destroyed while its worker waits for this thread to run a tick: the tick is dropped.
    auto timer = std::make_unique<FrameTimer>();
    int ticks = 0;
    timer->setOnTimer([&](FrameTimer&) { ++ticks; });
    timer->setInterval(5);
    timer->setThreaded(true);
    Sleep(60);  // the worker is now blocked in SendMessage
    timer.reset();
    PumpFor(60);
    EXPECT_EQ(ticks, 0);
}

TEST(FrameTimerWin, ErrorsInsideATickAreShownAndTheTimerGoesOn) {
    std::vector<ui::MessageBoxCall> shown;
    auto previous = ui::SetMessageBoxHook([&](const ui::MessageBoxCall& call) {
        shown.push_back(call);
        return ui::MsgResult::Ok;
    });
    {
        FrameTimer t;
        int ticks = 0;
        t.setInterval(10);
        t.setOnTimer([&](FrameTimer&) {
            ++ticks;
            throw std::runtime_error("tick failed");
        });
        EXPECT_TRUE(Pump([&] { return ticks >= 3; }, 3000));
    }
    ui::SetMessageBoxHook(previous);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, ui::MsgKind::Error);
    EXPECT_EQ(shown[0].text, "tick failed.");
}

UINT_PTR WINAPI RefuseTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

TEST(FrameTimerWin, RefusedWindowTimerRaisesOutOfResources) {
    FrameTimer t;
    t.setInterval(50);
    ui::TimerService& service = ui::Application::instance().timers();
    const auto previous = service.replaceSetTimer(RefuseTimer);
    try {
        t.setOnTimer([](FrameTimer&) {});
        ADD_FAILURE() << "no exception";
    } catch (const OutOfResourcesError& e) {
        EXPECT_STREQ(e.what(), "No More Timers Available");
    }
    t.setThreaded(true);  // threaded mode needs no window timer
    EXPECT_NO_THROW(t.setInterval(60));
    service.replaceSetTimer(previous);
}

} // namespace
} // namespace qvx::gif::testing
