#pragma once
// The animated GIF image without its window: loading (block parsing, frames, limits), frame
// composition onto the composite picture and its mask, form storage of the file, and the playback
// state machine with its sizing rules. GifImageControl (gif_image_control_win.h) adds the
// window: painting with GDI, the parent's repaint, and a real timer. What only a window can do is reached through the
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
class GifImage;

enum class GifVersion { Gif87a, Gif89a };

using ColorTable = std::array<std::uint8_t, 768>;  // 256 RGB triples

// One decoded image of the file, owned by the control.
class GifFrame {
public:
    GifFrame() = default;
    GifFrame(const GifFrame&) = delete;
    GifFrame& operator=(const GifFrame&) = delete;

    Rect bounds() const { return {left, top, left + width, top + height}; }

    int left = 0, top = 0, width = 0, height = 0;
    bool hasLocalColors = false;
    int localDepth = 0;
    const std::uint8_t* colors = nullptr;  // the local table, or the image's global table
    bool interlaced = false;
    int delayMs = 0;
    int disposal = 0;  // 0..3
    bool transparent = false;
    std::uint8_t transparentIndex = 0;
    IndexedBitmap bitmap;
    MaskBitmap mask;         // only for a transparent frame
    PixelBitmap savedImage;  // only for disposal 3
    MaskBitmap savedMask;    // only for disposal 3

private:
    friend class GifImage;
    std::unique_ptr<ColorTable> localColors_;
    std::size_t budgetBytes_ = 0;  // what the frame counts against the load's memory budget
};

// Where and how the composite goes onto the control's surface (see GifImage::planPaint).
struct PaintPlan {
    bool fillBackground = false;  // fill the client area with the control's colour first
    bool transparent = false;     // mask with SRCAND, then the composite with SRCINVERT
    std::vector<Rect> targets;    // the composite is stretched into each of these
};

class GifImage {
public:
    using NotifyHandler = std::function<void(GifImage& sender)>;
    // Bytes of the file read so far, its size, the share read in percent, and a flag the
    // handler clears to stop the load.
    using ProgressHandler = std::function<void(GifImage& sender, std::int64_t bytesRead, std::int64_t bytesTotal,
                                               int percentRead, bool& keepLoading)>;

    static constexpr int kMaxFrames = 256;
    static constexpr int kMaxFrameSide = 16384;
    // Default bound on the memory a load may hold (see maxDecodedBytes).
    static constexpr std::size_t kDefaultDecodeBudget = std::size_t{1} << 30;

    GifImage();
    virtual ~GifImage();
    GifImage(const GifImage&) = delete;
    GifImage& operator=(const GifImage&) = delete;

    // ---- Loading -----------------------------------------------------------------------
    // Decodes a complete GIF file. False (and the control cleared) when it cannot be loaded.
    bool loadFromStream(std::span<const std::uint8_t> stream);
    // A missing or empty source clears this control; otherwise this control loads the
    // source's file.
    void assign(const GifImage* source);
    void clear();
    // The form data has been read: decode data() when there is any.
    void loaded();

    // The file as last loaded.
    const std::vector<std::uint8_t>& data() const { return data_; }
    // Form storage of data(): a 32-bit little-endian length, then the file. Only stored when
    // there is data (storesData).
    bool storesData() const { return !data_.empty(); }
    std::vector<std::uint8_t> writeData() const;
    // Reads a stored "Data" value into data(); false for a value cut short (data() stays
    // empty), and during a load.
    bool readData(std::span<const std::uint8_t> value);

    bool firstImageOnly = false;
    ProgressHandler OnProgress;
    NotifyHandler OnChanging;
    NotifyHandler OnChange;
    NotifyHandler OnWrapAnimation;

    // Upper bound, in bytes, on what one load keeps in memory: frame bitmaps and masks, the
    // copies kept for disposal 3, the composite (4 bytes a pixel) and its mask. A file that
    // would need more fails to load. Also keeps a small file from asking for an enormous
    // composite (an image at offset 65535 makes a 65536-pixel-wide logical screen).
    std::size_t maxDecodedBytes = kDefaultDecodeBudget;
    // Decode rasters value by value, without the direct path for well-formed strings: slower,
    // same result. For checking the fast path against it.
    bool referenceDecode = false;

