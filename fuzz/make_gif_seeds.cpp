// Writes a small seed corpus for the GIF fuzzer into the folder named on the command line:
// files that reach every block kind, raster layout and disposal, made with the tests' writer.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gifimage/gif_writer.h"

namespace {

using namespace qvx::gifwriter;

std::vector<Rgb> Palette(int n) {
    std::vector<Rgb> p;
    for (int i = 0; i < n; ++i)
        p.push_back({static_cast<std::uint8_t>(i * 53), static_cast<std::uint8_t>(255 - i * 7),
                     static_cast<std::uint8_t>(i * 29)});
    return p;
}

std::vector<std::uint8_t> Raster(int w, int h, int colors, int salt) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < static_cast<int>(v.size()); ++i)
        v[i] = static_cast<std::uint8_t>(((i / 3) * 7 + (i % w) * salt + (i * i) % 5) % colors);
    return v;
}

Image Img(int w, int h, int colors, int salt, int left = 0, int top = 0) {
    Image img;
    img.left = left;
    img.top = top;
    img.width = w;
    img.height = h;
    img.indices = Raster(w, h, colors, salt);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gif_seeds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    int written = 0;
    auto save = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                 static_cast<std::streamsize>(bytes.size()));
        ++written;
    };

    {  // animated, transparent, looping, with comments (like the program's logo, smaller)
        GifBuilder b(24, 20, Palette(16));
        b.comment("seed").loop(999);
        for (int k = 0; k < 4; ++k) {
            b.control({.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = 11});
            b.addImage(Img(24, 20, 16, k + 1));
        }
        save("logo_like.gif", b.trailer().bytes());
    }
    {  // interlaced image with a local table, GIF87a
        GifBuilder b(9, 9, {}, "87a");
        auto img = Img(9, 9, 8, 3);
        img.interlaced = true;
        img.localColors = Palette(8);
        save("interlaced_local.gif", b.addImage(img).trailer().bytes());
    }
    {  // every disposal, frames partly outside the screen
        GifBuilder b(8, 8, Palette(4));
        for (int d = 0; d < 8; ++d) {
            b.control({.disposal = d, .delayCs = d, .transparent = d % 2 == 1, .transparentIndex = 1});
            b.addImage(Img(3 + d % 3, 2 + d % 4, 4, d, d, 8 - d));
        }
        save("disposals.gif", b.trailer().bytes());
    }
    {  // 256 colours, full code table kept without clear codes, one-byte sub-blocks
        GifBuilder b(48, 48, Palette(256));
        auto img = Img(48, 48, 256, 17);
        img.resetWhenFull = false;
        img.subBlockSize = 1;
        save("no_clear_tiny_blocks.gif", b.addImage(img).trailer().bytes());
    }
    {  // plain text, application and unknown extensions, stray bytes, no trailer
        GifBuilder b(6, 6, Palette(2));
        b.raw({0x21, 0x01, 12, 0, 0, 0, 0, 6, 0, 6, 0, 1, 1, 0, 1, 2, 'h', 'i', 0});
        b.raw({0x21, 0xFF, 11, 'A', 'P', 'P', 'L', 'I', 'C', 'A', 'T', 'I', 'O', 'N', 2, 9, 9, 0});
        b.raw({0x21, 0x42, 1, 7, 0, 0x99, 0x3B});
        b.addImage(Img(6, 6, 2, 5));
        save("extensions.gif", b.bytes());
    }
    {  // wide minimum code size for few colours
        GifBuilder b(12, 5, Palette(4));
        auto img = Img(12, 5, 4, 9);
        img.minCodeSize = 11;
        save("wide_codes.gif", b.addImage(img).trailer().bytes());
    }
    {  // first image only fits once: a second image truncated inside its raster
        GifBuilder b(10, 10, Palette(4));
        b.addImage(Img(10, 10, 4, 2)).addImage(Img(10, 10, 4, 3));
        auto bytes = b.bytes();
        bytes.resize(bytes.size() - 6);
        save("truncated.gif", bytes);
    }
    std::printf("%d seed files written to %s\n", written, dir.c_str());
    return 0;
}
