#include "engine/levels.h"

#include <gtest/gtest.h>

#include "engine/random_generator.h"

using namespace qvx::engine;

TEST(Levels, CaptionsPassesAndDescriptions) {
    EXPECT_EQ(LevelCaption(0), "Basic / Quick  (1 Pass)");
    EXPECT_EQ(LevelCaption(3), "Industrial Strength  (20 Passes)");
    EXPECT_EQ(LevelCaption(5), "You've Got to be Joking (100 Passes)");
    EXPECT_EQ(LevelCaption(6), "");
    EXPECT_EQ(MainWindowCaption(1), "Quarvex v2.0f    -  Medium  (3 Passes)");
    const int passes[] = {1, 3, 9, 20, 35, 100};
    for (int i = 0; i < kLevelCount; ++i) EXPECT_EQ(PassCount(i), passes[i]);
    EXPECT_EQ(PassCount(6), 100);
    EXPECT_EQ(PassCount(100), 100);
    EXPECT_FALSE(PassCount(101));
    EXPECT_FALSE(PassCount(-1));

    EXPECT_EQ(LevelDescription(1),
              "Medium  (3 Passes)\r\n\r\n"
              "Data in deleted files will NOT be recoverable using UnErase and similar software "
              "techniques.  \r\n\r\n"
              "However, significant fragments of data previously written to the disk (including "
              "data that existed on the disk previously and has been overwritten many times by "
              "newer data) will be recoverable by determined and skilled hackers using advanced "
              "techniques : Magnetic Force Microscopy (MFM), Scanning Probe Microscopy (SPM), "
              "etc.\r\n\r\n"
              "This level of sanitization will provide more protection for your erased data "
              "than the \"Basic / Quick  (1 Pass)\" sanitization level.");
    for (int i = 0; i < kLevelCount; ++i) {
        const std::string memo = LevelDescription(i);
        std::size_t breaks = 0;
        for (std::size_t p = memo.find("\r\n"); p != std::string::npos; p = memo.find("\r\n", p + 2))
            ++breaks;
        EXPECT_EQ(breaks, 6u) << i;
        EXPECT_EQ(memo.find('\n'), memo.find("\r\n") + 1);
    }
    EXPECT_TRUE(LevelDescription(3).ends_with("than the \"High  (9 Passes)\" sanitization level."));
    EXPECT_TRUE(LevelDescription(5).ends_with("provide maximum protection for your erased data."));
    EXPECT_EQ(LevelDescription(-1), "");
}

TEST(Levels, PassNumbersWalkTheGutmannCycle) {
    EXPECT_EQ(CyclePosition(1), 2);
    EXPECT_EQ(CyclePosition(35), 36);
    EXPECT_EQ(CyclePosition(36), 1);
    EXPECT_EQ(CyclePosition(100), 29);
    // First byte of passes 1..40 (-1: random); passes 6-8 and 25-30 are three-byte patterns.
    const int first[40] = {-1,   -1,   -1,   0x55, 0xAA, 0x92, 0x49, 0x24, 0x00, 0x11,
                           0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB,
                           0xCC, 0xDD, 0xEE, 0xFF, 0x92, 0x49, 0x24, 0x6D, 0xB6, 0xDB,
                           -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   -1,   0x55};
    for (int pass = 1; pass <= 40; ++pass) {
        const PassPattern p = *PatternAt(CyclePosition(pass));
        const bool triple = (pass >= 6 && pass <= 8) || (pass >= 25 && pass <= 30);
        EXPECT_EQ(p.length, first[pass - 1] < 0 ? 0 : triple ? 3 : 1) << pass;
        if (p.length != 0) {
            EXPECT_EQ(p.bytes[0], first[pass - 1]) << pass;
        }
    }
    EXPECT_EQ(PatternAt(CyclePosition(30))->bytes, (std::array<std::uint8_t, 3>{0xDB, 0x6D, 0xB6}));
    EXPECT_EQ(PatternAt(CyclePosition(7))->bytes, (std::array<std::uint8_t, 3>{0x49, 0x24, 0x92}));
    EXPECT_FALSE(PatternAt(0));
    EXPECT_FALSE(PatternAt(37));
}

TEST(Levels, GeneratorStepsAndSeeds) {
    SeedRandom(0);
    EXPECT_EQ(RandomByte(), 0x00);
    EXPECT_EQ(RandomByte(), 0x08);
    EXPECT_EQ(RandomState(), 0x08088406u);
    SeedRandom(1);
    EXPECT_EQ(RandomIndex(100), 3u);  // S = 134775814; 134775814 * 100 / 2^32 = 3.14
    EXPECT_EQ(RandomIndex(0), 0u);
    EXPECT_EQ(MillisecondsOfDay(23, 59, 59, 999), 86'399'999u);
}

TEST(Levels, BlockBufferFill) {
    auto buffer = std::make_unique<BlockBuffer>();
    auto& bytes = buffer->bytes;

    SeedRandom(0);
    ASSERT_TRUE(FillBlockBuffer(*buffer, 1));  // random
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x08);
    std::uint32_t s = 0;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        s = s * 134775813u + 1u;
        ASSERT_EQ(bytes[i], s >> 24) << i;
    }
    EXPECT_EQ(RandomState(), s);  // the next random pass continues from here

    ASSERT_TRUE(FillBlockBuffer(*buffer, 5));  // 0xAA
    for (std::uint8_t byte : bytes) ASSERT_EQ(byte, 0xAA);

    ASSERT_TRUE(FillBlockBuffer(*buffer, 6));  // 0x92 0x49 0x24, last byte untouched
    const std::uint8_t head[] = {0x92, 0x49, 0x24, 0x92, 0x49, 0x24};
    EXPECT_TRUE(std::equal(head, head + 6, bytes.begin()));
    for (std::size_t i = 0; i + 1 < kBlockSize; ++i) ASSERT_EQ(bytes[i], head[i % 3]) << i;
    EXPECT_EQ(bytes[65532], 0x92);
    EXPECT_EQ(bytes[65534], 0x24);
    EXPECT_EQ(bytes[65535], 0xAA);

    // Outside the cycle: the buffer stays as it was.
    const BlockBuffer before = *buffer;
    EXPECT_FALSE(FillBlockBufferForPosition(*buffer, 0));
    EXPECT_FALSE(FillBlockBuffer(*buffer, -1));
    EXPECT_EQ(buffer->bytes, before.bytes);
}
