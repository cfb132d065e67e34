#include "desktop/scramble.h"

namespace qvx {

std::string Scramble(std::string_view plain) {
    std::string out(plain);
    ScrambleBytes(reinterpret_cast<std::uint8_t*>(out.data()), out.size());
    return out;
}

std::string Unscramble(std::span<const std::uint8_t> scrambled) {
    std::string out(scrambled.size(), '\0');
    std::uint32_t state = scramble_detail::StartState(scrambled.size());
    std::uint8_t previous = scramble_detail::kChainStart;
    for (std::size_t i = 0; i < scrambled.size(); ++i) {
        const std::uint8_t c = scrambled[i];
        out[i] = static_cast<char>(static_cast<std::uint8_t>((c ^ previous) - scramble_detail::NextKey(state)));
        previous = c;
    }
    return out;
}

} // namespace qvx
