#include "gifimage/gif_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

namespace qvx::gif {
namespace {

constexpr int kTableSize = 4096;  // codes are at most 12 bits
constexpr int kMaxStack = 4095;   // more stacked values than this mark a broken stream

// The direct path keeps string tails in 64-bit words, string order = memory order.
static_assert(std::endian::native == std::endian::little, "string tails assume a little-endian machine");

// The rows of an image in the order its raster stores them.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int row() const { return y_; }
    // Moves to the next stored row; false when the image is complete.
    bool next() {
        if (!interlaced_) return ++y_ < height_;
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        y_ += kStep[pass_];
        while (y_ >= height_) {
            if (++pass_ == 4) return false;
            y_ = kStart[pass_];
        }
        return true;
    }

private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int y_ = 0;
};

// Bit reader and LZW step. The reader sees the sub-blocks as one bit stream, least significant
// bit first. It keeps the current sub-block behind the last two bytes of the previous one, which
// always hold the bits of a code that straddles two sub-blocks (a code is at most 12 bits).
class LzwDecoder {
public:
    LzwDecoder(ByteStream& stream, int minCodeSize, bool literal) : s_(stream), m_(minCodeSize) {
        clear_ = 1 << m_;
        end_ = clear_ + 1;
        // Strings of roots below 256 are bytes as they are; wider roots keep the slow path,
        // which compares whole values with the transparent index.
        direct_ = !literal && clear_ <= 256;
        resetTable();
        // The first sub-block goes to the start of the buffer.
        const int n = s_.readByte();
        if (n <= 0) {
            endOfData_ = true;
        } else {
            const std::size_t got = s_.read(buf_, static_cast<std::size_t>(n));
            validBits_ = static_cast<int>(got) * 8;
            if (got < static_cast<std::size_t>(n)) endOfData_ = true;
        }
    }

    int clear() const { return clear_; }

    // The next code, or -1 when the code data has ended.
    int nextCode() {
        if (bitPos_ + codeSize_ >= validBits_) {
            if (endOfData_ || !refill()) return -1;
        }
        const std::uint8_t* p = buf_ + (bitPos_ >> 3);
        const std::uint32_t word = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
        const int code = static_cast<int>((word >> (bitPos_ & 7)) & ((1u << codeSize_) - 1));
        bitPos_ += codeSize_;
        return code;
    }

    // Reads one code and leaves its whole string on the stack, returning the value that comes
    // first (the stack's top, popped). Only called with an empty stack. Returns -1 when the
    // code data has ended and -2 at the end code or a broken stream.
    int nextString() { return step(nextCode()); }

    // nextString for a code already read.
    int step(int code) {
        if (code < 0) return code;
        if (code == clear_) {
            resetTable();
            sp_ = 0;
            code = nextCode();
            oldCode_ = firstValue_ = code;
            return code;
        }
        if (code == end_) {
            if (!endOfData_) s_.skipSubBlocks();
            // Whatever bits follow the end code are padding, never more sub-blocks.
            endOfData_ = true;
            return -2;
        }
        const int incoming = code;
        // Locals, so that the walk down the prefix chain stays in registers.
        int sp = sp_;
        std::uint16_t* const stack = stack_.get();
        if (code >= nextFree_) {
            stack[sp++] = static_cast<std::uint16_t>(firstValue_);
            code = oldCode_;
        }
        while (code >= clear_) {
            stack[sp++] = suffix_[code];
            const int prefix = prefix_[code];
            if (sp > kMaxStack || prefix == code) {
                sp_ = sp;
                return -2;
            }
            code = prefix;
        }
        sp_ = sp;
        firstValue_ = suffix_[code];
        stack_[sp_++] = static_cast<std::uint16_t>(firstValue_);
        addEntry();
        oldCode_ = incoming;
        return stack_[--sp_];
    }

