#include "desktop/about_pictures.h"

#include "gifimage/gif_image.h"

#include <array>

namespace qvx {

namespace {
// Loads the file; the first frame, or null.
const gif::GifFrame* FirstFrame(gif::GifImage& image, std::span<const std::uint8_t> file) {
    image.firstImageOnly = true;
    if (!image.loadFromStream(file) || image.frameCount() < 1) return nullptr;
    const gif::GifFrame* frame = image.frame(1);
    if (frame->bitmap.empty()) return nullptr;
    return frame;
}

bool IsTransparent(const gif::GifFrame& frame, std::uint8_t index) {
    return frame.transparent && index == frame.transparentIndex;
}
} // namespace

PictureData DecodePicture(std::span<const std::uint8_t> file) {
    gif::GifImage image;
    const gif::GifFrame* frame = FirstFrame(image, file);
    if (!frame) return {};
    const gif::IndexedBitmap& bmp = frame->bitmap;
    PictureData out;
    out.width = bmp.width();
    out.height = bmp.height();
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* row = bmp.row(y);
        for (int x = 0; x < out.width; ++x) {
            const std::uint8_t index = row[x];
            out.argb[static_cast<std::size_t>(y) * out.width + x] =
                IsTransparent(*frame, index) ? 0u : (0xFF000000u | bmp.color(index));
        }
    }
    return out;
}

GlyphArtData GlyphArtFromGif(std::span<const std::uint8_t> file) {
    gif::GifImage image;
    const gif::GifFrame* frame = FirstFrame(image, file);
    if (!frame) return {};
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kMaxColours = sizeof(kLetters) - 1;
    const gif::IndexedBitmap& bmp = frame->bitmap;
    std::array<char, 256> letterOf{};
    GlyphArtData art;
    art.width = bmp.width();
    art.height = bmp.height();
    for (int y = 0; y < art.height; ++y) {
        std::string row(static_cast<std::size_t>(art.width), '.');
        for (int x = 0; x < art.width; ++x) {
            const std::uint8_t index = bmp.at(x, y);
            if (IsTransparent(*frame, index)) continue;
            if (!letterOf[index]) {
                if (static_cast<int>(art.palette.size()) == kMaxColours) return {};
                letterOf[index] = kLetters[art.palette.size()];
                art.palette.emplace_back(letterOf[index], bmp.color(index));
            }
            row[static_cast<std::size_t>(x)] = letterOf[index];
        }
        art.rows.push_back(std::move(row));
    }
    return art;
}

} // namespace qvx
