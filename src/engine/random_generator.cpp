#include "engine/random_generator.h"

#include <cstddef>
#include <mutex>

namespace qvx::engine {

namespace {
// The run draws its random passes on the drive's thread while the About box may draw a quote
// or seed the generator on the window's thread.
std::mutex g_mutex;
std::uint32_t g_state = 0;

constexpr std::uint32_t Step(std::uint32_t s) { return s * kRandomMultiplier + 1; }
} // namespace

void SeedRandom(std::uint32_t millisecondsOfDay) {
    std::lock_guard lock(g_mutex);
    g_state = millisecondsOfDay;
}

std::uint32_t RandomState() {
    std::lock_guard lock(g_mutex);
    return g_state;
}

std::uint8_t RandomByte() {
    std::lock_guard lock(g_mutex);
    g_state = Step(g_state);
    return static_cast<std::uint8_t>(g_state >> 24);
}

void FillRandomBytes(std::uint8_t* bytes, std::size_t count) {
    std::lock_guard lock(g_mutex);
    // Keep the state in a register for the whole block.
    std::uint32_t s = g_state;
    for (std::size_t i = 0; i < count; ++i) {
        s = Step(s);
        bytes[i] = static_cast<std::uint8_t>(s >> 24);
    }
    g_state = s;
}

std::uint32_t RandomIndex(std::uint32_t n) {
    std::lock_guard lock(g_mutex);
    g_state = Step(g_state);
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(g_state) * n) >> 32);
}

} // namespace qvx::engine
