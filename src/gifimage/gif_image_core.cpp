// Loading, frame composition and form storage of the GIF image.
#include "gifimage/gif_image_core.h"

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
    void RowsDone() override { report_(); }

private:
    std::function<void()> report_;
};

} // namespace

TGIFImageCore::TGIFImageCore() = default;

TGIFImageCore::~TGIFImageCore() {
    // The timer first: its handler points back at this object.
    FTimer.reset();
}

std::uint32_t TGIFImageCore::TickCount() const {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// ---- Loading ---------------------------------------------------------------------------

bool TGIFImageCore::LoadFromStream(std::span<const std::uint8_t> stream) {
    // A handler of this load (OnProgress, OnChange) cannot start another one or clear the
    // frames the load is still working on.
    if (FLoading) return false;
    bool ok = false;
    FLoading = true;
    try {
        // The one copy of the file: it becomes Data, and the decoder reads it there (the
        // stream may itself be Data, which the load empties first).
        std::vector<std::uint8_t> file(stream.begin(), stream.end());
        LoadFile(std::move(file));
        ok = true;
    } catch (...) {
        // Malformed data, the memory budget, allocation failure and errors raised by event
        // handlers all end the same way: an empty control.
    }
    FStream = nullptr;
    FLoading = false;
    if (!ok) {
        Clear();
        return false;
    }
    PostPaletteQuery(false);
    Invalidate();
    return true;
}

void TGIFImageCore::LoadFile(std::vector<std::uint8_t>&& file) {
    ResetFrames();
    std::uint8_t gce[6] = {};
    FData = std::move(file);
    if (FData.empty()) throw GifError();

    ByteStream s(FData);
    FStream = &s;

    std::uint8_t header[6];
    s.ReadExact(header, sizeof header);
    if (header[0] != 'G' || header[1] != 'I' || header[2] != 'F') throw GifError();
    FVersion = header[4] == '9' ? TGIFVersion::gvGIF89a : TGIFVersion::gvGIF87a;

    std::uint8_t screen[7];
    s.ReadExact(screen, sizeof screen);
    FImageWidth = Le16(screen);
    FImageHeight = Le16(screen + 2);
    if (screen[4] & 0x80) {
        FColorDepth = (screen[4] & 7) + 1;
        s.ReadExact(FGlobalColors.data(), std::size_t{3} << FColorDepth);
    } else {
        FGlobalColors.fill(0);
    }

    while (!s.AtEnd() && FKeepOnProcessing) {
        Progress();
        std::uint8_t intro[2] = {};
        s.Read(intro, 2);
        if (intro[0] == 0x21) {
            ReadExtension(intro[1], gce);
        } else if (intro[0] == 0x2C) {
            s.Back(2);
            if (FFrameCount == kMaxFrames) break;
            ++FFrameCount;
            auto& slot = FFrames[FFrameCount - 1];
            bool read;
            try {
                slot = std::make_unique<TGIFFrame>(this);
                read = ReadFrame(*slot, gce);
            } catch (const GifError&) {
                FDecodedBytes -= slot ? slot->FBytes : 0;
                slot.reset();
                --FFrameCount;
                break;
            }
            if (!read) {
                s.SeekToEnd();
                Progress();
                throw GifError();
            }
            FColorDepth = std::max(FColorDepth, slot->FLocalDepth);
            if (slot->FTransparent) FHasTransparency = true;
            if (FirstImageOnly) {
                s.SeekToEnd();
                break;
            }
            std::memset(gce, 0, sizeof gce);
        } else if (intro[0] == 0x3B) {
            break;
        }
        // Any other introducer: both bytes are dropped.
    }
    Progress();

    int width = FImageWidth, height = FImageHeight;
    for (int k = 1; k <= FFrameCount; ++k) {
        const TGIFFrame& f = *FFrames[k - 1];
        width = std::max(width, f.FLeft + f.FWidth);
        height = std::max(height, f.FTop + f.FHeight);
    }
    FImageWidth = width;
    FImageHeight = height;
    if (FAutoSize) SetControlSize(width, height);
    if (FFrameCount == 0) throw GifError();
    Reserve(PixelBytes(width, height) + (FHasTransparency ? MaskBytes(width, height) : 0));
    FComposite = PixelBitmap(width, height, kBlack);
    FAnimated = FFrameCount > 1;
    FEmpty = false;
    UpdateOpaque();
    FMask.reset();
    if (FHasTransparency) FMask = std::make_unique<MaskBitmap>(width, height, true);
    Changing();
    DrawFrame();
    Change();
}

void TGIFImageCore::ReadExtension(std::uint8_t label, std::uint8_t (&gce)[6]) {
    ByteStream& s = *FStream;
    switch (label) {
    case 0x01: {  // plain text: its header sub-block, then the text sub-blocks
        const int n = s.ReadByte();
        if (n > 0) s.Skip(static_cast<std::size_t>(n));
        s.SkipSubBlocks();
        break;
    }
    case 0xF9:  // graphic control: applies to the next image
        s.Read(gce, 6);
        break;
    case 0xFF: {  // application: only the looping extension is understood
        std::uint8_t id[256] = {};
        const int idSize = s.ReadByte();
        if (idSize > 0) s.Read(id, static_cast<std::size_t>(idSize));
        int n = s.ReadByte();
        // A terminator right after the identifier ends the extension: there is no count.
        if (std::memcmp(id, "NETSCAPE2.0", 11) == 0 && n > 0) {
            std::uint8_t sub[256] = {};
            s.Read(sub, static_cast<std::size_t>(n));
            FLoopCount = Le16(sub + 1);
            n = s.ReadByte();
        }
        while (n > 0) {
            s.Skip(static_cast<std::size_t>(n));
            n = s.ReadByte();
        }
        break;
    }
    default:  // comments and anything unknown
        s.SkipSubBlocks();
        break;
    }
}

void TGIFImageCore::Reserve(std::size_t bytes) {
    if (bytes > MaxDecodedBytes || FDecodedBytes > MaxDecodedBytes - bytes) throw GifLoadFailure();
    FDecodedBytes += bytes;
}

bool TGIFImageCore::ReadFrame(TGIFFrame& frame, const std::uint8_t (&gce)[6]) {
    ByteStream& s = *FStream;
    std::uint8_t d[10];
    s.ReadExact(d, sizeof d);
    frame.FLeft = Le16(d + 1);
    frame.FTop = Le16(d + 3);
    frame.FWidth = Le16(d + 5);
    frame.FHeight = Le16(d + 7);
    if (d[0] != 0x2C || frame.FWidth == 0 || frame.FHeight == 0) return false;
    if (frame.FWidth > kMaxFrameSide || frame.FHeight > kMaxFrameSide) throw GifSilentAbort();

    const std::uint8_t packed = d[9];
    if (packed & 0x80) {
        frame.FHasLocalColors = true;
        frame.FLocalDepth = (packed & 7) + 1;
        frame.FLocalColors = std::make_unique<ColorTable>();
        frame.FLocalColors->fill(0);
        s.Read(frame.FLocalColors->data(), std::size_t{3} << frame.FLocalDepth);
        frame.FColors = frame.FLocalColors->data();
    } else {
        frame.FColors = FGlobalColors.data();
        frame.FLocalDepth = 0;
    }
    frame.FInterlaced = (packed & 0x40) != 0;

    const int disposal = (gce[1] >> 2) & 7;
    frame.FDisposal = disposal > 3 ? 2 : disposal;
    frame.FDelay = Le16(gce + 2) * 10;
    frame.FTransparent = (gce[1] & 1) != 0;
    frame.FTransparentIndex = gce[4];

    const int w = frame.FWidth, h = frame.FHeight;
    std::size_t bytes = IndexedBytes(w, h);
    if (frame.FTransparent) bytes += MaskBytes(w, h);
    if (frame.FDisposal == 3) bytes += PixelBytes(w, h) + MaskBytes(w, h);
    Reserve(bytes);
    frame.FBytes = bytes;
    if (frame.FDisposal == 3) {
        frame.FSavedImage = PixelBitmap(w, h, kBlack);
        frame.FSavedMask = MaskBitmap(w, h);
    }
    frame.FBitmap = IndexedBitmap(w, h);
    if (frame.FTransparent) frame.FMaskBitmap = MaskBitmap(w, h);

    RasterParams params;
    params.interlaced = frame.FInterlaced;
    params.transparent = frame.FTransparent;
    params.transparentIndex = frame.FTransparentIndex;
    params.literal = ReferenceDecode;
    FrameProgress progress([this] { Progress(); });
    if (OnProgress) params.progress = &progress;
    DecodeRaster(s, frame.FBitmap, frame.FTransparent ? &frame.FMaskBitmap : nullptr, params);

    const int paletteSize = 1 << (frame.FHasLocalColors ? frame.FLocalDepth : FColorDepth);
    frame.FBitmap.SetPalette(frame.FColors, paletteSize);
    return true;
}

void TGIFImageCore::Progress() {
    if (!OnProgress || FStream == nullptr) return;
    const auto pos = static_cast<std::int64_t>(FStream->Position());
    const auto size = static_cast<std::int64_t>(FStream->Size());
    const int percent = size > 0 ? static_cast<int>((200 * pos + size) / (2 * size)) : 0;
    OnProgress(*this, pos, size, percent, FKeepOnProcessing);
    if (!FKeepOnProcessing) throw GifSilentAbort();
}

void TGIFImageCore::Assign(const TGIFImageCore* source) {
    if (source == nullptr || source->FEmpty) {
        Clear();
        return;
    }
    // The file is the whole image; loading it again gives the same frames.
    LoadFromStream(source->FData);
}

void TGIFImageCore::Clear() {
    if (FLoading) return;
    ResetFrames();
    FMask.reset();
    FComposite = PixelBitmap();
    UpdateOpaque();
    Invalidate();
}

void TGIFImageCore::ResetFrames() {
    FTimer.reset();
    for (int k = kMaxFrames; k >= 1; --k) FFrames[k - 1].reset();
    FData.clear();
    FFrameCount = 0;
    FCurrentFrame = 1;
    FLoopCount = 1;
    FLoopsDone = 1;
    FFirstTick = true;
    FKeepOnProcessing = true;
    FColorDepth = 0;
    FHasTransparency = false;
    FFirstFrameCopy.reset();
    FDecodedBytes = 0;
    FEmpty = true;
}

void TGIFImageCore::Loaded() {
    if (!FData.empty()) LoadFromStream(FData);
}

std::vector<std::uint8_t> TGIFImageCore::WriteData() const {
    std::vector<std::uint8_t> out;
    if (FData.empty() || FData.size() > 0x7FFFFFFF) return out;
    const auto n = static_cast<std::uint32_t>(FData.size());
    out.reserve(4 + FData.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
    out.insert(out.end(), FData.begin(), FData.end());
    return out;
}

bool TGIFImageCore::ReadData(std::span<const std::uint8_t> value) {
    if (FLoading) return false;  // the load is reading Data
    FData.clear();
    if (value.size() < 4) return false;
    const auto n = static_cast<std::int32_t>(std::uint32_t{value[0]} | (std::uint32_t{value[1]} << 8) |
                                             (std::uint32_t{value[2]} << 16) | (std::uint32_t{value[3]} << 24));
    if (n <= 0) return true;
    if (value.size() - 4 < static_cast<std::size_t>(n)) return false;
    FData.assign(value.begin() + 4, value.begin() + 4 + n);
    return true;
}

const IndexedBitmap* TGIFImageCore::FirstFrameCopy() {
    if (FEmpty || FFrameCount < 1) return nullptr;
    if (!FFirstFrameCopy) FFirstFrameCopy = std::make_unique<IndexedBitmap>(FFrames[0]->FBitmap);
    return FFirstFrameCopy.get();
}

// ---- Composition -----------------------------------------------------------------------

void TGIFImageCore::DrawFrame() {
    if (FCurrentFrame < 1 || FCurrentFrame > FFrameCount || FComposite.Empty()) return;
    TGIFFrame& f = *FFrames[FCurrentFrame - 1];
    const Rect r = f.Bounds();
    MaskBitmap* mask = FHasTransparency ? FMask.get() : nullptr;

    if (f.FDisposal == 3) {
        if (mask != nullptr) {
            for (int y = 0; y < f.FHeight; ++y)
                for (int x = 0; x < f.FWidth; ++x) f.FSavedMask.Put(x, y, mask->Get(r.left + x, r.top + y));
        }
        for (int y = 0; y < f.FHeight; ++y)
            std::memcpy(f.FSavedImage.Row(y), FComposite.Row(r.top + y) + r.left, sizeof(Pixel) * f.FWidth);
    }

    const auto& colors = f.FBitmap.Colors();
    if (f.FTransparent) {
        // Composite XOR bitmap, AND frame mask, XOR bitmap: the composite stays where the frame
        // is transparent and takes the frame's colour elsewhere; the mask stays transparent
        // only where both are. Eight pixels per mask byte.
        for (int y = 0; y < f.FHeight; ++y) {
            const std::uint8_t* src = f.FBitmap.Row(y);
            const std::uint8_t* fm = f.FMaskBitmap.Row(y);
            Pixel* dst = FComposite.Row(r.top + y) + r.left;
            for (int x0 = 0; x0 < f.FWidth; x0 += 8) {
                const int n = std::min(8, f.FWidth - x0);
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
            if (mask != nullptr) mask->AndRow(r.top + y, r.left, fm, f.FWidth);
        }
    } else {
        if (mask != nullptr) mask->FillRect(r, false);
        for (int y = 0; y < f.FHeight; ++y) {
            const std::uint8_t* src = f.FBitmap.Row(y);
            Pixel* dst = FComposite.Row(r.top + y) + r.left;
            for (int x = 0; x < f.FWidth; ++x) dst[x] = colors[src[x]];
        }
    }
}

void TGIFImageCore::DisposeFrame(int k) {
    if (k < 1 || k > FFrameCount || FComposite.Empty()) return;
    const TGIFFrame& f = *FFrames[k - 1];
    const Rect r = f.Bounds();
    MaskBitmap* mask = FHasTransparency ? FMask.get() : nullptr;
    if (f.FDisposal == 2) {
        // Background: transparent when the image has any transparency, black otherwise.
        if (mask != nullptr) mask->FillRect(r, true);
        FComposite.FillRect(r, kBlack);
    } else if (f.FDisposal == 3) {
        if (mask != nullptr) {
            for (int y = 0; y < f.FHeight; ++y)
                for (int x = 0; x < f.FWidth; ++x) mask->Put(r.left + x, r.top + y, f.FSavedMask.Get(x, y));
        }
        for (int y = 0; y < f.FHeight; ++y)
            std::memcpy(FComposite.Row(r.top + y) + r.left, f.FSavedImage.Row(y), sizeof(Pixel) * f.FWidth);
    }
}

} // namespace qvx::gif
