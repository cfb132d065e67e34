#include "ui/font_win.h"

#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/dpi_scale.h"

namespace qvx::ui {

UniqueFont CreateFontFor(const FontDesc& desc, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -ScaleForDpi(desc.height, dpi);  // negative: character height, not cell height
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = desc.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Widen(desc.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

SharedFont AcquireFont(const FontDesc& desc, int dpi) { return Application::instance().gdi().font(desc, dpi); }

COLORREF ResolveColor(Color c) {
    if (IsSysColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

} // namespace qvx::ui
