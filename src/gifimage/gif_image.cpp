// Loading, frame composition and form storage of the GIF image.
#include "gifimage/gif_image.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

#include "gifimage/gif_decoder.h"

namespace qvx::gif {
namespace {

int Le16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

// Adapts the control's Progress to the raster decoder's row reports.
class FrameProgress final : public RasterProgress {
public:
    explicit FrameProgress(std::function<void()> report) : report_(std::move(report)) {}
    void rowsDone() override { report_(); }

private:
    std::function<void()> report_;
};

} // namespace

GifImage::GifImage() = default;

GifImage::~GifImage() {
    // The timer first: its handler points back at this object.
    timer_.reset();
}

std::uint32_t GifImage::tickCount() const {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// ---- Loading ---------------------------------------------------------------------------

bool GifImage::loadFromStream(std::span<const std::uint8_t> stream) {
    // A handler of this load (OnProgress, OnChange) cannot start another one or clear the
    // frames the load is still working on.
    if (loading_) return false;
    bool ok = false;
    loading_ = true;
    try {
        // The one copy of the file: it becomes Data, and the decoder reads it there (the
        // stream may itself be Data, which the load empties first).
        std::vector<std::uint8_t> file(stream.begin(), stream.end());
        loadFile(std::move(file));
        ok = true;
    } catch (...) {
        // Malformed data, the memory budget, allocation failure and errors raised by event
        // handlers all end the same way: an empty control.
    }
    stream_ = nullptr;
    loading_ = false;
    if (!ok) {
        clear();
        return false;
    }
    postPaletteQuery(false);
    invalidateImage();
    return true;
}

void GifImage::loadFile(std::vector<std::uint8_t>&& file) {
    resetFrames();
    data_ = std::move(file);
    if (data_.empty()) throw GifError();
    ByteStream s(data_);
    stream_ = &s;
    readHeader(s);
    readBlocks(s);
    reportProgress();
    finishLoad();
}

// The signature (only "GIF" is checked; the fifth byte tells the version), the logical screen
// and the global colour table.
void GifImage::readHeader(ByteStream& s) {
    std::uint8_t header[6];
    s.readExact(header, sizeof header);
    if (header[0] != 'G' || header[1] != 'I' || header[2] != 'F') throw GifError();
    version_ = header[4] == '9' ? GifVersion::Gif89a : GifVersion::Gif87a;

    std::uint8_t screen[7];
    s.readExact(screen, sizeof screen);
    imageWidth_ = Le16(screen);
    imageHeight_ = Le16(screen + 2);
    if (screen[4] & 0x80) {
        colorDepth_ = (screen[4] & 7) + 1;
        s.readExact(globalColors_.data(), std::size_t{3} << colorDepth_);
    } else {
        globalColors_.fill(0);
    }
}

// Extensions and images up to the trailer, the end of the data or a handler's veto.
void GifImage::readBlocks(ByteStream& s) {
    std::uint8_t gce[6] = {};  // the graphic control extension for the next image
    while (!s.atEnd() && keepLoading_) {
        reportProgress();
        std::uint8_t intro[2] = {};
        s.read(intro, 2);
        if (intro[0] == 0x21) {
            readExtension(intro[1], gce);
        } else if (intro[0] == 0x2C) {
            s.back(2);
            if (!readImage(s, gce)) break;
            std::memset(gce, 0, sizeof gce);
        } else if (intro[0] == 0x3B) {
            break;
        }
        // Any other introducer: both bytes are dropped.
    }
}

// One image block into the next frame. False when the blocks end with it: the frame limit was
// reached, the frame was dropped, or only the first image is wanted.
bool GifImage::readImage(ByteStream& s, const std::uint8_t (&gce)[6]) {
    if (frameCount_ == kMaxFrames) return false;
    ++frameCount_;
    auto& slot = frames_[frameCount_ - 1];
    bool read;
    try {
        slot = std::make_unique<GifFrame>();
        read = readFrame(*slot, gce);
    } catch (const GifError&) {
        decodedBytes_ -= slot ? slot->budgetBytes_ : 0;
        slot.reset();
        --frameCount_;
        return false;
    }
    if (!read) {
        // A frame without width or height fails the whole load.
        s.seekToEnd();
        reportProgress();
        throw GifError();
    }
    colorDepth_ = std::max(colorDepth_, slot->localDepth);
    if (slot->transparent) hasTransparency_ = true;
    if (!firstImageOnly) return true;
    s.seekToEnd();
    return false;
}

// The logical screen grows to cover every frame; the composite and its mask are made and
// frame 1 is drawn on them.
void GifImage::finishLoad() {
    int width = imageWidth_, height = imageHeight_;
    for (int k = 1; k <= frameCount_; ++k) {
        const GifFrame& f = *frames_[k - 1];
        width = std::max(width, f.left + f.width);
        height = std::max(height, f.top + f.height);
    }
    imageWidth_ = width;
    imageHeight_ = height;
    if (autoSize_) setControlSize(width, height);
    if (frameCount_ == 0) throw GifError();
    reserve(PixelBytes(width, height) + (hasTransparency_ ? MaskBytes(width, height) : 0));
    composite_ = PixelBitmap(width, height, kBlack);
    animated_ = frameCount_ > 1;
    empty_ = false;
    updateOpaque();
    mask_.reset();
    if (hasTransparency_) mask_ = std::make_unique<MaskBitmap>(width, height, true);
    changing();
    drawFrame();
    changed();
}

void GifImage::readExtension(std::uint8_t label, std::uint8_t (&gce)[6]) {
    ByteStream& s = *stream_;
    switch (label) {
    case 0x01: {  // plain text: its header sub-block, then the text sub-blocks
        const int n = s.readByte();
        if (n > 0) s.skip(static_cast<std::size_t>(n));
        s.skipSubBlocks();
        break;
    }
    case 0xF9:  // graphic control: applies to the next image
        s.read(gce, 6);
        break;
    case 0xFF: {  // application: only the looping extension is understood
        std::uint8_t id[256] = {};
        const int idSize = s.readByte();
        if (idSize > 0) s.read(id, static_cast<std::size_t>(idSize));
        int n = s.readByte();
        // A terminator right after the identifier ends the extension: there is no count.
        if (std::memcmp(id, "NETSCAPE2.0", 11) == 0 && n > 0) {
            std::uint8_t sub[256] = {};
            s.read(sub, static_cast<std::size_t>(n));
            loopCount_ = Le16(sub + 1);
            n = s.readByte();
        }
        while (n > 0) {
            s.skip(static_cast<std::size_t>(n));
            n = s.readByte();
        }
        break;
    }
    default:  // comments and anything unknown
        s.skipSubBlocks();
        break;
    }
}

void GifImage::reserve(std::size_t bytes) {
    if (bytes > maxDecodedBytes || decodedBytes_ > maxDecodedBytes - bytes) throw GifLoadFailure();
    decodedBytes_ += bytes;
}

bool GifImage::readFrame(GifFrame& frame, const std::uint8_t (&gce)[6]) {
    ByteStream& s = *stream_;
    if (!readDescriptor(s, frame)) return false;
    applyGraphicControl(frame, gce);
    allocateFrame(frame);
    RasterParams params;
    params.interlaced = frame.interlaced;
    params.transparent = frame.transparent;
    params.transparentIndex = frame.transparentIndex;
    params.literal = referenceDecode;
    FrameProgress progress([this] { reportProgress(); });
    if (OnProgress) params.progress = &progress;
    DecodeRaster(s, frame.bitmap, frame.transparent ? &frame.mask : nullptr, params);

    const int paletteSize = 1 << (frame.hasLocalColors ? frame.localDepth : colorDepth_);
    frame.bitmap.setPalette(frame.colors, paletteSize);
    return true;
}

// The image descriptor and the local colour table. False for a frame without width or height;
// a frame beyond the size limit is dropped.
bool GifImage::readDescriptor(ByteStream& s, GifFrame& frame) {
    std::uint8_t d[10];
    s.readExact(d, sizeof d);
    frame.left = Le16(d + 1);
    frame.top = Le16(d + 3);
    frame.width = Le16(d + 5);
    frame.height = Le16(d + 7);
    if (d[0] != 0x2C || frame.width == 0 || frame.height == 0) return false;
    if (frame.width > kMaxFrameSide || frame.height > kMaxFrameSide) throw GifSilentAbort();

    const std::uint8_t packed = d[9];
    if (packed & 0x80) {
        frame.hasLocalColors = true;
        frame.localDepth = (packed & 7) + 1;
        frame.localColors_ = std::make_unique<ColorTable>();
        frame.localColors_->fill(0);
        s.read(frame.localColors_->data(), std::size_t{3} << frame.localDepth);
        frame.colors = frame.localColors_->data();
    } else {
        frame.colors = globalColors_.data();
        frame.localDepth = 0;
    }
    frame.interlaced = (packed & 0x40) != 0;
    return true;
}

// Disposal (methods above 3 act as 2), delay and transparency from the extension before the
// image; all zero without one.
void GifImage::applyGraphicControl(GifFrame& frame, const std::uint8_t (&gce)[6]) {
    const int disposal = (gce[1] >> 2) & 7;
    frame.disposal = disposal > 3 ? 2 : disposal;
    frame.delayMs = Le16(gce + 2) * 10;
    frame.transparent = (gce[1] & 1) != 0;
    frame.transparentIndex = gce[4];
}

// The frame's bitmaps, counted against the memory budget first.
void GifImage::allocateFrame(GifFrame& frame) {
    const int w = frame.width, h = frame.height;
    std::size_t bytes = IndexedBytes(w, h);
    if (frame.transparent) bytes += MaskBytes(w, h);
    if (frame.disposal == 3) bytes += PixelBytes(w, h) + MaskBytes(w, h);
    reserve(bytes);
    frame.budgetBytes_ = bytes;
    if (frame.disposal == 3) {
        frame.savedImage = PixelBitmap(w, h, kBlack);
        frame.savedMask = MaskBitmap(w, h);
    }
    frame.bitmap = IndexedBitmap(w, h);
    if (frame.transparent) frame.mask = MaskBitmap(w, h);
}

void GifImage::reportProgress() {
    if (!OnProgress || stream_ == nullptr) return;
    const auto pos = static_cast<std::int64_t>(stream_->position());
    const auto size = static_cast<std::int64_t>(stream_->size());
    const int percent = size > 0 ? static_cast<int>((200 * pos + size) / (2 * size)) : 0;
    OnProgress(*this, pos, size, percent, keepLoading_);
    if (!keepLoading_) throw GifSilentAbort();
}

void GifImage::assign(const GifImage* source) {
    if (source == nullptr || source->empty_) {
        clear();
        return;
    }
    // The file is the whole image; loading it again gives the same frames.
    loadFromStream(source->data_);
}

void GifImage::clear() {
    if (loading_) return;
    resetFrames();
    mask_.reset();
    composite_ = PixelBitmap();
    updateOpaque();
    invalidateImage();
}

void GifImage::resetFrames() {
    timer_.reset();
    for (int k = kMaxFrames; k >= 1; --k) frames_[k - 1].reset();
    data_.clear();
    frameCount_ = 0;
    currentFrame_ = 1;
    loopCount_ = 1;
    loopsDone_ = 1;
    firstTick_ = true;
    keepLoading_ = true;
    colorDepth_ = 0;
    hasTransparency_ = false;
    firstFrameCopy_.reset();
    decodedBytes_ = 0;
    empty_ = true;
}

void GifImage::loaded() {
    if (!data_.empty()) loadFromStream(data_);
}

std::vector<std::uint8_t> GifImage::writeData() const {
    std::vector<std::uint8_t> out;
    if (data_.empty() || data_.size() > 0x7FFFFFFF) return out;
    const auto n = static_cast<std::uint32_t>(data_.size());
    out.reserve(4 + data_.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    out.insert(out.end(), data_.begin(), data_.end());
    return out;
}

bool GifImage::readData(std::span<const std::uint8_t> value) {
    if (loading_) return false;  // the load is reading Data
    data_.clear();
    if (value.size() < 4) return false;
    const auto n = static_cast<std::int32_t>(std::uint32_t{value[0]} | (std::uint32_t{value[1]} << 8) |
                                             (std::uint32_t{value[2]} << 16) | (std::uint32_t{value[3]} << 24));
    if (n <= 0) return true;
    if (value.size() - 4 < static_cast<std::size_t>(n)) return false;
    data_.assign(value.begin() + 4, value.begin() + 4 + n);
    return true;
}

const IndexedBitmap* GifImage::firstFrameCopy() {
    if (empty_ || frameCount_ < 1) return nullptr;
    if (!firstFrameCopy_) firstFrameCopy_ = std::make_unique<IndexedBitmap>(frames_[0]->bitmap);
    return firstFrameCopy_.get();
}

// ---- Composition -----------------------------------------------------------------------

void GifImage::drawFrame() {
    if (currentFrame_ < 1 || currentFrame_ > frameCount_ || composite_.empty()) return;
    GifFrame& f = *frames_[currentFrame_ - 1];
    const Rect r = f.bounds();
    MaskBitmap* mask = hasTransparency_ ? mask_.get() : nullptr;

    if (f.disposal == 3) {
        if (mask != nullptr) {
            for (int y = 0; y < f.height; ++y)
                for (int x = 0; x < f.width; ++x) f.savedMask.put(x, y, mask->get(r.left + x, r.top + y));
        }
        for (int y = 0; y < f.height; ++y)
            std::memcpy(f.savedImage.row(y), composite_.row(r.top + y) + r.left, sizeof(Pixel) * f.width);
    }

    const auto& colors = f.bitmap.colors();
    if (f.transparent) {
        // Composite XOR bitmap, AND frame mask, XOR bitmap: the composite stays where the frame
        // is transparent and takes the frame's colour elsewhere; the mask stays transparent
        // only where both are. Eight pixels per mask byte.
        for (int y = 0; y < f.height; ++y) {
            const std::uint8_t* src = f.bitmap.row(y);
            const std::uint8_t* fm = f.mask.row(y);
            Pixel* dst = composite_.row(r.top + y) + r.left;
            for (int x0 = 0; x0 < f.width; x0 += 8) {
                const int n = std::min(8, f.width - x0);
                const unsigned m = fm[x0 >> 3];
                if (m == 0) {
                    for (int i = 0; i < n; ++i) dst[x0 + i] = colors[src[x0 + i]];
                } else if (m != 0xFF || n < 8) {
                    for (int i = 0; i < n; ++i) {
                        const Pixel c = colors[src[x0 + i]];
                        dst[x0 + i] = (m & (0x80u >> i)) != 0 ? dst[x0 + i] : c;
                    }
                }
            }
            if (mask != nullptr) mask->andRow(r.top + y, r.left, fm, f.width);
        }
    } else {
        if (mask != nullptr) mask->fillRect(r, false);
        for (int y = 0; y < f.height; ++y) {
            const std::uint8_t* src = f.bitmap.row(y);
            Pixel* dst = composite_.row(r.top + y) + r.left;
            for (int x = 0; x < f.width; ++x) dst[x] = colors[src[x]];
        }
    }
}

void GifImage::disposeFrame(int k) {
    if (k < 1 || k > frameCount_ || composite_.empty()) return;
    const GifFrame& f = *frames_[k - 1];
    const Rect r = f.bounds();
    MaskBitmap* mask = hasTransparency_ ? mask_.get() : nullptr;
    if (f.disposal == 2) {
        // Background: transparent when the image has any transparency, black otherwise.
        if (mask != nullptr) mask->fillRect(r, true);
        composite_.fillRect(r, kBlack);
    } else if (f.disposal == 3) {
        if (mask != nullptr) {
            for (int y = 0; y < f.height; ++y)
                for (int x = 0; x < f.width; ++x) mask->put(r.left + x, r.top + y, f.savedMask.get(x, y));
        }
        for (int y = 0; y < f.height; ++y)
            std::memcpy(composite_.row(r.top + y) + r.left, f.savedImage.row(y), sizeof(Pixel) * f.width);
    }
}

} // namespace qvx::gif
