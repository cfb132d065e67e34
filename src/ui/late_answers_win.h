#pragma once
// Questions that a drive may take tens of seconds to answer (a network share that has gone, a
// disk that spins up), asked on a thread of their own so that the window keeps answering. The
// caller waits a moment: most drives answer within milliseconds, and their answer is shown at
// once, as before. An answer that comes later reaches `late` on the window's thread, as long as
// the LateAnswers object that asked still lives.
#include "platform/win32/system_hooks.h"
#include "ui/application_win.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace qvx::ui {

// Long enough for any drive that is there, short enough that the window never seems to hang.
inline constexpr std::chrono::milliseconds kDriveAnswerWait{150};

class LateAnswers {
public:
    LateAnswers() = default;
    LateAnswers(const LateAnswers&) = delete;
    LateAnswers& operator=(const LateAnswers&) = delete;

    // On the window's thread. `driveNumber` (1 for A:) is what the question is about: the
    // installed system hooks may hold it up there, as a slow drive would.
    template <class T>
    std::optional<T> ask(std::uint8_t driveNumber, std::function<T()> question, std::function<void(T)> late,
                         std::chrono::milliseconds wait = kDriveAnswerWait) {
        struct Pending {
            std::mutex mutex;
            std::condition_variable answered;
            std::optional<T> answer;
            bool callerGone = false;
        };
        auto pending = std::make_shared<Pending>();
        const HWND window = Application::instance().timers().window();
        std::function<void(std::uint8_t)> delay;
        if (const SystemHooks* hooks = InstalledSystemHooks()) delay = hooks->beforeDriveQuery;
        std::weak_ptr<int> alive = alive_;
        StartThread([pending, question = std::move(question), late = std::move(late), delay = std::move(delay), alive,
                     window, driveNumber] {
            if (delay) delay(driveNumber);
            T answer = question();
            std::unique_lock lock(pending->mutex);
            pending->answer = answer;
            if (!pending->callerGone) {
                pending->answered.notify_all();
                return;
            }
            lock.unlock();
            TimerService::post(window, [late, alive, answer = std::move(answer)] {
                if (alive.lock()) late(answer);
            });
        });
        std::unique_lock lock(pending->mutex);
        if (pending->answered.wait_for(lock, wait, [&] { return pending->answer.has_value(); })) return pending->answer;
        pending->callerGone = true;
        return std::nullopt;
    }

private:
    // Runs `work` on a new thread that nobody waits for (a drive may hold it for minutes); where
    // no thread can be made, here and now.
    static void StartThread(std::function<void()> work);

    // Posted answers hold a weak copy: once this object is gone, they are dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace qvx::ui
