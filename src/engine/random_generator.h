#pragma once
// The program's one random byte generator: a process-wide 32-bit linear congruential state.
// The fill run draws its random passes from it (on the run's drive thread) and the About box
// its quote index (on the window's thread), so every call takes a lock.
#include <cstddef>
#include <cstdint>

namespace qvx::engine {

inline constexpr std::uint32_t kRandomMultiplier = 134'775'813;  // 0x08088405

// Milliseconds since midnight (the seed): ((hour * 60 + minute) * 60 + second) * 1000 + ms.
constexpr std::uint32_t MillisecondsOfDay(int hour, int minute, int second, int millisecond) {
    return static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

// Seeds the generator; the caller reads the UTC time of day (see MillisecondsOfDay).
void SeedRandom(std::uint32_t millisecondsOfDay);
// Seeds it from the system clock's UTC time of day (random_generator_win.cpp). The main
// window's start-up does so, and the About box when it is created and whenever it is shown.
void SeedRandomFromClock();

std::uint32_t RandomState();

// One draw: S := S * 134775813 + 1; the byte is the top 8 bits of the new S.
std::uint8_t RandomByte();

// Fills `count` bytes with consecutive draws (the same as calling RandomByte for each).
void FillRandomBytes(std::uint8_t* bytes, std::size_t count);

// An index below n for the About box: one step of the state, then the upper 32 bits of the
// 64-bit product of the new state and n. 0 when n is 0.
std::uint32_t RandomIndex(std::uint32_t n);

} // namespace qvx::engine
