#pragma once
// How often a fill file's written data is flushed while it is being written. Windows' cache
// takes writes far faster than a slow drive stores them, and a stop cannot cut a flush short:
// a 1 GiB file flushed only at its end would hold an Abort for 100 s on a 10 MB/s stick. So
// the file is flushed in parts, each about as large as the drive writes in kTargetSeconds
// (measured from the flushes before), and a stop waits for one such part at most.
#include <algorithm>
#include <cstdint>

namespace qvx::engine {

class FlushPacer {
public:
    static constexpr std::int64_t kFirstPart = std::int64_t{16} << 20;
    static constexpr std::int64_t kSmallestPart = std::int64_t{4} << 20;
    static constexpr std::int64_t kLargestPart = std::int64_t{256} << 20;
    static constexpr double kTargetSeconds = 1.0;

    // Whether the bytes written since the last flush make up a part.
    bool due(std::int64_t unflushedBytes) const { return unflushedBytes >= part_; }

    // A flush of `bytes` took `seconds`: the next part is what the drive writes in the target
    // time, at most twice the last one (a flush that found most of its data already written
    // looks faster than the drive is). The small flush at a file's end says little: the call's
    // own cost outweighs its bytes.
    void flushed(std::int64_t bytes, double seconds) {
        if (bytes < kSmallestPart) return;
        const double rate = seconds > 0 ? static_cast<double>(bytes) / seconds : static_cast<double>(kLargestPart);
        const auto wanted = static_cast<std::int64_t>(std::min(rate * kTargetSeconds, static_cast<double>(kLargestPart)));
        part_ = std::clamp(std::min(wanted, 2 * part_), kSmallestPart, kLargestPart);
    }

    std::int64_t part() const { return part_; }

private:
    std::int64_t part_ = kFirstPart;
};

} // namespace qvx::engine
