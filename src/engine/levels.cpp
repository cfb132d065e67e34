#include "engine/levels.h"

#include <cstring>

#include "engine/random_generator.h"

namespace qvx::engine {

namespace {

struct Level {
    std::string_view caption;
    int passes;
    std::string_view recoverability;
    // Either a closing line of its own or the comparison with an earlier level.
    std::string_view closing;
    int comparedLevel;
};

constexpr std::string_view kUnEraseLine =
    "Data in deleted files will NOT be recoverable using UnErase and similar software "
    "techniques.  ";

constexpr std::array<Level, kLevelCount> kLevels = {{
    {"Basic / Quick  (1 Pass)", 1,
     "However, large fragments of data previously written to the disk (including data that "
     "existed on the disk previously and has been overwritten many times by newer data) will "
     "be recoverable by determined and skilled hackers using advanced techniques : Magnetic "
     "Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     "This level of sanitization is the most basic and it can be applied to your drives "
     "quickly, however, it provides minimal protection for your previously erased data.",
     -1},
    {"Medium  (3 Passes)", 3,
     "However, significant fragments of data previously written to the disk (including data "
     "that existed on the disk previously and has been overwritten many times by newer data) "
     "will be recoverable by determined and skilled hackers using advanced techniques : "
     "Magnetic Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     {}, 0},
    {"High  (9 Passes)", 9,
     "However, fragments of data previously written to the disk (including data that existed "
     "on the disk previously and has been overwritten many times by newer data) may be "
     "recoverable by very determined and skilled hackers using advanced techniques : Magnetic "
     "Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     {}, 1},
    {"Industrial Strength  (20 Passes)", 20,
     "However, small fragments of data previously written to the disk (including data that "
     "existed on the disk previously and has been overwritten many times by newer data) may "
     "be recoverable by very determined and skilled hackers using advanced techniques : "
     "Magnetic Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     {}, 2},
    {"Department of Defense  (35 Passes)", 35,
     "In addition, it is very unlikely that any data ever written to the disk will be "
     "recoverable even by the most determined hackers, even if they used advanced techniques "
     ": Magnetic Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     "This level of sanitization will provide very high protection for your erased data.", -1},
    {"You've Got to be Joking (100 Passes)", 100,
     "In addition, it is *extremely* unlikely that any data ever written to the disk will be "
     "recoverable even by the most determined hackers, even if they used advanced techniques "
     ": Magnetic Force Microscopy (MFM), Scanning Probe Microscopy (SPM), etc.",
     "This level of sanitization will provide maximum protection for your erased data.", -1},
}};

constexpr PassPattern R{0, {0, 0, 0}};
constexpr PassPattern One(std::uint8_t b) { return {1, {b, b, b}}; }
constexpr PassPattern Three(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    return {3, {a, b, c}};
}

// Gutmann's 35 passes in their order, then one more random pass.
constexpr std::array<PassPattern, kCycleLength> kCycle = {{
    R, R, R, R,                                                           // 1-4
    One(0x55), One(0xAA),                                                 // 5-6
    Three(0x92, 0x49, 0x24), Three(0x49, 0x24, 0x92), Three(0x24, 0x92, 0x49),  // 7-9
    One(0x00), One(0x11), One(0x22), One(0x33), One(0x44), One(0x55), One(0x66),
    One(0x77), One(0x88), One(0x99), One(0xAA), One(0xBB), One(0xCC), One(0xDD),
    One(0xEE), One(0xFF),                                                 // 10-25
    Three(0x92, 0x49, 0x24), Three(0x49, 0x24, 0x92), Three(0x24, 0x92, 0x49),  // 26-28
    Three(0x6D, 0xB6, 0xDB), Three(0xB6, 0xDB, 0x6D), Three(0xDB, 0x6D, 0xB6),  // 29-31
    R, R, R, R, R,                                                        // 32-36
}};

bool ValidLevel(int levelIndex) { return levelIndex >= 0 && levelIndex < kLevelCount; }

} // namespace

std::string_view LevelCaption(int levelIndex) {
    return ValidLevel(levelIndex) ? kLevels[static_cast<std::size_t>(levelIndex)].caption
                                  : std::string_view{};
}

std::string LevelDescription(int levelIndex) {
    if (!ValidLevel(levelIndex)) return {};
    const Level& level = kLevels[static_cast<std::size_t>(levelIndex)];
    std::string text;
    text.reserve(900);
    text += level.caption;
    text += "\r\n\r\n";
    text += kUnEraseLine;
    text += "\r\n\r\n";
    text += level.recoverability;
    text += "\r\n\r\n";
    if (level.comparedLevel >= 0) {
        text += "This level of sanitization will provide more protection for your erased data "
                "than the \"";
        text += LevelCaption(level.comparedLevel);
        text += "\" sanitization level.";
    } else {
        text += level.closing;
    }
    return text;
}

std::string MainWindowCaption(int levelIndex) {
    std::string caption(kMainCaptionPrefix);
    caption += LevelCaption(levelIndex);
    return caption;
}

std::optional<int> PassCount(int levelIndex) {
    if (ValidLevel(levelIndex)) return kLevels[static_cast<std::size_t>(levelIndex)].passes;
    if (levelIndex >= kLevelCount && levelIndex <= 100) return 100;
    return std::nullopt;
}

std::optional<PassPattern> PatternAt(int cyclePosition) {
    if (cyclePosition < 1 || cyclePosition > kCycleLength) return std::nullopt;
    return kCycle[static_cast<std::size_t>(cyclePosition - 1)];
}

bool FillBlockBufferForPosition(BlockBuffer& buffer, int cyclePosition) {
    const std::optional<PassPattern> pattern = PatternAt(cyclePosition);
    if (!pattern) return false;
    std::uint8_t* bytes = buffer.bytes.data();
    switch (pattern->length) {
    case 0: FillRandomBytes(bytes, kBlockSize); break;
    case 1: std::memset(bytes, pattern->bytes[0], kBlockSize); break;
    default: {
        // Whole triples only: 21,845 of them cover bytes 1..65,535; the last byte keeps what
        // the previous pass left there.
        constexpr std::size_t kTripleBytes = (kBlockSize / 3) * 3;
        std::memcpy(bytes, pattern->bytes.data(), 3);
        std::size_t done = 3;
        while (done < kTripleBytes) {
            const std::size_t n = done <= kTripleBytes - done ? done : kTripleBytes - done;
            std::memcpy(bytes + done, bytes, n);
            done += n;
        }
        break;
    }
    }
    return true;
}

} // namespace qvx::engine
