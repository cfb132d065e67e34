#pragma once
// A small, self-contained GIF writer: builds a file block by block and LZW-encodes rasters.
// Used by the tests, the fuzzer's seed corpus and the decode benchmark to make their own
// images; it can equally make the program's logo. Standard library only.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace qvx::gifwriter {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

struct LzwOptions {
    int minCodeSize = 8;
    bool leadingClear = true;   // start the stream with a clear code
    bool resetWhenFull = true;  // clear when the table is full; else keep going with 12-bit codes
    bool endCode = true;        // finish with the end code
};

// Accumulates codes of varying width, least significant bit first.
class BitWriter {
public:
    void put(unsigned code, int width) {
        acc_ |= static_cast<std::uint64_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    std::vector<std::uint8_t> finish() {
        if (bits_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ = 0;
        bits_ = 0;
        return std::move(out_);
    }

private:
    std::vector<std::uint8_t> out_;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
};

// The LZW code stream of a sequence of colour indices (each below 2^minCodeSize), without the
// sub-block framing. The code width follows the decoder's table exactly: it grows when the
// decoder's next free entry reaches the current limit.
// With minimum code size 1 the second code after a clear is still 2 bits wide, too narrow for
// the entry of two equal indices: the first two indices must differ.
inline std::vector<std::uint8_t> LzwEncode(std::span<const std::uint8_t> indices, const LzwOptions& opt) {
    const int m = opt.minCodeSize;
    if (m < 1 || m > 11) throw std::invalid_argument("minimum code size out of range");
    const unsigned clear = 1u << m, end = clear + 1;

    // String table as a hash of (prefix code, next index) -> code; generations make clearing O(1).
    constexpr unsigned kSlots = 8192;
    std::vector<std::uint32_t> keys(kSlots), gens(kSlots, 0);
    std::vector<std::uint16_t> codes(kSlots);
    std::uint32_t gen = 1;
    auto slotOf = [&](std::uint32_t key) {
        unsigned h = (key * 2654435761u) >> 19;
        while (gens[h] == gen && keys[h] != key) h = (h + 1) & (kSlots - 1);
        return h;
    };

    BitWriter bw;
    unsigned encNext = 0, decNext = 0, decLimit = 0;
    int width = 0;
    bool firstAfterClear = true;
    auto reset = [&] {
        ++gen;
        encNext = decNext = clear + 2;
        decLimit = 2 * clear;
        width = m + 1;
        firstAfterClear = true;
    };
    auto emit = [&](unsigned code) {
        bw.put(code, width);
        if (firstAfterClear) {
            firstAfterClear = false;
        } else if (decNext < 4096) {
            ++decNext;
            if (decNext >= decLimit && decLimit < 4096) {
                decLimit *= 2;
                ++width;
            }
        }
    };
    auto emitClear = [&] {
        bw.put(clear, width);
        reset();
    };

    reset();
    if (opt.leadingClear) emitClear();
    if (!indices.empty()) {
        unsigned prefix = indices[0];
        for (std::size_t i = 1; i < indices.size(); ++i) {
            const unsigned c = indices[i];
            const std::uint32_t key = (prefix << 8) | c;
            const unsigned h = slotOf(key);
            if (gens[h] == gen) {
                prefix = codes[h];
                continue;
            }
            emit(prefix);
            if (encNext < 4096) {
                gens[h] = gen;
                keys[h] = key;
                codes[h] = static_cast<std::uint16_t>(encNext++);
                if (encNext == 4096 && opt.resetWhenFull) emitClear();
            }
            prefix = c;
        }
        emit(prefix);
    }
    if (opt.endCode) bw.put(end, width);
    return bw.finish();
}

// Chains data into sub-blocks of at most `blockSize` bytes, followed by the terminator.
inline std::vector<std::uint8_t> SubBlocks(std::span<const std::uint8_t> data, int blockSize = 255) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < data.size();) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(blockSize), data.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                   data.begin() + static_cast<std::ptrdiff_t>(i + n));
        i += n;
    }
    out.push_back(0);
    return out;
}

