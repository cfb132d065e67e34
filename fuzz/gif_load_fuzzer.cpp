// libFuzzer target for the GIF load path: load, play every frame through the composition the
// animation uses, and reload from the stored "Data" value with the reference (value by value)
// raster decoding, which must give the same frames. Any crash, sanitizer report or broken
// invariant (trap) is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gifimage/gif_image.h"

namespace {

using namespace qvx::gif;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckLoaded(const GifImage& img) {
    Check(img.frameCount() >= 1 && img.frameCount() <= GifImage::kMaxFrames);
    Check(img.composite().width() == img.imageWidth() && img.composite().height() == img.imageHeight());
    Check((img.mask() != nullptr) == img.hasTransparency());
    Check(img.decodedBytes() <= img.maxDecodedBytes);
    for (int k = 1; k <= img.frameCount(); ++k) {
        const GifFrame& f = *img.frame(k);
        Check(f.width >= 1 && f.width <= GifImage::kMaxFrameSide);
        Check(f.height >= 1 && f.height <= GifImage::kMaxFrameSide);
        Check(f.left + f.width <= img.imageWidth() && f.top + f.height <= img.imageHeight());
        Check(f.disposal >= 0 && f.disposal <= 3);
        Check(f.transparent == !f.mask.empty());
    }
}

bool SameFrames(const GifImage& a, const GifImage& b) {
    if (a.frameCount() != b.frameCount()) return false;
    for (int k = 1; k <= a.frameCount(); ++k) {
        const GifFrame& fa = *a.frame(k);
        const GifFrame& fb = *b.frame(k);
        if (fa.bitmap.bits() != fb.bitmap.bits() || fa.mask.bits() != fb.mask.bits()) return false;
        if (fa.bitmap.colors() != fb.bitmap.colors()) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GifImage img;
    // A smaller budget than the program's keeps every run fast; the limit's code is the same.
    img.maxDecodedBytes = std::size_t{4} << 20;
    int reports = 0;
    img.OnProgress = [&](GifImage&, std::int64_t done, std::int64_t total, int pct, bool&) {
        Check(done >= 0 && done <= total && pct >= 0 && pct <= 100);
        ++reports;
    };
    const std::vector<std::uint8_t> file(data, data + size);
    if (!img.loadFromStream(file)) {
        Check(img.empty() && img.frameCount() == 0 && img.data().empty());
        return 0;
    }
    CheckLoaded(img);
    Check(img.data() == file);

    // Every frame through disposal and drawing, twice round.
    img.setLoop(true);
    img.setAnimate(true);
    for (int i = 0; i <= 2 * img.frameCount(); ++i) img.timerTick();
    img.setAnimate(false);
    Check(img.currentFrame() == 1);

    // The stored form of the file decodes to the same frames, also value by value.
    GifImage copy;
    copy.maxDecodedBytes = img.maxDecodedBytes;
    copy.referenceDecode = true;
    Check(copy.readData(img.writeData()));
    copy.loaded();
    Check(SameFrames(img, copy));
    return 0;
}
