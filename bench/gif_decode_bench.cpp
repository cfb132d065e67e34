// GIF decode speed: our load (every frame decoded, then every frame composed onto the composite
// the way the animation draws it) against giflib on the same files, which the benchmark makes
// itself: a 4000 x 4000 still image and a 1000 x 1000 animation of 50 frames.
//
// The baseline does comparable work: DGifSlurp (all frames to index rasters) and then the
// composition of every frame onto a 32-bit canvas with a transparency mask, applying disposal
// and transparency exactly as our control does. Both results are compared before timing.
//
// Prints decoded megapixels per second (the sum of the frames' areas over the time of the
// best of several runs) for both and the ratio ours/giflib, and the peak resident memory of
// one decode of each, measured in a fresh child process (with, for reference, that of a
// process that only reads the file).
//
//   gif_decode_bench [--runs N]
//   gif_decode_bench --write FOLDER     only writes the two files (still.gif, animation.gif)
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gifimage/gif_image.h"
#include "gifimage/gif_writer.h"

namespace {

using namespace qvx;
using Clock = std::chrono::steady_clock;

// ---- The files ---------------------------------------------------------------------------

std::vector<gifwriter::Rgb> Palette256() {
    std::vector<gifwriter::Rgb> p(256);
    for (int i = 0; i < 256; ++i)
        p[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>((i * 7) & 0xFF),
                static_cast<std::uint8_t>(255 - i)};
    return p;
}

// Smooth gradients, bands and 1 pixel in 8 of noise: neither trivial nor incompressible.
std::uint8_t Texture(int x, int y, int shift, std::mt19937& rng) {
    if ((rng() & 7) == 0) return static_cast<std::uint8_t>(rng() >> 24);
    return static_cast<std::uint8_t>((x + shift) / 9 + y / 13 + (((x + shift) / 40 + y / 40) & 1) * 64);
}

std::vector<std::uint8_t> StillFile() {
    constexpr int w = 4000, h = 4000;
    std::mt19937 rng(1);
    std::vector<std::uint8_t> idx(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) idx[static_cast<std::size_t>(y) * w + x] = Texture(x, y, 0, rng);
    gifwriter::GifBuilder b(w, h, Palette256());
    gifwriter::Image img;
    img.width = w;
    img.height = h;
    img.indices = std::move(idx);
    return b.addImage(img).trailer().bytes();
}

// Full-size frames of a moving texture. As GIF optimisers do, pixels that equal the previous
// frame's become the transparent index 255 (not used by the texture's last band).
std::vector<std::uint8_t> AnimationFile() {
    constexpr int w = 1000, h = 1000, frames = 50;
    std::mt19937 rng(2);
    gifwriter::GifBuilder b(w, h, Palette256());
    b.loop(0);
    std::vector<std::uint8_t> prev;
    for (int k = 0; k < frames; ++k) {
        std::vector<std::uint8_t> cur(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // The top half moves, the bottom half stays apart from noise.
                const int shift = y < h / 2 ? 4 * k : 0;
                cur[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(Texture(x, y, shift, rng) % 255);
            }
        gifwriter::Image img;
        img.width = w;
        img.height = h;
        img.indices = cur;
        if (k > 0)
            for (std::size_t i = 0; i < cur.size(); ++i)
                if (cur[i] == prev[i]) img.indices[i] = 255;
        b.control({.disposal = 1, .delayCs = 4, .transparent = k > 0, .transparentIndex = 255});
        b.addImage(img);
        prev = std::move(cur);
    }
    return b.trailer().bytes();
}

// ---- Ours --------------------------------------------------------------------------------

struct Result {
    std::vector<std::vector<std::uint8_t>> frames;  // index rasters, top row first
    std::vector<std::uint32_t> composite;           // 0x00RRGGBB after the last frame
    std::vector<std::uint8_t> transparent;          // 1 where the composite is transparent
};

// Loads and plays every frame once, as the control's timer would.
void DecodeOurs(const std::vector<std::uint8_t>& file, Result* out) {
    gif::GifImage img;
    if (!img.loadFromStream(file)) {
        std::fprintf(stderr, "our decoder refused the file\n");
        std::exit(1);
    }
    if (img.frameCount() > 1) {
        img.setLoop(true);
        img.setAnimate(true);
        for (int k = 1; k <= img.frameCount(); ++k) img.timerTick();  // the first draws nothing
    }
    if (out == nullptr) return;
    for (int k = 1; k <= img.frameCount(); ++k) {
        const gif::GifFrame& f = *img.frame(k);
        std::vector<std::uint8_t> rows;
        for (int y = 0; y < f.height; ++y) rows.insert(rows.end(), f.bitmap.row(y), f.bitmap.row(y) + f.width);
        out->frames.push_back(std::move(rows));
    }
    out->composite = img.composite().pixels();
    out->transparent.assign(out->composite.size(), 0);
    if (const gif::MaskBitmap* m = img.mask())
        for (int y = 0; y < m->height(); ++y)
            for (int x = 0; x < m->width(); ++x) out->transparent[static_cast<std::size_t>(y) * m->width() + x] = m->get(x, y);
}

// ---- giflib ------------------------------------------------------------------------------

struct MemoryReader {
    const std::vector<std::uint8_t>* file;
    std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int n) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t got = std::min<std::size_t>(static_cast<std::size_t>(n), r->file->size() - r->pos);
    std::memcpy(buf, r->file->data() + r->pos, got);
    r->pos += got;
    return static_cast<int>(got);
}

void DecodeGiflib(const std::vector<std::uint8_t>& file, Result* out) {
    MemoryReader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "giflib refused the file\n");
        std::exit(1);
    }
    int width = gif->SWidth, height = gif->SHeight;
    bool anyTransparent = false;
    std::vector<GraphicsControlBlock> gcb(static_cast<std::size_t>(gif->ImageCount));
    for (int k = 0; k < gif->ImageCount; ++k) {
        const GifImageDesc& d = gif->SavedImages[k].ImageDesc;
        width = std::max(width, d.Left + d.Width);
        height = std::max(height, d.Top + d.Height);
        gcb[k] = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, k, &gcb[k]);
        anyTransparent |= gcb[k].TransparentColor != NO_TRANSPARENT_COLOR;
    }
    // Black, and all transparent when any frame has transparency.
    std::vector<std::uint32_t> canvas(static_cast<std::size_t>(width) * height, 0);
    std::vector<std::uint8_t> mask(canvas.size(), anyTransparent ? 1 : 0);
    std::vector<std::uint32_t> saved;
    std::vector<std::uint8_t> savedMask;
    auto disposalOf = [&](int k) { return gcb[k].DisposalMode > 3 ? 2 : gcb[k].DisposalMode; };
    for (int k = 0; k < gif->ImageCount; ++k) {
        const SavedImage& s = gif->SavedImages[k];
        const GifImageDesc& d = s.ImageDesc;
        if (k > 0) {  // the previous frame leaves
            const GifImageDesc& p = gif->SavedImages[k - 1].ImageDesc;
            const int disposal = disposalOf(k - 1);
            for (int y = 0; y < p.Height && (disposal == 2 || disposal == 3); ++y) {
                std::uint32_t* c = &canvas[static_cast<std::size_t>(p.Top + y) * width + p.Left];
                std::uint8_t* m = &mask[static_cast<std::size_t>(p.Top + y) * width + p.Left];
                if (disposal == 2) {
                    std::fill(c, c + p.Width, 0u);
                    if (anyTransparent) std::fill(m, m + p.Width, 1);
                } else {
                    std::memcpy(c, &saved[static_cast<std::size_t>(y) * p.Width], 4 * static_cast<std::size_t>(p.Width));
                    if (anyTransparent) std::memcpy(m, &savedMask[static_cast<std::size_t>(y) * p.Width], p.Width);
                }
            }
        }
        if (disposalOf(k) == 3) {
            saved.resize(static_cast<std::size_t>(d.Width) * d.Height);
            savedMask.resize(saved.size());
            for (int y = 0; y < d.Height; ++y) {
                std::memcpy(&saved[static_cast<std::size_t>(y) * d.Width], &canvas[static_cast<std::size_t>(d.Top + y) * width + d.Left], 4 * static_cast<std::size_t>(d.Width));
                std::memcpy(&savedMask[static_cast<std::size_t>(y) * d.Width], &mask[static_cast<std::size_t>(d.Top + y) * width + d.Left], d.Width);
            }
        }
        const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
        std::uint32_t colors[256] = {};
        for (int i = 0; map != nullptr && i < map->ColorCount && i < 256; ++i)
            colors[i] = (std::uint32_t{map->Colors[i].Red} << 16) | (std::uint32_t{map->Colors[i].Green} << 8) | map->Colors[i].Blue;
        const int t = gcb[k].TransparentColor;
        for (int y = 0; y < d.Height; ++y) {
            const GifByteType* src = s.RasterBits + static_cast<std::size_t>(y) * d.Width;
            std::uint32_t* c = &canvas[static_cast<std::size_t>(d.Top + y) * width + d.Left];
            std::uint8_t* m = &mask[static_cast<std::size_t>(d.Top + y) * width + d.Left];
            for (int x = 0; x < d.Width; ++x) {
                if (src[x] == t) continue;
                c[x] = colors[src[x]];
                m[x] = 0;
            }
        }
    }
    if (out != nullptr) {
        for (int k = 0; k < gif->ImageCount; ++k) {
            const GifImageDesc& d = gif->SavedImages[k].ImageDesc;
            out->frames.emplace_back(gif->SavedImages[k].RasterBits,
                                     gif->SavedImages[k].RasterBits + static_cast<std::size_t>(d.Width) * d.Height);
        }
        out->composite = std::move(canvas);
        out->transparent = std::move(mask);
    }
    DGifCloseFile(gif, &error);
}

