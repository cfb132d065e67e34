#include "gifimage/gif_image_control_win.h"

#include <optional>
#include <vector>

#include "gifimage/frame_timer_win.h"
#include "ui/application_win.h"
#include "ui/control_factory_win.h"
#include "ui/offscreen_win.h"

namespace qvx::gif {
namespace {

// Stretching: halftone when a deep bitmap goes to a palette device, otherwise keep white
// pixels of a shrunk mask (transparent stays transparent) or simply drop rows and columns.
void ChooseStretchMode(HDC dc, int bitmapBits) {
    const int deviceBits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (deviceBits <= 8 && bitmapBits > deviceBits) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    } else {
        SetStretchBltMode(dc, bitmapBits == 1 ? WHITEONBLACK : COLORONCOLOR);
    }
}

struct MonoBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

} // namespace

GifImageControl::GifImageControl(ui::Form& owner, const ui::ControlDesign& design, ui::Control* parent)
    : ui::GraphicControl(owner, design, parent) {
    setStretch(design.stretch);
    setAutoSize(design.autoSize);
}

GifImageControl::~GifImageControl() {
    armTimer(false, 0);  // no tick may reach a half-destroyed control
}

void GifImageControl::paint(HDC dc) {
    try {
        if (paintMessageStart() && (!empty() || opaqueBackground())) paintTo(dc);
        paintMessageFinish();
    } catch (const std::exception& e) {
        // Arming the timer can fail ("No More Timers Available"); never through WM_PAINT.
        ui::Application::instance().showException(e.what());
    }
}

void GifImageControl::paintTo(HDC dc) {
    if (!imageVisible()) return;
    const PaintPlan plan = planPaint();
    if (plan.fillBackground) {
        const UniqueBrush brush(CreateSolidBrush(backgroundColor()));
        const HGDIOBJ old = SelectObject(dc, brush.get());
        PatBlt(dc, 0, 0, width(), height(), PATCOPY);
        SelectObject(dc, old);
    }
    if (plan.targets.empty()) return;
    // On a palette device the colours come from the frame's palette.
    HPALETTE oldPalette = nullptr;
    const bool paletteDevice = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    if (paletteDevice) {
        if (HPALETTE p = palette()) {
            oldPalette = SelectPalette(dc, p, TRUE);
            RealizePalette(dc);
        }
    }
    for (const Rect& t : plan.targets) {
        const RECT r{t.left, t.top, t.right, t.bottom};
        if (plan.transparent && mask() != nullptr) {
            // Where the mask is white the background stays; the composite is black there.
            blitBitmap(*mask(), dc, r, SRCAND);
            blitBitmap(composite(), dc, r, SRCINVERT);
        } else {
            blitBitmap(composite(), dc, r, SRCCOPY);
        }
    }
    if (oldPalette != nullptr) SelectPalette(dc, oldPalette, TRUE);
}

void GifImageControl::blitBitmap(const PixelBitmap& bitmap, HDC dc, const RECT& r, DWORD rop) {
    if (bitmap.empty()) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w != bitmap.width() || h != bitmap.height()) ChooseStretchMode(dc, 32);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = bitmap.width();
    bi.bmiHeader.biHeight = -bitmap.height();  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, r.left, r.top, w, h, 0, 0, bitmap.width(), bitmap.height(), bitmap.pixels().data(), &bi,
                  DIB_RGB_COLORS, rop);
}

void GifImageControl::blitBitmap(const MaskBitmap& bitmap, HDC dc, const RECT& r, DWORD rop) {
    if (bitmap.empty()) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w != bitmap.width() || h != bitmap.height()) ChooseStretchMode(dc, 1);
    MonoBitmapInfo bi{};
    bi.header.biSize = sizeof(BITMAPINFOHEADER);
    bi.header.biWidth = bitmap.width();
    bi.header.biHeight = bitmap.height();  // bottom-up, as the mask rows are stored
    bi.header.biPlanes = 1;
    bi.header.biBitCount = 1;
    bi.header.biCompression = BI_RGB;
    bi.header.biClrUsed = 2;
    bi.colors[1] = {255, 255, 255, 0};
    StretchDIBits(dc, r.left, r.top, w, h, 0, 0, bitmap.width(), bitmap.height(), bitmap.bits().data(),
                  reinterpret_cast<const BITMAPINFO*>(&bi), DIB_RGB_COLORS, rop);
}

