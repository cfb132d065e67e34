#include "desktop/about_pictures.h"

#include "gifimage/gif_image_core.h"

#include <array>

namespace qvx {

namespace {
// Loads the file; the first frame, or null.
const gif::TGIFFrame* FirstFrame(gif::TGIFImageCore& image, std::span<const std::uint8_t> file) {
    image.FirstImageOnly = true;
    if (!image.LoadFromStream(file) || image.FrameCount() < 1) return nullptr;
    const gif::TGIFFrame* frame = image.Frame(1);
    if (frame->FBitmap.Empty()) return nullptr;
    return frame;
}

bool IsTransparent(const gif::TGIFFrame& frame, std::uint8_t index) {
    return frame.FTransparent && index == frame.FTransparentIndex;
}
} // namespace

PictureData DecodePicture(std::span<const std::uint8_t> file) {
    gif::TGIFImageCore image;
    const gif::TGIFFrame* frame = FirstFrame(image, file);
    if (!frame) return {};
    const gif::IndexedBitmap& bmp = frame->FBitmap;
    PictureData out;
    out.width = bmp.Width();
    out.height = bmp.Height();
    out.argb.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* row = bmp.Row(y);
        for (int x = 0; x < out.width; ++x) {
            const std::uint8_t index = row[x];
            out.argb[static_cast<std::size_t>(y) * out.width + x] =
                IsTransparent(*frame, index) ? 0u : (0xFF000000u | bmp.Color(index));
        }
    }
    return out;
}

GlyphArtData GlyphArtFromGif(std::span<const std::uint8_t> file) {
    gif::TGIFImageCore image;
    const gif::TGIFFrame* frame = FirstFrame(image, file);
    if (!frame) return {};
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kMaxColours = sizeof(kLetters) - 1;
    const gif::IndexedBitmap& bmp = frame->FBitmap;
    std::array<char, 256> letterOf{};
    GlyphArtData art;
    art.width = bmp.Width();
    art.height = bmp.Height();
    for (int y = 0; y < art.height; ++y) {
        std::string row(static_cast<std::size_t>(art.width), '.');
        for (int x = 0; x < art.width; ++x) {
            const std::uint8_t index = bmp.At(x, y);
            if (IsTransparent(*frame, index)) continue;
            if (!letterOf[index]) {
                if (static_cast<int>(art.palette.size()) == kMaxColours) return {};
                letterOf[index] = kLetters[art.palette.size()];
                art.palette.emplace_back(letterOf[index], bmp.Color(index));
            }
            row[static_cast<std::size_t>(x)] = letterOf[index];
        }
        art.rows.push_back(std::move(row));
    }
    return art;
}

} // namespace qvx