// ---- Measuring ---------------------------------------------------------------------------

double Seconds(void (*decode)(const std::vector<std::uint8_t>&, Result*), const std::vector<std::uint8_t>& file) {
    const auto t0 = Clock::now();
    decode(file, nullptr);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Peak resident set (KiB) of a fresh process that decodes the file once with `which`. The
// child reports its own high-water mark (VmHWM, which belongs to its address space and so
// starts afresh at exec; a spawned child's rusage would include this process's).
long PeakKiB(const std::string& exe, const std::string& which, const std::string& path) {
    const std::string command = "'" + exe + "' --peak " + which + " '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    long kib = -1;
    if (std::fscanf(pipe, "%ld", &kib) != 1) kib = -1;
    return pclose(pipe) == 0 ? kib : -1;
}

long HighWaterKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int PeakChild(const std::string& which, const std::string& path) {
    const auto file = ReadFile(path);
    if (file.empty()) return 1;
    if (which == "ours") DecodeOurs(file, nullptr);
    else if (which == "giflib") DecodeGiflib(file, nullptr);
    // "none": the process with the file read, as a reference.
    std::printf("%ld\n", HighWaterKiB());
    return 0;
}

struct Case {
    const char* name;
    std::vector<std::uint8_t> file;
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0) return PeakChild(argv[2], argv[3]);
    int runs = 5;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::max(1, std::atoi(argv[2]));

    std::printf("Making the test files...\n");
    Case cases[] = {{"still 4000x4000", StillFile()}, {"animation 1000x1000 x50", AnimationFile()}};
    if (argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        const char* names[] = {"still.gif", "animation.gif"};
        for (int i = 0; i < 2; ++i)
            std::ofstream(std::string(argv[2]) + "/" + names[i], std::ios::binary)
                .write(reinterpret_cast<const char*>(cases[i].file.data()), static_cast<std::streamsize>(cases[i].file.size()));
        return 0;
    }
    char exe[4096] = {};
    if (readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return 1;

    std::printf("Baseline: giflib %d.%d.%d, DGifSlurp plus composition of every frame onto a 32-bit canvas\n"
                "with a transparency mask (same disposal and transparency rules as ours).\n"
                "Ours: LoadFromStream plus every frame drawn by the animation's tick. Best of %d runs.\n\n",
                GIFLIB_MAJOR, GIFLIB_MINOR, GIFLIB_RELEASE, runs);
    std::printf("%-26s %9s %7s %11s %11s %9s %12s %12s %12s\n", "file", "bytes", "MP", "ours MP/s", "giflib MP/s",
                "ratio", "ours peak", "giflib peak", "file only");
    bool allSame = true;
    for (Case& c : cases) {
        Result ours, theirs;
        DecodeOurs(c.file, &ours);
        DecodeGiflib(c.file, &theirs);
        const bool same = ours.frames == theirs.frames && ours.composite == theirs.composite &&
                          ours.transparent == theirs.transparent;
        allSame &= same;
        double pixels = 0;
        for (const auto& f : ours.frames) pixels += static_cast<double>(f.size());
        double bestOurs = 1e30, bestTheirs = 1e30;
        for (int r = 0; r < runs; ++r) {  // interleaved, so that drift hits both alike
            bestOurs = std::min(bestOurs, Seconds(DecodeOurs, c.file));
            bestTheirs = std::min(bestTheirs, Seconds(DecodeGiflib, c.file));
        }
        const std::string path = "/tmp/gif_decode_bench_" + std::to_string(getpid()) + ".gif";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.file.data()),
                                                    static_cast<std::streamsize>(c.file.size()));
        const long peakOurs = PeakKiB(exe, "ours", path);
        const long peakTheirs = PeakKiB(exe, "giflib", path);
        const long peakNone = PeakKiB(exe, "none", path);
        std::remove(path.c_str());
        const double mp = pixels / 1e6;
        std::printf("%-26s %9zu %7.1f %11.1f %11.1f %9.2f %9.1f MiB %9.1f MiB %9.1f MiB%s\n", c.name, c.file.size(), mp,
                    mp / bestOurs, mp / bestTheirs, bestTheirs / bestOurs, peakOurs / 1024.0, peakTheirs / 1024.0,
                    peakNone / 1024.0, same ? "" : "  RESULTS DIFFER");
    }
    std::printf("\nratio = ours/giflib in megapixels per second (above 1: ours is faster).\n");
    std::printf("Frames and composites identical in both decoders: %s\n", allSame ? "yes" : "NO");
    return allSame ? 0 : 1;
}