void GifImageControl::invalidateImage() { ui::GraphicControl::invalidate(); }

void GifImageControl::repaintNow() {
    HWND wnd = containerHandle();
    if (wnd == nullptr || repainting_ || !imageVisible() || !visible()) return;
    repainting_ = true;
    const UniqueWindowDc window = OwnWindowDc(wnd, GetDC(wnd));
    const HDC windowDc = window.get().dc;
    RECT client;
    GetClientRect(wnd, &client);
    // Double buffered through the framework's kept bitmap: a new one per frame costs more than
    // drawing the frame on some platforms.
    std::optional<ui::OffscreenBuffer> buffer;
    if (!opaqueCover()) buffer.emplace(client.right, client.bottom);
    HDC memoryDc = buffer ? buffer->dc() : nullptr;
    HDC dc = memoryDc ? memoryDc : windowDc;
    // The image's rectangle in the parent, kept inside the control.
    const Rect ir = imageRect();
    RECT r{ir.left + left(), ir.top + top(), ir.right + left(), ir.bottom + top()};
    const RECT bounds = boundsRect();
    if (IntersectRect(&r, &r, &bounds)) {
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        if (opaqueStyle()) {
            OffsetViewportOrgEx(dc, left(), top(), nullptr);
            paintTo(dc);
        } else {
            // The parent paints its background and its graphic controls, this one included.
            SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
            SendMessageW(wnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        }
        RestoreDC(dc, saved);
        if (memoryDc) BitBlt(windowDc, r.left, r.top, r.right - r.left, r.bottom - r.top, memoryDc, r.left, r.top, SRCCOPY);
    }
    repainting_ = false;
}

void GifImageControl::postPaletteQuery(bool onlyWhenParentFocused) {
    HWND wnd = containerHandle();
    if (wnd == nullptr) return;
    if (onlyWhenParentFocused && GetFocus() != wnd) return;
    PostMessageW(wnd, WM_QUERYNEWPALETTE, 0, 0);
}

std::unique_ptr<AnimationTimer> GifImageControl::createTimer() { return std::make_unique<FrameTimer>(); }

HPALETTE GifImageControl::palette() {
    palette_.reset();
    const GifFrame* f = frame(currentFrame());
    if (empty() || !imageVisible() || f == nullptr || f->bitmap.paletteSize() == 0) return nullptr;
    const int n = f->bitmap.paletteSize();
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<std::size_t>(n));
    auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    for (int i = 0; i < n; ++i) {
        const Pixel c = f->bitmap.color(static_cast<std::uint8_t>(i));
        lp->palPalEntry[i] = {PixelRed(c), PixelGreen(c), PixelBlue(c), 0};
    }
    palette_.reset(CreatePalette(lp));
    return palette_.get();
}

bool GifImageControl::assignTo(ui::Picture& destination) {
    const IndexedBitmap* copy = firstFrameCopy();
    if (copy == nullptr) return false;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(copy->width()) * static_cast<std::size_t>(copy->height()));
    for (int y = 0; y < copy->height(); ++y)
        for (int x = 0; x < copy->width(); ++x)
            argb[static_cast<std::size_t>(y) * copy->width() + x] = 0xFF000000u | copy->color(copy->at(x, y));
    destination = ui::Picture(copy->width(), copy->height(), argb);
    return true;
}

void RegisterGifImageKind() {
    ui::RegisterComponentKind(ui::Kind::GifImage,
                              [](ui::Form& owner, const ui::ControlDesign& design, ui::Control* parent) -> std::unique_ptr<ui::Component> {
                                  return std::make_unique<GifImageControl>(owner, design, parent);
                              });
}

} // namespace qvx::gif
