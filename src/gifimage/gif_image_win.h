#pragma once
// TGIFImage: the animated GIF image as a graphic control of the windowing framework. Decoding,
// composition and playback are TGIFImageCore's; this class adds what needs a window: painting
// the composite with GDI (stretched, through the mask for a transparent first frame, tiled,
// over an opaque background), the flicker-free direct repaint through the parent window, the
// frame timer (TTimerEx), palettes, and the bitmap copy of the first frame.
#include <windows.h>

#include <memory>

#include "gifimage/gif_image_core.h"
#include "ui/control_win.h"
#include "ui/picture_win.h"

namespace qvx::gif {

class TGIFImage : public ui::GraphicControl, public TGIFImageCore {
public:
    TGIFImage(ui::Form& owner, const ui::ControlDesign& design, ui::Control* parent);
    ~TGIFImage() override;

    // ---- The framework's graphic control -------------------------------------------------
    // The paint message: the opaque state first, then the picture, then the timer is armed.
    void paint(HDC dc) override;
    bool opaque() const override { return OpaqueStyle(); }

    int ControlWidth() const override { return width(); }
    int ControlHeight() const override { return height(); }
    void SetControlSize(int width, int height) override { setBounds(left(), top(), width, height); }

    // Draws the control in control coordinates: the background when Opaque, then the
    // composite into every target rectangle.
    void PaintTo(HDC dc);
    // The palette of the frame shown (owned by the control), or null when there is none.
    HPALETTE GetPalette();
    // A bitmap destination gets the copy of frame 1; false (nothing assigned) without an image.
    bool AssignTo(ui::Picture& destination);
    // The published picture property: the control is its own picture, so form data that stores
    // a reference to it reads back this control, and assigning it changes nothing.
    TGIFImage* Graphic() { return this; }
    void SetGraphic(TGIFImage*) {}

    // Draws a bitmap into a rectangle of a device context with a raster operation, stretching
    // it when the sizes differ.
    static void BlitBitmap(const PixelBitmap& bitmap, HDC dc, const RECT& r, DWORD rop);
    static void BlitBitmap(const MaskBitmap& bitmap, HDC dc, const RECT& r, DWORD rop);

protected:
    void Invalidate() override;
    void Repaint() override;
    void PostPaletteQuery(bool onlyWhenParentFocused) override;
    std::unique_ptr<IAnimationTimer> CreateTimer() override;
    std::uint32_t TickCount() const override { return GetTickCount(); }

private:
    bool repainting_ = false;  // FRepainting
    HPALETTE palette_ = nullptr;
    int paletteFrame_ = 0;
    const TGIFFrame* paletteSource_ = nullptr;
};

// Makes the framework build TGIFImage for layout rows of kind GIFImage. Call once at start-up,
// before the first form with an animated image is built.
void RegisterGIFImageKind();

} // namespace qvx::gif