// Rows of a top-down raster in interlaced storage order (rows 0,8,..; 4,12,..; 2,6,..; 1,3,..).
inline std::vector<std::uint8_t> InterlacedOrder(std::span<const std::uint8_t> rows, int width, int height) {
    std::vector<std::uint8_t> out;
    out.reserve(rows.size());
    static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            out.insert(out.end(), rows.begin() + static_cast<std::ptrdiff_t>(y) * width,
                       rows.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    return out;
}

// Bits per entry of a colour table holding `count` colours (1..8).
inline int TableDepth(std::size_t count) {
    int depth = 1;
    while ((std::size_t{1} << depth) < count && depth < 8) ++depth;
    return depth;
}

struct Image {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // width x height, top row first
    std::vector<Rgb> localColors;       // empty: the image has no local table
    bool interlaced = false;
    int minCodeSize = 0;  // 0: the smallest usual size for the indices used (at least 2)
    bool resetWhenFull = true;
    int subBlockSize = 255;
};

struct GraphicControl {
    int disposal = 0;
    int delayCs = 0;  // hundredths of a second
    bool transparent = false;
    std::uint8_t transparentIndex = 0;
};

class GifBuilder {
public:
    // Header and logical screen; `version` is the three bytes after "GIF".
    GifBuilder(int width, int height, const std::vector<Rgb>& globalColors = {}, std::string_view version = "89a") {
        out_.reserve(13 + 768);
        raw({'G', 'I', 'F'});
        for (char c : version.substr(0, 3)) out_.push_back(static_cast<std::uint8_t>(c));
        le16(width);
        le16(height);
        const int depth = globalColors.empty() ? 0 : TableDepth(globalColors.size());
        out_.push_back(globalColors.empty() ? 0 : static_cast<std::uint8_t>(0x80 | ((depth - 1) << 4) | (depth - 1)));
        out_.push_back(0);  // background colour
        out_.push_back(0);  // aspect ratio
        if (depth > 0) table(globalColors, depth);
    }

    GifBuilder& loop(int count) {
        raw({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1});
        le16(count);
        out_.push_back(0);
        return *this;
    }

    GifBuilder& comment(std::string_view text) {
        raw({0x21, 0xFE});
        const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
        const auto blocks = SubBlocks(std::span<const std::uint8_t>(p, text.size()));
        out_.insert(out_.end(), blocks.begin(), blocks.end());
        return *this;
    }

    GifBuilder& control(const GraphicControl& gc) {
        raw({0x21, 0xF9, 4});
        out_.push_back(static_cast<std::uint8_t>(((gc.disposal & 7) << 2) | (gc.transparent ? 1 : 0)));
        le16(gc.delayCs);
        out_.push_back(gc.transparentIndex);
        out_.push_back(0);
        return *this;
    }

    // The image descriptor, local table and raster of one image.
    GifBuilder& addImage(const Image& img) {
        if (img.indices.size() != static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height))
            throw std::invalid_argument("raster size does not match the image size");
        out_.push_back(0x2C);
        le16(img.left);
        le16(img.top);
        le16(img.width);
        le16(img.height);
        const int depth = img.localColors.empty() ? 0 : TableDepth(img.localColors.size());
        std::uint8_t packed = img.interlaced ? 0x40 : 0x00;
        if (depth > 0) packed |= static_cast<std::uint8_t>(0x80 | (depth - 1));
        out_.push_back(packed);
        if (depth > 0) table(img.localColors, depth);
        int m = img.minCodeSize;
        if (m == 0) {
            const std::uint8_t top = img.indices.empty() ? 0 : *std::max_element(img.indices.begin(), img.indices.end());
            m = std::max(2, TableDepth(std::size_t{top} + 1));
        }
        out_.push_back(static_cast<std::uint8_t>(m));
        LzwOptions opt;
        opt.minCodeSize = m;
        opt.resetWhenFull = img.resetWhenFull;
        const auto stored = img.interlaced ? InterlacedOrder(img.indices, img.width, img.height) : img.indices;
        const auto codes = LzwEncode(stored, opt);
        const auto blocks = SubBlocks(codes, img.subBlockSize);
        out_.insert(out_.end(), blocks.begin(), blocks.end());
        return *this;
    }

    GifBuilder& raw(std::initializer_list<std::uint8_t> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBuilder& raw(std::span<const std::uint8_t> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBuilder& trailer() {
        out_.push_back(0x3B);
        return *this;
    }

    const std::vector<std::uint8_t>& bytes() const { return out_; }

private:
    void le16(int v) {
        out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out_.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    void table(const std::vector<Rgb>& colors, int depth) {
        for (int i = 0; i < (1 << depth); ++i) {
            const Rgb c = i < static_cast<int>(colors.size()) ? colors[i] : Rgb{};
            out_.push_back(c.r);
            out_.push_back(c.g);
            out_.push_back(c.b);
        }
    }

    std::vector<std::uint8_t> out_;
};

// 64-bit FNV-1a, the hash gifinfo prints.
inline std::uint64_t Fnv1a(std::span<const std::uint8_t> bytes, std::uint64_t h = 0xcbf29ce484222325ull) {
    for (std::uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

} // namespace qvx::gifwriter
