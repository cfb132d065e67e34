#pragma once
// Sanitization levels, the 36-entry pass pattern cycle and the block buffer of a run.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvx::engine {

inline constexpr int kLevelCount = 6;
inline constexpr std::size_t kBlockSize = 65'536;
inline constexpr int kCycleLength = 36;

inline constexpr std::string_view kInternalError100 =
    "Internal Error #100 : Unsupported / unknown Sanitization Level - please contact this "
    "program's author.";
inline constexpr std::string_view kInternalError200 =
    "Internal Error #200 : Unsupported / unknown Sanitization Level - please contact this "
    "program's author.";

// Main window caption prefix; the selected level's caption follows it.
inline constexpr std::string_view kMainCaptionPrefix = "Quarvex v2.0f    -  ";

// Caption of a level as the radio group shows it; empty outside 0..5.
std::string_view LevelCaption(int levelIndex);

// The seven-line description memo of a level (levelDescription1 for index 0 ...), lines joined by CR LF;
// empty outside 0..5.
std::string LevelDescription(int levelIndex);

// kMainCaptionPrefix followed by the level's caption.
std::string MainWindowCaption(int levelIndex);

// Passes of a level: 1, 3, 9, 20, 35 or 100; indexes 6..100 also give 100. Nothing for any
// other index (the caller shows kInternalError100).
std::optional<int> PassCount(int levelIndex);

// A cycle entry: `length` 0 is random, otherwise a pattern of one or three bytes.
struct PassPattern {
    std::uint8_t length;
    std::array<std::uint8_t, 3> bytes;
};

// Entry at cycle position 1..36; nothing outside.
std::optional<PassPattern> PatternAt(int cyclePosition);

// Pass 1 uses position 2, pass 35 position 36, pass 36 position 1.
constexpr int CyclePosition(int passNumber) { return passNumber % kCycleLength + 1; }

// The run's block buffer. Its content lives from pass to pass: a three-byte pass leaves the
// last byte as the previous pass wrote it.
struct alignas(4096) BlockBuffer {
    std::array<std::uint8_t, kBlockSize> bytes{};
};

// Fills the buffer with the pattern of a cycle position (random passes draw 65,536 fresh
// bytes from the generator). Outside 1..36 the buffer is left alone and false is returned
// (the caller shows kInternalError200).
bool FillBlockBufferForPosition(BlockBuffer& buffer, int cyclePosition);

// Same for the 1-based pass number of a run.
inline bool FillBlockBuffer(BlockBuffer& buffer, int passNumber) {
    return FillBlockBufferForPosition(buffer, CyclePosition(passNumber));
}

} // namespace qvx::engine
