#include "gifimage/gif_decoder.h"

#include <algorithm>
#include <memory>

namespace qvx::gif {
namespace {

constexpr int kTableSize = 4096;  // codes are at most 12 bits
constexpr int kMaxStack = 4095;   // more stacked values than this mark a broken stream

// The rows of an image in the order its raster stores them.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int Row() const { return y_; }
    // Moves to the next stored row; false when the image is complete.
    bool Next() {
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
    LzwDecoder(ByteStream& stream, int minCodeSize) : s_(stream), m_(minCodeSize) {
        clear_ = 1 << m_;
        end_ = clear_ + 1;
        ResetTable();
        // The first sub-block goes to the start of the buffer.
        const int n = s_.ReadByte();
        if (n <= 0) {
            endOfData_ = true;
        } else {
            const std::size_t got = s_.Read(buf_, static_cast<std::size_t>(n));
            validBits_ = static_cast<int>(got) * 8;
            if (got < static_cast<std::size_t>(n)) endOfData_ = true;
        }
    }

    int Clear() const { return clear_; }

    // The next code, or -1 when the code data has ended.
    int NextCode() {
        if (bitPos_ + codeSize_ >= validBits_) {
            if (endOfData_ || !Refill()) return -1;
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
    int NextString() {
        int code = NextCode();
        if (code < 0) return code;
        if (code == clear_) {
            ResetTable();
            sp_ = 0;
            code = NextCode();
            oldCode_ = firstValue_ = code;
            return code;
        }
        if (code == end_) {
            if (!endOfData_) s_.SkipSubBlocks();
            // Whatever bits follow the end code are padding, never more sub-blocks.
            endOfData_ = true;
            return -2;
        }
        const int incoming = code;
        if (code >= nextFree_) {
            stack_[sp_++] = static_cast<std::uint16_t>(firstValue_);
            code = oldCode_;
        }
        while (code >= clear_) {
            stack_[sp_++] = suffix_[code];
            if (sp_ > kMaxStack) return -2;
            if (prefix_[code] == code) return -2;
            code = prefix_[code];
        }
        firstValue_ = suffix_[code];
        stack_[sp_++] = static_cast<std::uint16_t>(firstValue_);
        if (nextFree_ < kTableSize) {
            suffix_[nextFree_] = static_cast<std::uint16_t>(firstValue_);
            prefix_[nextFree_] = static_cast<std::uint16_t>(oldCode_);
            ++nextFree_;
            // ">=" rather than "==" so that the code size also grows for the degenerate
            // minimum code sizes 0 and 1, whose first free entry already lies past the limit.
            if (nextFree_ >= limit_ && limit_ < kTableSize) {
                limit_ *= 2;
                ++codeSize_;
            }
        }
        oldCode_ = incoming;
        return stack_[--sp_];
    }

    // The value before any LZW step: the first code that is not a clear code, unchanged.
    int FirstValue() {
        int code;
        do code = NextCode();
        while (code == clear_);
        oldCode_ = firstValue_ = code;
        return code;
    }

    int StackCount() const { return sp_; }
    std::uint16_t Pop() { return stack_[--sp_]; }
    void DropStack() { sp_ = 0; }

private:
    void ResetTable() {
        for (int i = 0; i < clear_ && i < kTableSize; ++i) suffix_[i] = static_cast<std::uint16_t>(i);
        codeSize_ = m_ + 1;
        limit_ = 2 * clear_;
        nextFree_ = clear_ + 2;
    }

    // Brings in sub-blocks until the next code is complete. False at the end of the code data.
    bool Refill() {
        while (bitPos_ + codeSize_ >= validBits_) {
            const int validBytes = validBits_ / 8;
            const std::uint8_t carry0 = validBytes >= 2 ? buf_[validBytes - 2] : 0;
            const std::uint8_t carry1 = validBytes >= 1 ? buf_[validBytes - 1] : 0;
            const int n = s_.ReadByte();
            if (n <= 0) {
                endOfData_ = true;
                return false;
            }
            buf_[0] = carry0;
            buf_[1] = carry1;
            if (s_.Read(buf_ + 2, static_cast<std::size_t>(n)) < static_cast<std::size_t>(n)) {
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
    // Two carried bytes, one sub-block, and slack for the three-byte reads of NextCode.
    std::uint8_t buf_[2 + 255 + 5] = {};
    std::uint16_t prefix_[kTableSize] = {};
    std::uint16_t suffix_[kTableSize] = {};
    std::uint16_t stack_[kTableSize] = {};
};

// Writes decoded values into the bitmap row by row in the image's row order.
class RasterWriter {
public:
    RasterWriter(IndexedBitmap& pixels, MaskBitmap* mask, const RasterParams& params)
        : pixels_(pixels), mask_(mask), order_(pixels.Height(), params.interlaced), width_(pixels.Width()),
          transparentIndex_(params.transparentIndex) {
        const bool large = static_cast<long long>(pixels.Width()) * pixels.Height() > 100000;
        progress_ = large ? params.progress : nullptr;
        rowStepMask_ = pixels.Width() <= 320 ? 63 : 31;
        row_ = pixels_.Row(0);
    }

    bool Complete() const { return complete_; }
    int Room() const { return width_ - x_; }

    // Values of the LZW stream can exceed a byte (codes up to 4095); the pixel keeps the low
    // byte, while the transparency test compares the whole value.
    void Put(int value) {
        row_[x_] = static_cast<std::uint8_t>(value);
        if (mask_ != nullptr && value == transparentIndex_) mask_->Set(x_, order_.Row());
        if (++x_ == width_) EndRow();
    }

    // Moves up to Room() values from the decoder's stack into the current row.
    void PutFromStack(LzwDecoder& lzw) {
        const int n = std::min(lzw.StackCount(), Room());
        std::uint8_t* out = row_ + x_;
        if (mask_ == nullptr) {
            for (int i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(lzw.Pop());
        } else {
            const int y = order_.Row();
            for (int i = 0; i < n; ++i) {
                const int v = lzw.Pop();
                out[i] = static_cast<std::uint8_t>(v);
                if (v == transparentIndex_) mask_->Set(x_ + i, y);
            }
        }
        x_ += n;
        if (x_ == width_) EndRow();
    }

    // Marks every pixel not reached yet as transparent, continuing in row order.
    void MarkRestTransparent() {
        if (mask_ == nullptr || complete_) return;
        for (;;) {
            mask_->FillSpan(order_.Row(), x_, width_, true);
            x_ = 0;
            if (!order_.Next()) break;
        }
        complete_ = true;
    }

private:
    void EndRow() {
        if (progress_ != nullptr && (order_.Row() & rowStepMask_) == 0) progress_->RowsDone();
        x_ = 0;
        if (order_.Next()) {
            row_ = pixels_.Row(order_.Row());
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
};

} // namespace

void DecodeRaster(ByteStream& stream, IndexedBitmap& pixels, MaskBitmap* mask, const RasterParams& params) {
    if (!params.transparent) mask = nullptr;
    RasterWriter out(pixels, mask, params);
    const int m = stream.ReadByte();
    if (m > 11) {
        // 2^12 roots and their clear and end codes do not fit 12-bit code tables.
        throw GifError();
    }
    if (m >= 0) {
        auto lzw = std::make_unique<LzwDecoder>(stream, m);
        int v = lzw->FirstValue();
        if (v >= 0) {
            out.Put(v);
            while (!out.Complete()) {
                if (lzw->StackCount() > 0) {
                    out.PutFromStack(*lzw);
                    continue;
                }
                v = lzw->NextString();
                if (v < 0) break;
                out.Put(v);
            }
        }
        // Drain: consume the rest of the code stream and its sub-blocks. The values are not
        // needed, so the stack is dropped instead of popped value by value.
        for (;;) {
            lzw->DropStack();
            if (lzw->NextString() < 0) break;
        }
    }
    // A missing code-size byte means the stream ended before the image data: no pixels.
    out.MarkRestTransparent();
}

} // namespace qvx::gif
