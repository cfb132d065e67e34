#include "ui/dpi_scale.h"

#include <algorithm>
#include <cstddef>

namespace qvx::ui {

namespace {

struct Weight {
    int source;
    std::int64_t weight;
};

// For each target pixel along one axis, the source pixels it covers and by how much. Positions
// are counted in units of 1/(from * to) of the axis, so every overlap is a whole number: target
// pixel t spans [t * from, (t + 1) * from), source pixel s spans [s * to, (s + 1) * to), and
// each target pixel's weights add up to `from`.
std::vector<std::vector<Weight>> AxisWeights(int from, int to) {
    std::vector<std::vector<Weight>> all(static_cast<std::size_t>(to));
    for (int t = 0; t < to; ++t) {
        const std::int64_t begin = static_cast<std::int64_t>(t) * from;
        const std::int64_t end = begin + from;
        for (std::int64_t s = begin / to; s < from && s * to < end; ++s) {
            const std::int64_t overlap = std::min(end, (s + 1) * to) - std::max(begin, s * to);
            if (overlap > 0) all[static_cast<std::size_t>(t)].push_back({static_cast<int>(s), overlap});
        }
    }
    return all;
}

} // namespace

std::vector<std::uint32_t> ResampleArea(const std::vector<std::uint32_t>& pixels, int width, int height, int newWidth,
                                        int newHeight) {
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0) return {};
    if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return {};
    const auto columns = AxisWeights(width, newWidth);
    const auto rows = AxisWeights(height, newHeight);
    const std::int64_t total = static_cast<std::int64_t>(width) * height;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            std::int64_t sum[4] = {0, 0, 0, 0};
            for (const Weight& row : rows[static_cast<std::size_t>(y)]) {
                const std::uint32_t* line = pixels.data() + static_cast<std::size_t>(row.source) * static_cast<std::size_t>(width);
                for (const Weight& column : columns[static_cast<std::size_t>(x)]) {
                    const std::uint32_t p = line[column.source];
                    const std::int64_t w = row.weight * column.weight;
                    for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                }
            }
            std::uint32_t value = 0;
            for (int c = 0; c < 4; ++c) value |= static_cast<std::uint32_t>((sum[c] + total / 2) / total) << (8 * c);
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(newWidth) + static_cast<std::size_t>(x)] = value;
        }
    }
    return out;
}

} // namespace qvx::ui
