#pragma once
// The animated GIF image without its window: loading (block parsing, frames, limits), frame
// composition onto the composite picture and its mask, form storage of the file, and the playback
// state machine with its sizing rules. TGIFImage (gif_image_win.h) adds the window: painting with
// GDI, the parent's repaint, and a real timer. What only a window can do is reached through the
// protected virtual hooks below, which do nothing here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "gifimage/animation_timer.h"
#include "gifimage/gif_raster.h"

namespace qvx::gif {

class ByteStream;
class TGIFImageCore;

enum class TGIFVersion { gvGIF87a, gvGIF89a };

using ColorTable = std::array<std::uint8_t, 768>;  // 256 RGB triples

// One decoded image of the file, owned by the control.
class TGIFFrame {
public:
    explicit TGIFFrame(TGIFImageCore* owner) : FOwner(owner) {}
    TGIFFrame(const TGIFFrame&) = delete;
    TGIFFrame& operator=(const TGIFFrame&) = delete;

    Rect Bounds() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

    TGIFImageCore* FOwner;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FHasLocalColors = false;
    int FLocalDepth = 0;
    const std::uint8_t* FColors = nullptr;  // the local table, or the owner's global table
    bool FInterlaced = false;
    int FDelay = 0;     // milliseconds
    int FDisposal = 0;  // 0..3
    bool FTransparent = false;
    std::uint8_t FTransparentIndex = 0;
    IndexedBitmap FBitmap;
    MaskBitmap FMaskBitmap;  // only for a transparent frame
    PixelBitmap FSavedImage; // only for disposal 3
    MaskBitmap FSavedMask;   // only for disposal 3

private:
    friend class TGIFImageCore;
    std::unique_ptr<ColorTable> FLocalColors;
    std::size_t FBytes = 0;  // what the frame counts against the load's memory budget
};

// Where and how the composite goes onto the control's surface (see TGIFImageCore::PlanPaint).
struct PaintPlan {
    bool fillBackground = false;  // fill the client area with the control's colour first
    bool transparent = false;     // mask with SRCAND, then the composite with SRCINVERT
    std::vector<Rect> targets;    // the composite is stretched into each of these
};

class TGIFImageCore {
public:
    using TNotifyEvent = std::function<void(TGIFImageCore& Sender)>;
    using TProgressEvent = std::function<void(TGIFImageCore& Sender, std::int64_t BytesProcessed,
                                              std::int64_t BytesToProcess, int PercentageProcessed,
                                              bool& KeepOnProcessing)>;

    static constexpr int kMaxFrames = 256;
    static constexpr int kMaxFrameSide = 16384;
    // Default bound on the memory a load may hold (see MaxDecodedBytes).
    static constexpr std::size_t kDefaultDecodeBudget = std::size_t{1} << 30;

    TGIFImageCore();
    virtual ~TGIFImageCore();
    TGIFImageCore(const TGIFImageCore&) = delete;
    TGIFImageCore& operator=(const TGIFImageCore&) = delete;

    // ---- Loading -----------------------------------------------------------------------
    // Decodes a complete GIF file. False (and the control cleared) when it cannot be loaded.
    bool LoadFromStream(std::span<const std::uint8_t> stream);
    // A missing or empty source clears this control; otherwise this control loads the
    // source's file.
    void Assign(const TGIFImageCore* source);
    void Clear();
    // The form data has been read: decode Data when there is any.
    void Loaded();

    // The file as last loaded.
    const std::vector<std::uint8_t>& Data() const { return FData; }
    // Form storage of Data: a 32-bit little-endian length, then the file. Only stored when
    // Data is not empty (StoresData).
    bool StoresData() const { return !FData.empty(); }
    std::vector<std::uint8_t> WriteData() const;
    // Reads a stored "Data" value into Data; false for a value cut short (Data stays empty),
    // and during a load.
    bool ReadData(std::span<const std::uint8_t> value);

    bool FirstImageOnly = false;
    TProgressEvent OnProgress;
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;
    TNotifyEvent OnWrapAnimation;

    // Upper bound, in bytes, on what one load keeps in memory: frame bitmaps and masks, the
    // copies kept for disposal 3, the composite (4 bytes a pixel) and its mask. A file that
    // would need more fails to load. Also keeps a small file from asking for an enormous
    // composite (an image at offset 65535 makes a 65536-pixel-wide logical screen).
    std::size_t MaxDecodedBytes = kDefaultDecodeBudget;
    // Decode rasters value by value, without the direct path for well-formed strings: slower,
    // same result. For checking the fast path against it.
    bool ReferenceDecode = false;

    // ---- Image state -------------------------------------------------------------------
    bool Empty() const { return FEmpty; }
    int FrameCount() const { return FFrameCount; }
    const TGIFFrame* Frame(int k) const { return k >= 1 && k <= FFrameCount ? FFrames[k - 1].get() : nullptr; }
    int ImageWidth() const { return FImageWidth; }
    int ImageHeight() const { return FImageHeight; }
    TGIFVersion Version() const { return FVersion; }
    int LoopCount() const { return FLoopCount; }
    int ColorDepth() const { return FColorDepth; }
    bool HasTransparency() const { return FHasTransparency; }
    bool Animated() const { return FAnimated; }
    const ColorTable& GlobalColors() const { return FGlobalColors; }
    const PixelBitmap& Composite() const { return FComposite; }
    const MaskBitmap* Mask() const { return FMask ? FMask.get() : nullptr; }
    std::size_t DecodedBytes() const { return FDecodedBytes; }

