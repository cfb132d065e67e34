#include "engine/random_generator.h"

#include <cstddef>

namespace qvx::engine {

namespace {
std::uint32_t g_state = 0;

constexpr std::uint32_t Step(std::uint32_t s) { return s * kRandomMultiplier + 1; }
} // namespace

void SeedRandom(std::uint32_t millisecondsOfDay) { g_state = millisecondsOfDay; }

std::uint32_t RandomState() { return g_state; }

std::uint8_t RandomByte() {
    g_state = Step(g_state);
    return static_cast<std::uint8_t>(g_state >> 24);
}

void FillRandomBytes(std::uint8_t* bytes, std::size_t count) {
    // Keep the state in a register for the whole block.
    std::uint32_t s = g_state;
    for (std::size_t i = 0; i < count; ++i) {
        s = Step(s);
        bytes[i] = static_cast<std::uint8_t>(s >> 24);
    }
    g_state = s;
}

std::uint32_t RandomIndex(std::uint32_t n) {
    g_state = Step(g_state);
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(g_state) * n) >> 32);
}

} // namespace qvx::engine
