#pragma once
// Fonts by description, shared between the controls that use the same one.
#include "platform/win32/unique_handle.h"
#include "ui/layout.h"

#include <windows.h>

#include <memory>
#include <string>

namespace qvx::ui {

struct FontDesc {
    std::string face = "Times New Roman";
    int height = 15;  // character height in pixels at 96 DPI
    bool bold = false;
    bool underline = false;
    Color color = clWindowText;
    bool operator==(const FontDesc&) const = default;
};

using SharedFont = std::shared_ptr<const UniqueFont>;

// A new GDI font for a description, for a window shown at `dpi`.
UniqueFont CreateFontFor(const FontDesc& desc, int dpi);
// The GDI font for a description at a DPI, shared through the application's cache; fonts no
// control uses any more are released.
SharedFont AcquireFont(const FontDesc& desc, int dpi);

COLORREF ResolveColor(Color c);

} // namespace qvx::ui
