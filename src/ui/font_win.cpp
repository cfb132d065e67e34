#include "ui/font_win.h"

#include "platform/win32/wide_text.h"

#include <map>
#include <tuple>

namespace qvx::ui {

FontHandle::FontHandle(const FontDesc& desc) {
    LOGFONTW lf{};
    lf.lfHeight = -desc.height;  // negative: character height, not cell height
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = desc.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Widen(desc.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&lf);
}

FontHandle::~FontHandle() {
    if (font_) DeleteObject(font_);
}

SharedFont AcquireFont(const FontDesc& desc) {
    using Key = std::tuple<std::string, int, bool, bool>;
    static std::map<Key, std::weak_ptr<FontHandle>> cache;
    const Key key{desc.face, desc.height, desc.bold, desc.underline};
    if (auto it = cache.find(key); it != cache.end()) {
        if (auto font = it->second.lock()) return font;
    }
    auto font = std::make_shared<FontHandle>(desc);
    cache[key] = font;
    return font;
}

COLORREF ResolveColor(Color c) {
    if (IsSysColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

} // namespace qvx::ui