    // The direct path: when the code's string is well-formed (a chain of entries made from
    // earlier entries, ending in a root) and at most `room` long, writes it to `out` and
    // returns its length. Otherwise returns 0 and reads nothing: the caller takes step.
    // Well-formed strings can neither loop nor exceed the stack, so both paths give the same
    // values and leave the same table behind.
    int direct(int code, std::uint8_t* out, int room) {
        if (!direct_ || code < 0 || code == clear_ || code == end_) return 0;
        int n;
        if (code < nextFree_) {
            n = len_[code];
            if (n == 0 || n > room) return 0;
            writeChain(code, out, n);
        } else if (code == nextFree_ && oldCode_ >= 0 && oldCode_ < nextFree_ && firstValue_ < clear_) {
            // The string of the previous code, then the previous first value.
            const int previous = len_[oldCode_];
            n = previous + 1;
            if (previous == 0 || n > room) return 0;
            writeChain(oldCode_, out, previous);
            out[previous] = static_cast<std::uint8_t>(firstValue_);
        } else {
            return 0;
        }
        firstValue_ = out[0];
        addEntry();
        oldCode_ = code;
        return n;
    }

    // The value before any LZW step: the first code that is not a clear code, unchanged.
    int firstValue() {
        int code;
        do code = nextCode();
        while (code == clear_);
        oldCode_ = firstValue_ = code;
        return code;
    }

    int stackCount() const { return sp_; }
    bool directPath() const { return direct_; }
    std::uint16_t pop() { return stack_[--sp_]; }
    void dropStack() { sp_ = 0; }

private:
    void resetTable() {
        for (int i = 0; i < clear_ && i < kTableSize; ++i) {
            suffix_[i] = static_cast<std::uint16_t>(i);
            len_[i] = 1;
            tail_[i] = static_cast<std::uint64_t>(i & 0xFF) << 56;
            tailLen_[i] = 1;
        }
        if (clear_ < kTableSize) len_[clear_] = 0;
        if (end_ < kTableSize) len_[end_] = 0;
        codeSize_ = m_ + 1;
        limit_ = 2 * clear_;
        nextFree_ = clear_ + 2;
    }

    // A new entry: the old code's string followed by the first value of the new one.
    void addEntry() {
        if (nextFree_ >= kTableSize) return;
        suffix_[nextFree_] = static_cast<std::uint16_t>(firstValue_);
        prefix_[nextFree_] = static_cast<std::uint16_t>(oldCode_);
        // Its length is known only when the old code is a root or an entry of this table
        // generation whose own length is known; 0 sends its codes down the slow path.
        int len = 0;
        if (oldCode_ >= 0 && oldCode_ < nextFree_ && len_[oldCode_] != 0) {
            len = len_[oldCode_] + 1;
            // The new value joins the old code's tail, or starts a new tail after it.
            const auto value = static_cast<std::uint64_t>(firstValue_ & 0xFF) << 56;
            if (tailLen_[oldCode_] < 8) {
                tail_[nextFree_] = (tail_[oldCode_] >> 8) | value;
                tailLen_[nextFree_] = static_cast<std::uint8_t>(tailLen_[oldCode_] + 1);
                jump_[nextFree_] = jump_[oldCode_];
            } else {
                tail_[nextFree_] = value;
                tailLen_[nextFree_] = 1;
                jump_[nextFree_] = static_cast<std::uint16_t>(oldCode_);
            }
        }
        len_[nextFree_] = static_cast<std::uint16_t>(len);
        ++nextFree_;
        // ">=" rather than "==" so that the code size also grows for the degenerate
        // minimum code sizes 0 and 1, whose first free entry already lies past the limit.
        if (nextFree_ >= limit_ && limit_ < kTableSize) {
            limit_ *= 2;
            ++codeSize_;
        }
    }

