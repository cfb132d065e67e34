// libFuzzer target for the GIF load path: load, play every frame through the composition the
// animation uses, and reload from the stored "Data" value with the reference (value by value)
// raster decoding, which must give the same frames. Any crash, sanitizer report or broken
// invariant (trap) is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gifimage/gif_image_core.h"

namespace {

using namespace qvx::gif;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckLoaded(const TGIFImageCore& img) {
    Check(img.FrameCount() >= 1 && img.FrameCount() <= TGIFImageCore::kMaxFrames);
    Check(img.Composite().Width() == img.ImageWidth() && img.Composite().Height() == img.ImageHeight());
    Check((img.Mask() != nullptr) == img.HasTransparency());
    Check(img.DecodedBytes() <= img.MaxDecodedBytes);
    for (int k = 1; k <= img.FrameCount(); ++k) {
        const TGIFFrame& f = *img.Frame(k);
        Check(f.FWidth >= 1 && f.FWidth <= TGIFImageCore::kMaxFrameSide);
        Check(f.FHeight >= 1 && f.FHeight <= TGIFImageCore::kMaxFrameSide);
        Check(f.FLeft + f.FWidth <= img.ImageWidth() && f.FTop + f.FHeight <= img.ImageHeight());
        Check(f.FDisposal >= 0 && f.FDisposal <= 3);
        Check(f.FTransparent == !f.FMaskBitmap.Empty());
    }
}

bool SameFrames(const TGIFImageCore& a, const TGIFImageCore& b) {
    if (a.FrameCount() != b.FrameCount()) return false;
    for (int k = 1; k <= a.FrameCount(); ++k) {
        const TGIFFrame& fa = *a.Frame(k);
        const TGIFFrame& fb = *b.Frame(k);
        if (fa.FBitmap.Bits() != fb.FBitmap.Bits() || fa.FMaskBitmap.Bits() != fb.FMaskBitmap.Bits()) return false;
        if (fa.FBitmap.Colors() != fb.FBitmap.Colors()) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFImageCore img;
    // A smaller budget than the program's keeps every run fast; the limit's code is the same.
    img.MaxDecodedBytes = std::size_t{4} << 20;
    int reports = 0;
    img.OnProgress = [&](TGIFImageCore&, std::int64_t done, std::int64_t total, int pct, bool&) {
        Check(done >= 0 && done <= total && pct >= 0 && pct <= 100);
        ++reports;
    };
    const std::vector<std::uint8_t> file(data, data + size);
    if (!img.LoadFromStream(file)) {
        Check(img.Empty() && img.FrameCount() == 0 && img.Data().empty());
        return 0;
    }
    CheckLoaded(img);
    Check(img.Data() == file);

    // Every frame through disposal and drawing, twice round.
    img.SetLoop(true);
    img.SetAnimate(true);
    for (int i = 0; i <= 2 * img.FrameCount(); ++i) img.TimerTick();
    img.SetAnimate(false);
    Check(img.CurrentFrame() == 1);

    // The stored form of the file decodes to the same frames, also value by value.
    TGIFImageCore copy;
    copy.MaxDecodedBytes = img.MaxDecodedBytes;
    copy.ReferenceDecode = true;
    Check(copy.ReadData(img.WriteData()));
    copy.Loaded();
    Check(SameFrames(img, copy));
    return 0;
}