    // Composition of frame CurrentFrame onto the composite, and removal of frame k.
    void DrawFrame();
    void DisposeFrame(int k);

    // ---- Playback ----------------------------------------------------------------------
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool value);
    bool Loop() const { return FLoop; }
    void SetLoop(bool value);
    int Speed() const { return FSpeed; }
    void SetSpeed(int value);
    int CurrentFrame() const { return FCurrentFrame; }
    void SetCurrentFrame(int value);
    bool Threaded() const { return FThreaded; }
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority value);

    // Milliseconds frame k stays: its delay, at least 50, scaled by Speed; at least 1.
    int FrameInterval(int k) const;
    // One firing of the animation timer.
    void TimerTick();
    // The timer exists only while the animation runs.
    IAnimationTimer* Timer() const { return FTimer.get(); }
    int LoopsDone() const { return FLoopsDone; }
    bool FirstTick() const { return FFirstTick; }

    // ---- Display -----------------------------------------------------------------------
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Opaque() const { return FOpaque; }
    void SetOpaque(bool value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool StretchRatio() const { return FStretchRatio; }
    void SetStretchRatio(bool value);
    bool StretchBigOnly() const { return FStretchBigOnly; }
    void SetStretchBigOnly(bool value);
    bool Tile() const { return FTile; }
    void SetTile(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }

    // The control's size; the Win32 control takes it from its window bounds.
    virtual int ControlWidth() const { return FControlWidth; }
    virtual int ControlHeight() const { return FControlHeight; }
    virtual void SetControlSize(int width, int height);

    void UpdateOpaque();
    bool Stretched() const { return FStretched; }
    bool OpaqueCover() const { return FOpaqueCover; }
    // The control's opaque style flag, mirrored from OpaqueCover by UpdateOpaque.
    bool OpaqueStyle() const { return FOpaqueStyle; }
    // Where the image lies in control coordinates.
    Rect ImageRect() const;
    // What painting the control draws now: background fill, blit kind, target rectangles.
    PaintPlan PlanPaint() const;
    // Around a paint message: the first answers whether to paint now (false when the opaque
    // style changed and the control was invalidated instead); the second re-arms the timer.
    bool PaintMessageStart();
    void PaintMessageFinish();

    // A copy of frame 1's bitmap, made on first request and kept until the next load; null
    // while no image is loaded.
    const IndexedBitmap* FirstFrameCopy();

protected:
    // ---- What only a window can do (all do nothing here) -----------------------------
    virtual void Invalidate() {}
    // The direct repaint after a frame change.
    virtual void Repaint() {}
    // Ask the parent window to realize palettes again (WM_QUERYNEWPALETTE); with
    // `onlyWhenParentFocused` only when the parent has the input focus.
    virtual void PostPaletteQuery(bool onlyWhenParentFocused) {}
    virtual void SetOpaqueStyle(bool opaque) { FOpaqueStyle = opaque; }
    // A new, stopped-or-default timer (interval 1000, enabled); the caller configures it.
    virtual std::unique_ptr<IAnimationTimer> CreateTimer() { return std::make_unique<InertTimer>(); }
    // The system tick count in milliseconds.
    virtual std::uint32_t TickCount() const;

    void ArmTimer(bool run, std::uint32_t interval);
    void Changing();
    void Change();
    void Progress();
    void ResetFrames();

private:
    void LoadFile(std::vector<std::uint8_t>&& file);
    bool ReadFrame(TGIFFrame& frame, const std::uint8_t (&gce)[6]);
    void ReadExtension(std::uint8_t label, std::uint8_t (&gce)[6]);
    void Reserve(std::size_t bytes);

    // Image state.
    bool FEmpty = true;
    std::array<std::unique_ptr<TGIFFrame>, kMaxFrames> FFrames;
    int FFrameCount = 0;
    int FImageWidth = 0, FImageHeight = 0;
    ColorTable FGlobalColors{};
    int FColorDepth = 0;
    int FLoopCount = 0;
    bool FHasTransparency = false;
    bool FAnimated = false;
    TGIFVersion FVersion = TGIFVersion::gvGIF87a;
    PixelBitmap FComposite;
    std::unique_ptr<MaskBitmap> FMask;
    std::vector<std::uint8_t> FData;
    std::size_t FDecodedBytes = 0;

    // Load in progress: the decoder's cursor over Data.
    ByteStream* FStream = nullptr;
    bool FKeepOnProcessing = true;
    bool FLoading = false;

    // Playback.
    std::unique_ptr<IAnimationTimer> FTimer;
    int FCurrentFrame = 0;
    int FLoopsDone = 0;
    bool FFirstTick = true;
    bool FAnimate = false;
    bool FLoop = false;
    int FSpeed = 100;
    bool FThreaded = false;
    TThreadPriority FThreadPriority = TThreadPriority::tpNormal;
    std::unique_ptr<IndexedBitmap> FFirstFrameCopy;

    // Display.
    bool FAutoSize = false, FCenter = false, FOpaque = false, FStretch = false;
    bool FStretchRatio = false, FStretchBigOnly = false, FTile = false;
    bool FVisible = true;
    bool FDoubleBuffered = true;
    bool FStretched = false;
    bool FOpaqueCover = false;
    bool FOpaqueStyle = false;
    int FControlWidth = 105, FControlHeight = 105;
};

} // namespace qvx::gif
