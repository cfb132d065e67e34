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
    int height = 15;  // character height in pixels
    bool bold = false;
    bool underline = false;
    Color color = clWindowText;
    bool operator==(const FontDesc&) const = default;
};

using SharedFont = std::shared_ptr<const UniqueFont>;

// A new GDI font for a description.
UniqueFont CreateFontFor(const FontDesc& desc);
// The GDI font for a description, shared through the application's cache; fonts no control
// uses any more are released.
SharedFont AcquireFont(const FontDesc& desc);

COLORREF ResolveColor(Color c);

} // namespace qvx::ui
