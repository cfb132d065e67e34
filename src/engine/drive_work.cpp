// The drive's share of a run, on a thread of its own: every call to the drive happens here,
// and what it reaches goes to RunProgress for the window to show.
#include "engine/fill_run.h"

#include "engine/fill_files.h"

#include <algorithm>

namespace qvx::engine {

namespace {

class ProgressListener final : public PassListener {
public:
    ProgressListener(RunHost& host, RunProgress& progress, double startTime)
        : host_(host), progress_(progress), startTime_(startTime) {}

    void written(std::uint32_t bytes) override {
        // The time is taken once the write has returned: a block shows only when it is done.
        const double elapsed = host_.now() - startTime_;
        progress_.update([&](ProgressValues& v) {
            v.passBytes += bytes;
            v.writtenBytes += bytes;
            ++v.writes;
            v.lastWrite = bytes;
            v.elapsedDays = elapsed;
            if (bytes == kBlockSize) {
                ++v.fullWrites;
                v.writtenAtFull = v.writtenBytes;
                v.elapsedAtFull = elapsed;
            }
        });
        host_.driveProgressed();
    }
    void betweenFiles() override { host_.driveProgressed(); }
    bool stopRequested() override { return progress_.stopRequested(); }

private:
    RunHost& host_;
    RunProgress& progress_;
    double startTime_;
};

int SweepLeftovers(FillVolume& volume, RunHost& host, char driveLetter) {
    int removed = 0;
    for (const std::string& name : volume.listLeftoverFillFiles(driveLetter)) {
        if (volume.deleteLeftoverFillFile(name)) ++removed;
        host.driveProgressed();
    }
    return removed;
}

} // namespace

DriveOutcome RunDriveWork(FillVolume& volume, RunHost& host, RunProgress& progress, char driveLetter,
                          int passCount) {
    // Before the free-space query, so that the space the leftovers held is wiped by this run.
    const int removed = SweepLeftovers(volume, host, driveLetter);
    const std::optional<FreeSpace> space = volume.freeSpace(DriveNumber(driveLetter));
    const std::int64_t free = space ? std::max<std::int64_t>(space->forUser, 0) : 0;
    const double startTime = host.now();
    progress.update([&](ProgressValues& v) {
        v.started = true;
        v.leftoversRemoved = removed;
        v.startFreeBytes = free;
        v.startTime = startTime;
    });
    host.driveProgressed();

    DriveOutcome outcome;
    if (!space) {
        // No medium, a locked or a vanished drive: an error, never an empty drive.
        outcome.failure.end = PassEnd::DriveUnreadable;
        return outcome;
    }
    ProgressListener listener(host, progress, startTime);
    const auto block = std::make_unique<BlockBuffer>();
    for (int pass = 1; pass <= passCount; ++pass) {
        outcome.lastPass = pass;
        progress.update([&](ProgressValues& v) {
            v.pass = pass;
            v.patternReady = false;
            v.passBytes = 0;
        });
        host.driveProgressed();
        const bool made = FillBlockBuffer(*block, pass);
        progress.update([&](ProgressValues& v) {
            v.patternReady = true;
            if (!made) ++v.patternErrors;
        });
        host.driveProgressed();
        host.awaitDisplay();

        const PassResult done = FillPass(volume, listener, driveLetter, *block).run();
        outcome.smallFiles += done.smallFiles;
        outcome.unreachableBytes = std::max(outcome.unreachableBytes, done.unreachableBytes);
        if (done.end != PassEnd::Done && done.end != PassEnd::Stopped) {
            outcome.failure = done;
            break;
        }
        if (done.end == PassEnd::Stopped || progress.stopRequested()) {
            outcome.stopped = true;
            break;
        }
    }
    return outcome;
}

} // namespace qvx::engine
