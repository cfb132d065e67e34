// gifinfo: prints what the GIF control makes of each file named, one "key: value" line per
// item, so that outputs can be compared with diff (also against other decoders).
//
//   gifinfo [--composite] FILE...
//
// Per file: the load status, the version, logical size, loop count and frame count, then one
// line per frame with its fields and the 64-bit FNV-1a hash of its colour indices (rows top to
// bottom, exactly width bytes each). --composite adds, after each frame is drawn the way the
// animation draws it, the FNV-1a hash of the composite as RGBA bytes (rows top to bottom;
// pixels transparent in the mask as 0,0,0,0, others as their colour and 255).
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gifimage/gif_image.h"

namespace {

using namespace qvx::gif;

struct Fnv1a {
    std::uint64_t h = 0xcbf29ce484222325ull;
    void Add(std::uint8_t b) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
};

std::uint64_t IndexHash(const GifFrame& f) {
    Fnv1a fnv;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) fnv.Add(f.bitmap.at(x, y));
    return fnv.h;
}

std::uint64_t CompositeHash(const GifImage& img) {
    const PixelBitmap& c = img.composite();
    const MaskBitmap* mask = img.mask();
    Fnv1a fnv;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            if (mask != nullptr && mask->get(x, y)) {
                for (int i = 0; i < 4; ++i) fnv.Add(0);
                continue;
            }
            const Pixel p = c.at(x, y);
            fnv.Add(PixelRed(p));
            fnv.Add(PixelGreen(p));
            fnv.Add(PixelBlue(p));
            fnv.Add(255);
        }
    return fnv.h;
}

void PrintFrame(int k, const GifFrame& f) {
    std::printf("frame %d: left=%d top=%d width=%d height=%d interlaced=%d local_depth=%d delay_ms=%d "
                "disposal=%d transparent=%d transparent_index=%d indices_fnv1a=%016" PRIx64 "\n",
                k, f.left, f.top, f.width, f.height, f.interlaced ? 1 : 0, f.localDepth, f.delayMs,
                f.disposal, f.transparent ? 1 : 0, f.transparentIndex, IndexHash(f));
}

int Report(const char* path, bool composite) {
    std::printf("file: %s\n", path);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("load: failed\nerror: cannot read the file\n");
        return 1;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    GifImage img;
    if (!img.loadFromStream(bytes)) {
        std::printf("load: failed\n");
        return 1;
    }
    std::printf("load: ok\n");
    std::printf("version: %s\n", img.version() == GifVersion::Gif89a ? "GIF89a" : "GIF87a");
    std::printf("logical_size: %dx%d\n", img.imageWidth(), img.imageHeight());
    std::printf("loop_count: %d\n", img.loopCount());
    std::printf("frame_count: %d\n", img.frameCount());
    for (int k = 1; k <= img.frameCount(); ++k) PrintFrame(k, *img.frame(k));
    if (composite) {
        // Drawn as playback draws: frame 1 at load, then each tick disposes the previous
        // frame and draws the next (the first tick draws nothing).
        std::printf("composite 1: rgba_fnv1a=%016" PRIx64 "\n", CompositeHash(img));
        if (img.frameCount() > 1) {
            img.setLoop(true);
            img.setAnimate(true);
            img.timerTick();
            for (int k = 2; k <= img.frameCount(); ++k) {
                img.timerTick();
                std::printf("composite %d: rgba_fnv1a=%016" PRIx64 "\n", k, CompositeHash(img));
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool composite = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--composite") == 0) {
            composite = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: gifinfo [--composite] FILE...\n");
            return 0;
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: gifinfo [--composite] FILE...\n");
        return 2;
    }
    int failures = 0;
    for (const char* f : files) failures += Report(f, composite);
    return failures == 0 ? 0 : 1;
}
