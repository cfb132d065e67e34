#include "engine/flush_pacer.h"

#include <gtest/gtest.h>

using qvx::engine::FlushPacer;

namespace {
constexpr std::int64_t MiB = std::int64_t{1} << 20;
}

TEST(FlushPacer, PartsFollowTheDrivesSpeedWithinBounds) {
    FlushPacer pacer;
    EXPECT_FALSE(pacer.due(16 * MiB - 1));
    EXPECT_TRUE(pacer.due(16 * MiB));

    // A 10 MB/s stick: a part is what it writes in a second, so a stop waits about that long.
    pacer.flushed(16 * MiB, 1.6);
    EXPECT_EQ(pacer.part(), 10 * MiB);
    // A fast drive: the part at most doubles per flush, up to 256 MiB.
    for (int i = 0; i < 3; ++i) pacer.flushed(pacer.part(), 0.01);
    EXPECT_EQ(pacer.part(), 80 * MiB);
    for (int i = 0; i < 5; ++i) pacer.flushed(pacer.part(), 0.0);
    EXPECT_EQ(pacer.part(), 256 * MiB);
    // A file's small last flush says nothing; a crawling drive still gets 4 MiB parts.
    pacer.flushed(MiB, 10.0);
    EXPECT_EQ(pacer.part(), 256 * MiB);
    pacer.flushed(256 * MiB, 1000.0);
    EXPECT_EQ(pacer.part(), 4 * MiB);
}
