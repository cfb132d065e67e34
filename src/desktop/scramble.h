#pragma once
// Texts kept scrambled in the program file, so that addresses and notices do not appear as plain
// text in it. Scrambling happens at compile time (Scrambled), unscrambling when the text is set.
// This hides text from a casual look at the file; it is not encryption.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qvx {

namespace scramble_detail {
inline constexpr std::uint32_t kSeed = 0x5156584Bu;
inline constexpr std::uint8_t kChainStart = 0xA5;

// The key stream depends on the text's length, so equal prefixes of two texts differ.
constexpr std::uint32_t StartState(std::size_t length) {
    return kSeed ^ (static_cast<std::uint32_t>(length) * 2654435761u);
}
constexpr std::uint8_t NextKey(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<std::uint8_t>(state >> 24);
}
} // namespace scramble_detail

// Each byte is offset by the key stream and chained to the previous scrambled byte.
constexpr void ScrambleBytes(std::uint8_t* bytes, std::size_t n) {
    std::uint32_t state = scramble_detail::StartState(n);
    std::uint8_t previous = scramble_detail::kChainStart;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<std::uint8_t>(static_cast<std::uint8_t>(bytes[i] + scramble_detail::NextKey(state)) ^ previous);
        bytes[i] = c;
        previous = c;
    }
}

template <std::size_t N>
struct ScrambledText {
    std::array<std::uint8_t, N> bytes{};
    std::span<const std::uint8_t> view() const { return bytes; }
};

// Scrambles a string literal while compiling; the plain literal is not kept.
template <std::size_t N>
consteval ScrambledText<N - 1> Scrambled(const char (&text)[N]) {
    ScrambledText<N - 1> out;
    for (std::size_t i = 0; i + 1 < N; ++i) out.bytes[i] = static_cast<std::uint8_t>(text[i]);
    ScrambleBytes(out.bytes.data(), N - 1);
    return out;
}

// Run-time scrambling of any bytes (tests, tools).
std::string Scramble(std::string_view plain);
// The plain text of scrambled bytes. Defined out of line, so the compiler cannot fold a stored
// text back into plain text inside the program file.
std::string Unscramble(std::span<const std::uint8_t> scrambled);

} // namespace qvx