    // ---- Image state -------------------------------------------------------------------
    bool empty() const { return empty_; }
    int frameCount() const { return frameCount_; }
    const GifFrame* frame(int k) const { return k >= 1 && k <= frameCount_ ? frames_[k - 1].get() : nullptr; }
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }
    GifVersion version() const { return version_; }
    int loopCount() const { return loopCount_; }
    int colorDepth() const { return colorDepth_; }
    bool hasTransparency() const { return hasTransparency_; }
    bool animated() const { return animated_; }
    const PixelBitmap& composite() const { return composite_; }
    const MaskBitmap* mask() const { return mask_ ? mask_.get() : nullptr; }
    std::size_t decodedBytes() const { return decodedBytes_; }

    // Composition of frame currentFrame() onto the composite, and removal of frame k.
    void drawFrame();
    void disposeFrame(int k);

    // ---- Playback ----------------------------------------------------------------------
    bool animate() const { return animate_; }
    void setAnimate(bool value);
    bool loop() const { return loop_; }
    void setLoop(bool value);
    int speed() const { return speed_; }
    void setSpeed(int value);
    int currentFrame() const { return currentFrame_; }
    void setCurrentFrame(int value);
    bool threaded() const { return threaded_; }
    void setThreaded(bool value);
    ThreadPriority threadPriority() const { return threadPriority_; }
    void setThreadPriority(ThreadPriority value);

    // Milliseconds frame k stays: its delay, at least 50, scaled by speed(); at least 1.
    int frameInterval(int k) const;
    // One firing of the animation timer.
    void timerTick();
    // The timer exists only while the animation runs.
    AnimationTimer* timer() const { return timer_.get(); }
    int loopsDone() const { return loopsDone_; }

    // ---- Display -----------------------------------------------------------------------
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool value);
    bool center() const { return center_; }
    void setCenter(bool value);
    bool opaqueBackground() const { return opaqueBackground_; }
    void setOpaqueBackground(bool value);
    bool stretch() const { return stretch_; }
    void setStretch(bool value);
    bool stretchRatio() const { return stretchRatio_; }
    void setStretchRatio(bool value);
    bool stretchBigOnly() const { return stretchBigOnly_; }
    void setStretchBigOnly(bool value);
    bool tile() const { return tile_; }
    void setTile(bool value);
    bool imageVisible() const { return imageVisible_; }
    void setImageVisible(bool value);

    // The control's size; the Win32 control takes it from its window bounds.
    virtual int controlWidth() const { return controlWidth_; }
    virtual int controlHeight() const { return controlHeight_; }
    virtual void setControlSize(int width, int height);

    void updateOpaque();
    bool stretched() const { return stretched_; }
    bool opaqueCover() const { return opaqueCover_; }
    // The control's opaque style flag, mirrored from opaqueCover() by updateOpaque().
    bool opaqueStyle() const { return opaqueStyle_; }
    // Where the image lies in control coordinates.
    Rect imageRect() const;
    // What painting the control draws now: background fill, blit kind, target rectangles.
    PaintPlan planPaint() const;
    // Around a paint message: the first answers whether to paint now (false when the opaque
    // style changed and the control was invalidated instead); the second re-arms the timer.
    bool paintMessageStart();
    void paintMessageFinish();

    // A copy of frame 1's bitmap, made on first request and kept until the next load; null
    // while no image is loaded.
    const IndexedBitmap* firstFrameCopy();

protected:
    // ---- What only a window can do (all do nothing here) -----------------------------
    virtual void invalidateImage() {}
    // The direct repaint after a frame change.
    virtual void repaintNow() {}
    // Ask the parent window to realize palettes again (WM_QUERYNEWPALETTE); with
    // `onlyWhenParentFocused` only when the parent has the input focus.
    virtual void postPaletteQuery(bool onlyWhenParentFocused) {}
    virtual void setOpaqueStyle(bool opaque) { opaqueStyle_ = opaque; }
    // A new, stopped-or-default timer (interval 1000, enabled); the caller configures it.
    virtual std::unique_ptr<AnimationTimer> createTimer() { return std::make_unique<InertTimer>(); }
    // The system tick count in milliseconds.
    virtual std::uint32_t tickCount() const;

    void armTimer(bool run, std::uint32_t interval);
    void changing();
    void changed();
    void reportProgress();
    void resetFrames();

private:
    void loadFile(std::vector<std::uint8_t>&& file);
    void readHeader(ByteStream& s);
    void readBlocks(ByteStream& s);
    bool readImage(ByteStream& s, const std::uint8_t (&gce)[6]);
    void finishLoad();
    bool readFrame(GifFrame& frame, const std::uint8_t (&gce)[6]);
    bool readDescriptor(ByteStream& s, GifFrame& frame);
    static void applyGraphicControl(GifFrame& frame, const std::uint8_t (&gce)[6]);
    void allocateFrame(GifFrame& frame);
    void readExtension(std::uint8_t label, std::uint8_t (&gce)[6]);
    void reserve(std::size_t bytes);

    // Image state.
    bool empty_ = true;
    std::array<std::unique_ptr<GifFrame>, kMaxFrames> frames_;
    int frameCount_ = 0;
    int imageWidth_ = 0, imageHeight_ = 0;
    ColorTable globalColors_{};
    int colorDepth_ = 0;
    int loopCount_ = 0;
    bool hasTransparency_ = false;
    bool animated_ = false;
    GifVersion version_ = GifVersion::Gif87a;
    PixelBitmap composite_;
    std::unique_ptr<MaskBitmap> mask_;
    std::vector<std::uint8_t> data_;
    std::size_t decodedBytes_ = 0;

    // Load in progress: the decoder's cursor over data_.
    ByteStream* stream_ = nullptr;
    bool keepLoading_ = true;
    bool loading_ = false;

    // Playback.
    std::unique_ptr<AnimationTimer> timer_;
    int currentFrame_ = 0;
    int loopsDone_ = 0;
    bool firstTick_ = true;
    bool animate_ = false;
    bool loop_ = false;
    int speed_ = 100;
    bool threaded_ = false;
    ThreadPriority threadPriority_ = ThreadPriority::Normal;
    std::unique_ptr<IndexedBitmap> firstFrameCopy_;

    // Display.
    bool autoSize_ = false, center_ = false, opaqueBackground_ = false, stretch_ = false;
    bool stretchRatio_ = false, stretchBigOnly_ = false, tile_ = false;
    bool imageVisible_ = true;
    bool stretched_ = false;
    bool opaqueCover_ = false;
    bool opaqueStyle_ = false;
    int controlWidth_ = 105, controlHeight_ = 105;
};

} // namespace qvx::gif