    // The n values of a well-formed string, first to last: tail by tail from the end, eight
    // bytes at a time. A store may spill below its tail, but only into the part of the string
    // that the tails before it overwrite; the last tails are copied byte by byte.
    void writeChain(int code, std::uint8_t* out, int n) const {
        int end = n;
        while (end > 0) {
            const int k = tailLen_[code];
            if (end >= 8) {
                std::memcpy(out + end - 8, &tail_[code], 8);
            } else {
                std::uint8_t bytes[8];
                std::memcpy(bytes, &tail_[code], 8);
                std::memcpy(out + end - k, bytes + 8 - k, static_cast<std::size_t>(k));
            }
            end -= k;
            code = jump_[code];
        }
    }

    // Brings in sub-blocks until the next code is complete. False at the end of the code data.
    bool refill() {
        while (bitPos_ + codeSize_ >= validBits_) {
            const int validBytes = validBits_ / 8;
            const std::uint8_t carry0 = validBytes >= 2 ? buf_[validBytes - 2] : 0;
            const std::uint8_t carry1 = validBytes >= 1 ? buf_[validBytes - 1] : 0;
            const int n = s_.readByte();
            if (n <= 0) {
                endOfData_ = true;
                return false;
            }
            buf_[0] = carry0;
            buf_[1] = carry1;
            if (s_.read(buf_ + 2, static_cast<std::size_t>(n)) < static_cast<std::size_t>(n)) {
                endOfData_ = true;
                return false;
            }
            bitPos_ -= validBits_ - 16;
            validBits_ = (n + 2) * 8;
            // A one-byte sub-block may not complete a wide code: the loop then reads another.
            if (bitPos_ + codeSize_ <= validBits_) return true;
        }
        return true;
    }

    ByteStream& s_;
    int m_;
    int clear_ = 0, end_ = 0;
    int codeSize_ = 0, limit_ = 0, nextFree_ = 0;
    int oldCode_ = 0, firstValue_ = 0;
    int sp_ = 0;
    int validBits_ = 0, bitPos_ = 0;
    bool endOfData_ = false;
    bool direct_ = false;
    // Two carried bytes, one sub-block, and slack for the three-byte reads of nextCode.
    std::uint8_t buf_[2 + 255 + 5] = {};
    std::uint16_t prefix_[kTableSize] = {};
    std::uint16_t suffix_[kTableSize] = {};
    // A block of its own, not inside this object, so that a write past its end is one that
    // the address sanitizer sees.
    std::unique_ptr<std::uint16_t[]> stack_ = std::make_unique<std::uint16_t[]>(kTableSize);
    std::uint16_t len_[kTableSize] = {};  // string length of an entry; 0: not known to be well-formed
    // For entries of known length: the string's last 1..8 values (in the word's high bytes) and
    // the entry whose string comes before them.
    std::uint64_t tail_[kTableSize] = {};
    std::uint8_t tailLen_[kTableSize] = {};
    std::uint16_t jump_[kTableSize] = {};
};

// Writes decoded values into the bitmap row by row in the image's row order. The mask of a
// transparent image is made from a row's bytes once the row is done; values above 255 (only
// in broken streams) whose low byte is the transparent index are noted and left opaque,
// since the transparency test compares whole values.
class RasterWriter {
public:
    RasterWriter(IndexedBitmap& pixels, MaskBitmap* mask, const RasterParams& params)
        : pixels_(pixels), mask_(mask), order_(pixels.height(), params.interlaced), width_(pixels.width()),
          transparentIndex_(params.transparentIndex) {
        const bool large = static_cast<long long>(pixels.width()) * pixels.height() > 100000;
        progress_ = large ? params.progress : nullptr;
        rowStepMask_ = pixels.width() <= 320 ? 63 : 31;
        row_ = pixels_.row(0);
    }

    bool complete() const { return complete_; }
    int room() const { return width_ - x_; }

    // The pixel keeps the value's low byte.
    void put(int value) {
        row_[x_] = static_cast<std::uint8_t>(value);
        if (value > 0xFF) noteWide(x_, value);
        if (++x_ == width_) endRow();
    }

    std::uint8_t* cursor() { return row_ + x_; }

    // n values were written at cursor() by the direct path.
    void advance(int n) {
        x_ += n;
        if (x_ == width_) endRow();
    }

