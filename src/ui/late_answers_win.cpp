#include "ui/late_answers_win.h"

#include <process.h>

namespace qvx::ui {

void LateAnswers::StartThread(std::function<void()> work) {
    // A thread of the C runtime's own, not a detached std::thread: winpthreads' detach can race
    // with a thread that has already ended, and these often end at once.
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const auto run = [](void* argument) -> unsigned {
        const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
        (*body)();
        return 0;
    };
    const std::uintptr_t thread = _beginthreadex(nullptr, 0, run, owned.get(), 0, nullptr);
    if (thread == 0) {
        (*owned)();
        return;
    }
    owned.release();  // the thread owns it now
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}

} // namespace qvx::ui
