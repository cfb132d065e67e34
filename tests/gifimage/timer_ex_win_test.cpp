// TTimerEx under Wine: window-timer and threaded modes, switching between them, releasing a
// timer from inside its own tick, and the failure paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "gifimage/timer_ex_win.h"
#include "ui/message_box_win.h"

namespace qvx::gif {
namespace {

// Processes messages until `done` holds or `ms` have passed; returns `done()`.
bool Pump(const std::function<bool()>& done, int ms) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        const auto left = static_cast<long>(until - GetTickCount());
        if (left <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long>(left, 10)), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return done();
}

void PumpFor(int ms) {
    Pump([] { return false; }, ms);
}

TEST(TimerEx, CreationDefaultsAndWindowMode) {
    TTimerEx t;
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_FALSE(t.Threaded());
    EXPECT_EQ(t.ThreadPriority(), TThreadPriority::tpNormal);
    EXPECT_FALSE(t.ThreadSafe());
    EXPECT_FALSE(t.HasOnTimer());
    ASSERT_NE(t.WindowHandle(), nullptr);
    EXPECT_TRUE(IsWindow(t.WindowHandle()));
    EXPECT_FALSE(t.HasThread());

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
    for (int step = 0; step < 3; ++step) {
        if (step == 0) t.SetEnabled(false);
        if (step == 1) {
            t.SetEnabled(true);
            t.SetInterval(0);
        }
        if (step == 2) {
            t.SetInterval(15);
            t.SetOnTimer(nullptr);
        }
        PumpFor(20);  // let a tick already queued go by
        const int before = ticks;
        PumpFor(120);
        EXPECT_EQ(ticks, before) << "step " << step;
    }
}

TEST(TimerEx, ThreadedModeTicksOnTheGuiThreadUnlessThreadSafe) {
    TTimerEx t;
    std::atomic<int> ticks{0};
    std::atomic<bool> onGui{true};
    std::atomic<int> priority{0};
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
    const DWORD until = GetTickCount() + 3000;
    while (ticks < 3 && static_cast<long>(until - GetTickCount()) > 0) Sleep(5);
    EXPECT_GE(ticks.load(), 3);
    EXPECT_FALSE(onGui);
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_HIGHEST);
    t.SetThreadPriority(TThreadPriority::tpLowest);
    Sleep(60);
    EXPECT_EQ(priority.load(), THREAD_PRIORITY_LOWEST);

    // Disabled: the worker holds still.
    t.SetEnabled(false);
    Sleep(30);
    const int before = ticks;
    Sleep(100);
    EXPECT_EQ(ticks.load(), before);
    t.SetEnabled(true);
    const DWORD until2 = GetTickCount() + 3000;
    while (ticks < before + 2 && static_cast<long>(until2 - GetTickCount()) > 0) Sleep(5);
    EXPECT_GE(ticks.load(), before + 2);
    t.SetThreadSafe(false);

    // Back to window mode: the worker ends and a message window comes back.
    t.SetThreaded(false);
    EXPECT_FALSE(t.HasThread());
    ASSERT_NE(t.WindowHandle(), nullptr);
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
    // Destroyed while its worker waits for the GUI thread to run a tick: the tick is dropped.
    auto timer = std::make_unique<TTimerEx>();
    int ticks = 0;
    timer->SetOnTimer([&](TTimerEx&) { ++ticks; });
    timer->SetInterval(5);
    timer->SetThreaded(true);
    Sleep(60);  // the worker is now blocked in SendMessage, waiting for this thread
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
    SetTimerFunctionForTests(previous);
    // Threaded mode needs no window timer.
    t.SetThreaded(true);
    SetTimerFunctionForTests(RefuseTimer);
    EXPECT_NO_THROW(t.SetInterval(60));
    SetTimerFunctionForTests(previous);
}

} // namespace
} // namespace qvx::gif
