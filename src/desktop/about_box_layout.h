#pragma once
// The stored layout of the About box, and the stored properties of its animated logo.
#include "ui/layout.h"

#include <cstdint>
#include <span>

namespace qvx {

namespace gif {
class GifImage;
}

const ui::FormDesign& AboutBoxDesign();
// Components in creation order, containers before their children.
ui::Layout AboutBoxLayout();

// What the form data stores for the logo control: its published properties and its "Data"
// value (a 32-bit little-endian length, then the GIF file).
struct GifImageFormData {
    bool Animate = false;
    bool AutoSize = false;
    bool Center = false;
    bool FirstImageOnly = false;
    bool Loop = false;
    bool Opaque = false;
    bool Stretch = true;
    bool StretchRatio = false;
    bool StretchBigOnly = false;
    bool Tile = false;
    bool Threaded = false;
    std::span<const std::uint8_t> Data;
};
const GifImageFormData& AboutLogoFormData();

// Gives a logo control its stored properties and data, then decodes the data, as reading the
// form does. False when the stored data is cut short or does not decode.
bool LoadGifImageFormData(gif::GifImage& image, const GifImageFormData& data);

} // namespace qvx
