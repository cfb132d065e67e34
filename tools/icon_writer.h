#pragma once
// Writes Windows icon files (.ico) from RGBA pictures: small sizes as 32-bit bitmaps with an AND
// mask (every Windows version reads those), 256 pixels as PNG (what Explorer expects at that
// size, and a quarter of the bytes). The PNG's deflate stream is made here with fixed Huffman
// codes and a greedy LZ77 search: no zlib needed, and the same picture always gives the same bytes.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace qvx::iconwriter {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct Picture {
    int size = 0;              // square: size x size pixels
    std::vector<Rgba> pixels;  // rows top to bottom
};

using Bytes = std::vector<std::uint8_t>;

inline void PutLe16(Bytes& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLe32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutBe32(Bytes& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

// Deflate bits go out least significant bit first; Huffman codes most significant bit first.
class DeflateBits {
public:
    void put(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    void putCode(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) bit((code >> i) & 1);
    }
    Bytes finish() {
        if (used_) out_.push_back(current_);
        used_ = 0;
        current_ = 0;
        return std::move(out_);
    }

private:
    void bit(std::uint32_t b) {
        current_ |= static_cast<std::uint8_t>(b << used_);
        if (++used_ == 8) {
            out_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }
    Bytes out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// One fixed-Huffman block (RFC 1951, 3.2.6) holding all of `data`.
inline Bytes Deflate(const Bytes& data) {
    DeflateBits bits;
    bits.put(1, 1);  // final block
    bits.put(1, 2);  // fixed Huffman codes
    const auto literal = [&](unsigned symbol) {
        if (symbol < 144) bits.putCode(0x30 + symbol, 8);
        else if (symbol < 256) bits.putCode(0x190 + symbol - 144, 9);
        else if (symbol < 280) bits.putCode(symbol - 256, 7);
        else bits.putCode(0xC0 + symbol - 280, 8);
    };
    static constexpr unsigned kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr unsigned kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                                   193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    const auto match = [&](unsigned length, unsigned distance) {
        int l = 28;
        while (kLengthBase[l] > length) --l;
        literal(257 + l);
        bits.put(length - kLengthBase[l], kLengthExtra[l]);
        int d = 29;
        while (kDistanceBase[d] > distance) --d;
        bits.putCode(d, 5);
        bits.put(distance - kDistanceBase[d], kDistanceExtra[d]);
    };

    // Greedy LZ77 over hash chains of three-byte prefixes, a bounded number of candidates each.
    constexpr std::size_t kWindow = 32768, kMaxLength = 258, kChain = 128;
    constexpr unsigned kHashBits = 15;
    std::vector<std::int64_t> head(std::size_t{1} << kHashBits, -1), previous(data.size(), -1);
    const auto hash = [&](std::size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & ((1u << kHashBits) - 1);
    };
    const auto insert = [&](std::size_t i) {
        if (i + 2 >= data.size()) return;
        const unsigned h = hash(i);
        previous[i] = head[h];
        head[h] = static_cast<std::int64_t>(i);
    };
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t bestLength = 0, bestDistance = 0;
        if (i + 2 < data.size()) {
            std::int64_t candidate = head[hash(i)];
            for (std::size_t tries = 0; candidate >= 0 && tries < kChain; ++tries) {
                const std::size_t c = static_cast<std::size_t>(candidate);
                if (i - c > kWindow) break;
                const std::size_t limit = std::min(kMaxLength, data.size() - i);
                std::size_t n = 0;
                while (n < limit && data[c + n] == data[i + n]) ++n;
                if (n > bestLength) {
                    bestLength = n;
                    bestDistance = i - c;
                    if (n == limit) break;
                }
                candidate = previous[c];
            }
        }
        if (bestLength >= 3) {
            match(static_cast<unsigned>(bestLength), static_cast<unsigned>(bestDistance));
            for (std::size_t k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            literal(data[i]);
            insert(i);
            ++i;
        }
    }
    literal(256);
    return bits.finish();
}

// A zlib stream (RFC 1950) around one deflate block.
inline Bytes Zlib(const Bytes& data) {
    Bytes out{0x78, 0x01};  // 32 KiB window, no dictionary; header check: 0x7801 % 31 == 0
    const Bytes deflated = Deflate(data);
    out.insert(out.end(), deflated.begin(), deflated.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(out, b << 16 | a);
    return out;
}

// The PNG row filter (RFC 2083, 6) that leaves the smallest sum of magnitudes, as most encoders choose.
inline Bytes FilteredRows(const Picture& p) {
    const std::size_t stride = static_cast<std::size_t>(p.size) * 4;
    Bytes raw(stride * p.size);
    for (std::size_t k = 0; k < p.pixels.size(); ++k) {
        raw[k * 4] = p.pixels[k].r;
        raw[k * 4 + 1] = p.pixels[k].g;
        raw[k * 4 + 2] = p.pixels[k].b;
        raw[k * 4 + 3] = p.pixels[k].a;
    }
    Bytes out;
    for (int y = 0; y < p.size; ++y) {
        const std::uint8_t* row = raw.data() + y * stride;
        const std::uint8_t* up = y > 0 ? row - stride : nullptr;
        Bytes best;
        long bestCost = -1;
        for (int filter = 0; filter < 5; ++filter) {
            Bytes line{static_cast<std::uint8_t>(filter)};
            long cost = 0;
            for (std::size_t x = 0; x < stride; ++x) {
                const int a = x >= 4 ? row[x - 4] : 0, b = up ? up[x] : 0, c = (x >= 4 && up) ? up[x - 4] : 0;
                int predicted = 0;
                switch (filter) {
                case 1: predicted = a; break;
                case 2: predicted = b; break;
                case 3: predicted = (a + b) / 2; break;
                case 4: {
                    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                    predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default: break;
                }
                const auto v = static_cast<std::uint8_t>(row[x] - predicted);
                line.push_back(v);
                cost += v < 128 ? v : 256 - v;
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best = std::move(line);
            }
        }
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

inline void PutChunk(Bytes& out, const char* type, const Bytes& body) {
    PutBe32(out, static_cast<std::uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBe32(out, Crc32(typed.data(), typed.size()));
}

inline Bytes Png(const Picture& p) {
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBe32(header, static_cast<std::uint32_t>(p.size));
    PutBe32(header, static_cast<std::uint32_t>(p.size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits per channel, RGBA, deflate, adaptive filters, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", Zlib(FilteredRows(p)));
    PutChunk(out, "IEND", {});
    return out;
}

// A 32-bit icon bitmap: header with double height (colour rows, then the mask), rows bottom up.
inline Bytes IconBitmap(const Picture& p) {
    Bytes out;
    const std::uint32_t maskStride = ((static_cast<std::uint32_t>(p.size) + 31) / 32) * 4;
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(p.size));
    PutLe32(out, static_cast<std::uint32_t>(p.size) * 2);
    PutLe16(out, 1);   // planes
    PutLe16(out, 32);  // bits per pixel
    PutLe32(out, 0);   // uncompressed
    PutLe32(out, static_cast<std::uint32_t>(p.size * p.size * 4) + maskStride * p.size);
    for (int i = 0; i < 4; ++i) PutLe32(out, 0);
    for (int y = p.size - 1; y >= 0; --y)
        for (int x = 0; x < p.size; ++x) {
            const Rgba& c = p.pixels[static_cast<std::size_t>(y) * p.size + x];
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    // The mask matters only to systems that ignore the alpha channel: set = see-through.
    for (int y = p.size - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < p.size; ++x)
            if (p.pixels[static_cast<std::size_t>(y) * p.size + x].a < 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// The .ico file: directory, then each picture (PNG from 256 pixels up).
inline Bytes Icon(const std::vector<Picture>& pictures) {
    std::vector<Bytes> images;
    for (const Picture& p : pictures) images.push_back(p.size >= 256 ? Png(p) : IconBitmap(p));
    Bytes out;
    PutLe16(out, 0);
    PutLe16(out, 1);  // icon
    PutLe16(out, static_cast<unsigned>(pictures.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int size = pictures[i].size;
        out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));  // 0 means 256
        out.push_back(static_cast<std::uint8_t>(size >= 256 ? 0 : size));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutLe16(out, 1);
        PutLe16(out, 32);
        PutLe32(out, static_cast<std::uint32_t>(images[i].size()));
        PutLe32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

} // namespace qvx::iconwriter
