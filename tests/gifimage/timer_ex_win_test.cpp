// TTimerEx under Wine: window-timer and threaded modes, switching between them, releasing a
// timer from inside its own tick, and the failure paths.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "gif_win_test_support.h"
#include "gifimage/timer_ex_win.h"
#include "ui/message_box_win.h"

namespace qvx::gif::testing {
namespace {

TEST(TimerEx, CreationDefaultsAndWindowMode) {
    TTimerEx t;
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_FALSE(t.Threaded() || t.ThreadSafe() || t.HasOnTimer() || t.HasThread());
    EXPECT_EQ(t.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_TRUE(IsWindow(t.WindowHandle()));

    // Ticks arrive as messages of this thread.
    int ticks = 0;
    bool otherThread = false;
    const DWORD gui = GetCurrentThreadId();
    t.SetInterval(15);
    t.SetOnTimer([&](TTimerEx& sender) {
        EXPECT_EQ(&sender, &t);
        ++ticks;
        otherThread |= GetCurrentThreadId() != gui;
    });
    EXPECT_TRUE(Pump([&] { return ticks >= 3; }, 3000));
    EXPECT_FALSE(otherThread);

    // Disabled, interval 0 or without a handler: no ticks.
    const std::function<void()> stops[] = {[&] { t.SetEnabled(false); },
                                           [&] { t.SetEnabled(true), t.SetInterval(0); },
                                           [&] { t.SetInterval(15), t.SetOnTimer(nullptr); }};
    for (const auto& stop : stops) {
        stop();
        PumpFor(20);  // a tick already queued may still go by
        const int before = ticks;
        PumpFor(120);
        EXPECT_EQ(ticks, before);
    }
}

TEST(TimerEx, ThreadedModeTicksOnTheGuiThreadUnlessThreadSafe) {
    TTimerEx t;
    std::atomic<int> ticks{0}, priority{0};
    std::atomic<bool> onGui{true};
    const DWORD gui = GetCurrentThreadId();
    t.SetInterval(10);
    t.SetThreadPriority(TThreadPriority::tpHighest);
    t.SetThreaded(true);
    EXPECT_EQ(t.WindowHandle(), nullptr);  // the message window goes in threaded mode
    EXPECT_TRUE(t.HasThread());
    t.SetOnTimer([&](TTimerEx&) {
        onGui = onGui && GetCurrentThreadId() == gui;
        priority = GetThreadPriority(GetCurrentThread());
        ++ticks;
    });
    EXPECT_TRUE(Pump([&] { return ticks >= 3; }, 3000));
    EXPECT_TRUE(onGui);

    // ThreadSafe: the handler runs on the worker itself, no message pumping needed.
    t.SetThreadSafe(true);
    onGui = true;
    ticks = 0;
    EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }, 3000));
    EXPECT_FALSE(onGui);
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_HIGHEST);
    t.SetThreadPriority(TThreadPriority::tpLowest);
    EXPECT_TRUE(WaitFor([&] { return priority == THREAD_PRIORITY_LOWEST; }, 3000));

    // Disabled, the worker holds still; enabled again, it goes on.
    t.SetEnabled(false);
    Sleep(30);
    const int before = ticks;
    Sleep(100);
    EXPECT_EQ(ticks.load(), before);
    t.SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return ticks >= before + 2; }, 3000));
    t.SetThreadSafe(false);

    // Back to window mode: the worker ends and a message window comes back.
    t.SetThreaded(false);
    EXPECT_FALSE(t.HasThread());
    EXPECT_TRUE(IsWindow(t.WindowHandle()));
    ticks = 0;
    onGui = true;
    EXPECT_TRUE(Pump([&] { return ticks >= 2; }, 3000));
    EXPECT_TRUE(onGui);
}

TEST(TimerEx, ReleasedFromInsideItsOwnTick) {
    for (bool threaded : {false, true}) {
        SCOPED_TRACE(threaded ? "threaded" : "window timer");
        auto timer = std::make_unique<TTimerEx>();
        timer->SetThreaded(threaded);
        timer->SetInterval(10);
        int ticks = 0;
        timer->SetOnTimer([&](TTimerEx&) {
            ++ticks;
            timer.reset();  // the handler's own timer
        });
        EXPECT_TRUE(Pump([&] { return timer == nullptr; }, 3000));
        PumpFor(80);
        EXPECT_EQ(ticks, 1);
    }
    // Destroyed while its worker waits for this thread to run a tick: the tick is dropped.
    auto timer = std::make_unique<TTimerEx>();
    int ticks = 0;
    timer->SetOnTimer([&](TTimerEx&) { ++ticks; });
    timer->SetInterval(5);
    timer->SetThreaded(true);
    Sleep(60);  // the worker is now blocked in SendMessage
    timer.reset();
    PumpFor(60);
    EXPECT_EQ(ticks, 0);
}

TEST(TimerEx, ErrorsInsideATickAreShownAndTheTimerGoesOn) {
    std::vector<ui::MessageBoxCall> shown;
    auto previous = ui::SetMessageBoxHook([&](const ui::MessageBoxCall& call) {
        shown.push_back(call);
        return ui::MsgResult::Ok;
    });
    {
        TTimerEx t;
        int ticks = 0;
        t.SetInterval(10);
        t.SetOnTimer([&](TTimerEx&) {
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

TEST(TimerEx, RefusedWindowTimerRaisesOutOfResources) {
    TTimerEx t;
    t.SetInterval(50);
    const auto previous = SetTimerFunctionForTests(RefuseTimer);
    try {
        t.SetOnTimer([](TTimerEx&) {});
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "No More Timers Available");
    }
    t.SetThreaded(true);  // threaded mode needs no window timer
    EXPECT_NO_THROW(t.SetInterval(60));
    SetTimerFunctionForTests(previous);
}

} // namespace
} // namespace qvx::gif::testing
