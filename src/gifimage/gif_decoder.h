#pragma once
// The byte-level part of GIF loading: the working stream, the errors a load can end in, and the
// raster decoder (variable-length LZW codes read from chained sub-blocks into an indexed bitmap
// and a transparency mask).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <span>

#include "gifimage/gif_raster.h"

namespace qvx::gif {

// A structural error inside a load: the frame being read is dropped, or, outside a frame,
// the load fails.
struct GifError : std::exception {
    const char* what() const noexcept override { return "malformed GIF data"; }
};

// Raised when decoding must stop without a message: a frame larger than the format's limits or a
// progress handler that asked to stop. Handled like any other GifError.
struct GifSilentAbort : GifError {
    const char* what() const noexcept override { return "GIF decoding aborted"; }
};

// Ends the whole load as a failure, whatever frames were read: the decoded data would exceed
// the memory budget.
struct GifLoadFailure : std::exception {
    const char* what() const noexcept override { return "GIF too large to decode"; }
};

// Read cursor over the bytes being decoded. Reads past the end are either short (read, readByte)
// or errors (readExact), as each caller needs.
class ByteStream {
public:
    explicit ByteStream(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

    std::size_t position() const { return pos_; }
    std::size_t size() const { return size_; }
    bool atEnd() const { return pos_ >= size_; }

    std::size_t read(void* dst, std::size_t n) {
        const std::size_t got = n < size_ - pos_ ? n : size_ - pos_;
        if (got != 0) std::memcpy(dst, data_ + pos_, got);
        pos_ += got;
        return got;
    }
    void readExact(void* dst, std::size_t n) {
        if (size_ - pos_ < n) throw GifError();
        std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
    }
    // The next byte, or -1 at the end.
    int readByte() { return pos_ < size_ ? data_[pos_++] : -1; }
    void skip(std::size_t n) { pos_ = n < size_ - pos_ ? pos_ + n : size_; }
    void back(std::size_t n) { pos_ = n < pos_ ? pos_ - n : 0; }
    void seekToEnd() { pos_ = size_; }

    // Skips chained sub-blocks up to and including the zero-size terminator (or the end).
    void skipSubBlocks() {
        for (int n = readByte(); n > 0; n = readByte()) skip(static_cast<std::size_t>(n));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Called after every 32nd or 64th row of a large image; may throw to stop decoding.
class RasterProgress {
public:
    virtual void rowsDone() = 0;

protected:
    ~RasterProgress() = default;
};

struct RasterParams {
    bool interlaced = false;
    bool transparent = false;      // fill `mask` for pixels of transparentIndex
    std::uint8_t transparentIndex = 0;
    RasterProgress* progress = nullptr;  // null: no reports
    // Decode value by value only, without the direct path for well-formed strings. Both give
    // the same pixels; tests and the fuzzer compare them.
    bool literal = false;
};

// Decodes one image's code stream, starting at its minimum-code-size byte, into `pixels` (already
// sized and zero-filled) and, for a transparent image, `mask` (same size, zero-filled). Leaves
// the stream behind the image data. Throws GifError for a minimum code size the 12-bit code
// tables cannot hold (12 or more); a broken or short code stream is not an error: the pixels not
// reached keep index 0 and are marked transparent.
void DecodeRaster(ByteStream& stream, IndexedBitmap& pixels, MaskBitmap* mask, const RasterParams& params);

} // namespace qvx::gif
