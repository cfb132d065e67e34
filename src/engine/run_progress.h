#pragma once
// What the drive's thread of a run has reached, handed to the window's thread that shows it.
// The drive's thread updates the values after every call to the drive; the window's thread
// takes a copy at the screen's pace. Only values cross: the window makes the texts.
#include <atomic>
#include <cstdint>
#include <mutex>

namespace qvx::engine {

struct ProgressValues {
    bool started = false;  // the leftovers are swept and the free space is known
    int leftoversRemoved = 0;
    std::int64_t startFreeBytes = 0;
    double startTime = 0;  // day-based, as RunHost::now gives it

    int pass = 0;               // the pass that has begun (0: none yet)
    bool patternReady = false;  // its block is made: its progress bar starts again
    int patternErrors = 0;

    std::int64_t passBytes = 0;
    std::int64_t writtenBytes = 0;
    std::uint64_t writes = 0;     // every write counts, also one that wrote nothing
    std::uint32_t lastWrite = 0;  // bytes the last write wrote
    double elapsedDays = 0;       // since the start, when the last write returned
    // The same at the last write of a whole block: the estimates come from there.
    std::uint64_t fullWrites = 0;
    std::int64_t writtenAtFull = 0;
    double elapsedAtFull = 0;
};

class RunProgress {
public:
    ProgressValues snapshot() const {
        std::lock_guard lock(mutex_);
        return values_;
    }
    template <class Change>
    void update(Change&& change) {
        std::lock_guard lock(mutex_);
        change(values_);
    }

    void requestStop() { stop_.store(true, std::memory_order_relaxed); }
    bool stopRequested() const { return stop_.load(std::memory_order_relaxed); }

private:
    mutable std::mutex mutex_;
    ProgressValues values_;
    std::atomic<bool> stop_{false};
};

} // namespace qvx::engine