    // Moves up to room() values from the decoder's stack into the current row.
    void putFromStack(LzwDecoder& lzw) {
        const int n = std::min(lzw.stackCount(), room());
        std::uint8_t* out = row_ + x_;
        for (int i = 0; i < n; ++i) {
            const int v = lzw.pop();
            out[i] = static_cast<std::uint8_t>(v);
            if (v > 0xFF) noteWide(x_ + i, v);
        }
        x_ += n;
        if (x_ == width_) endRow();
    }

    // Marks every pixel not reached yet as transparent, continuing in row order.
    void markRestTransparent() {
        if (mask_ == nullptr || complete_) return;
        maskRow(x_);
        for (;;) {
            mask_->fillSpan(order_.row(), x_, width_, true);
            x_ = 0;
            if (!order_.next()) break;
        }
        complete_ = true;
    }

private:
    void noteWide(int x, int value) {
        if (mask_ != nullptr && (value & 0xFF) == transparentIndex_) wide_.push_back(x);
    }

    // The mask bits of the current row's first n pixels (the row's mask is still all black).
    void maskRow(int n) {
        if (mask_ == nullptr) return;
        std::uint8_t* bits = mask_->row(order_.row());
        const auto t = static_cast<std::uint8_t>(transparentIndex_);
        int x = 0;
        for (; x + 8 <= n; x += 8) {
            unsigned b = 0;
            for (int i = 0; i < 8; ++i) b = (b << 1) | (row_[x + i] == t ? 1u : 0u);
            bits[x >> 3] = static_cast<std::uint8_t>(b);
        }
        for (; x < n; ++x)
            if (row_[x] == t) bits[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        for (int w : wide_)
            if (w < n) bits[w >> 3] &= static_cast<std::uint8_t>(~(0x80u >> (w & 7)));
        wide_.clear();
    }

    void endRow() {
        maskRow(width_);
        if (progress_ != nullptr && (order_.row() & rowStepMask_) == 0) progress_->rowsDone();
        x_ = 0;
        if (order_.next()) {
            row_ = pixels_.row(order_.row());
        } else {
            complete_ = true;
        }
    }

    IndexedBitmap& pixels_;
    MaskBitmap* mask_;
    RowOrder order_;
    int width_;
    int transparentIndex_;
    RasterProgress* progress_ = nullptr;
    int rowStepMask_ = 63;
    std::uint8_t* row_ = nullptr;
    int x_ = 0;
    bool complete_ = false;
    std::vector<int> wide_;  // positions in the current row of values above 255 that look transparent
};

} // namespace

void DecodeRaster(ByteStream& stream, IndexedBitmap& pixels, MaskBitmap* mask, const RasterParams& params) {
    if (!params.transparent) mask = nullptr;
    RasterWriter out(pixels, mask, params);
    const int m = stream.readByte();
    if (m > 11) {
        // 2^12 roots and their clear and end codes do not fit 12-bit code tables.
        throw GifError();
    }
    if (m >= 0) {
        auto lzw = std::make_unique<LzwDecoder>(stream, m, params.literal);
        int v = lzw->firstValue();
        if (v >= 0) {
            out.put(v);
            while (!out.complete()) {
                if (lzw->stackCount() > 0) {
                    out.putFromStack(*lzw);
                    continue;
                }
                const int code = lzw->nextCode();
                if (lzw->directPath()) {
                    const int n = lzw->direct(code, out.cursor(), out.room());
                    if (n > 0) {
                        out.advance(n);
                        continue;
                    }
                }
                v = lzw->step(code);
                if (v < 0) break;
                out.put(v);
            }
        }
        // Drain: consume the rest of the code stream and its sub-blocks. The values are not
        // needed, so the stack is dropped instead of popped value by value.
        for (;;) {
            lzw->dropStack();
            if (lzw->nextString() < 0) break;
        }
    }
    // A missing code-size byte means the stream ended before the image data: no pixels.
    out.markRestTransparent();
}

} // namespace qvx::gif
