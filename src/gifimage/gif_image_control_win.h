#pragma once
// The animated GIF image as a graphic control of the windowing framework. Decoding,
// composition and playback are GifImage's; this class adds what needs a window: painting
// the composite with GDI (stretched, through the mask for a transparent first frame, tiled,
// over an opaque background), the flicker-free direct repaint through the parent window, the
// frame timer (FrameTimer), palettes, and the bitmap copy of the first frame.
#include <windows.h>

#include <memory>

#include "gifimage/gif_image.h"
#include "platform/win32/unique_handle.h"
#include "ui/control_win.h"
#include "ui/picture_win.h"

namespace qvx::gif {

class GifImageControl : public ui::GraphicControl, public GifImage {
public:
    GifImageControl(ui::Form& owner, const ui::ControlDesign& design, ui::Control* parent);
    ~GifImageControl() override;

    // ---- The framework's graphic control -------------------------------------------------
    // The paint message: the opaque state first, then the picture, then the timer is armed.
    void paint(HDC dc) override;
    bool opaque() const override { return opaqueStyle(); }

    int controlWidth() const override { return width(); }
    int controlHeight() const override { return height(); }
    void setControlSize(int width, int height) override { setBounds(left(), top(), width, height); }

    // Draws the control in control coordinates: the background when opaqueBackground(), then
    // the composite into every target rectangle.
    void paintTo(HDC dc);
    // The palette of the frame shown (owned by the control), or null when there is none.
    HPALETTE palette();
    // A bitmap destination gets the copy of frame 1; false (nothing assigned) without an image.
    bool assignTo(ui::Picture& destination);

    // Draws a bitmap into a rectangle of a device context with a raster operation, stretching
    // it when the sizes differ.
    static void blitBitmap(const PixelBitmap& bitmap, HDC dc, const RECT& r, DWORD rop);
    static void blitBitmap(const MaskBitmap& bitmap, HDC dc, const RECT& r, DWORD rop);

protected:
    void invalidateImage() override;
    void repaintNow() override;
    void postPaletteQuery(bool onlyWhenParentFocused) override;
    std::unique_ptr<AnimationTimer> createTimer() override;
    std::uint32_t tickCount() const override { return GetTickCount(); }

private:
    bool repainting_ = false;  // FRepainting
    UniquePalette palette_;
    int paletteFrame_ = 0;
    const GifFrame* paletteSource_ = nullptr;
};

// Makes the framework build GifImageControl for layout rows of kind GifImage. Call once at
// start-up, before the first form with an animated image is built.
void RegisterGifImageKind();

} // namespace qvx::gif
