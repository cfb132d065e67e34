#pragma once
// Fonts by description, shared between the controls that use the same one.
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

class FontHandle {
public:
    explicit FontHandle(const FontDesc& desc);
    ~FontHandle();
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;
    HFONT get() const { return font_; }

private:
    HFONT font_;
};
using SharedFont = std::shared_ptr<FontHandle>;

// The GDI font for a description; fonts no control uses any more are released.
SharedFont AcquireFont(const FontDesc& desc);

COLORREF ResolveColor(Color c);

} // namespace qvx::ui
