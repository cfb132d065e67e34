#pragma once
// The pictures of the four buttons along the bottom of the main window.
#include "ui/glyph_win.h"

namespace qvx {

const ui::GlyphArt& RefreshGlyphArt();
const ui::GlyphArt& SanitizeGlyphArt();
const ui::GlyphArt& AbortGlyphArt();
const ui::GlyphArt& ExitGlyphArt();

} // namespace qvx
