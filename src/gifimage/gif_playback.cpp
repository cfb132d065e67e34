// Playback state machine and display geometry of the GIF image.
#include <algorithm>
#include <cmath>

#include "gifimage/gif_image.h"

namespace qvx::gif {
namespace {

// Nearest integer, halves to the even neighbour, independent of the FPU rounding mode.
int RoundHalfEven(float v) {
    const float lower = std::floor(v);
    const float diff = v - lower;
    float r = lower;
    if (diff > 0.5f || (diff == 0.5f && std::fmod(lower, 2.0f) != 0.0f)) r = lower + 1.0f;
    return static_cast<int>(r);
}

} // namespace

// ---- Timer and frame advance -----------------------------------------------------------

int GifImage::frameInterval(int k) const {
    const GifFrame* f = frame(k);
    const int delay = std::max(f != nullptr ? f->delayMs : 0, 50);
    return std::max(1, delay * 100 / speed_);
}

void GifImage::armTimer(bool run, std::uint32_t interval) {
    if (!run) {
        // When this runs inside the timer's own firing, FrameTimer defers its release until the
        // firing has returned.
        timer_.reset();
        return;
    }
    if (!timer_) {
        timer_ = createTimer();
        timer_->setThreaded(threaded_);
        timer_->setThreadPriority(threadPriority_);
        timer_->setTickHandler([this] { timerTick(); });
    }
    timer_->setInterval(interval);
}

void GifImage::timerTick() {
    if (empty_ || !animate_ || !timer_ || frameCount_ < 1) return;
    const std::uint32_t t0 = tickCount();
    if (currentFrame_ > frameCount_ || currentFrame_ < 1) currentFrame_ = 1;
    changing();
    if (firstTick_) {
        // The load has drawn frame 1 already.
        firstTick_ = false;
    } else {
        disposeFrame(currentFrame_ == 1 ? frameCount_ : currentFrame_ - 1);
        drawFrame();
        repaintNow();
    }
    // The time spent drawing counts towards the frame's delay.
    const std::uint32_t spent = tickCount() - t0;
    const long long next = static_cast<long long>(frameInterval(currentFrame_)) - spent;
    if (timer_) timer_->setInterval(static_cast<std::uint32_t>(std::max(1LL, next)));

    ++currentFrame_;
    const bool wrapped = currentFrame_ > frameCount_;
    if (!loop_ && loopCount_ > 0 && wrapped) {
        ++loopsDone_;
        // Past the last pass the timer goes; currentFrame() stays past the last frame until the
        // next start brings it back to 1.
        armTimer(loopsDone_ <= loopCount_, timer_ ? timer_->interval() : 1);
    } else if (wrapped || currentFrame_ < 1) {
        currentFrame_ = 1;
    }
    changed();
    if (wrapped && OnWrapAnimation) OnWrapAnimation(*this);
}

void GifImage::setAnimate(bool value) {
    if (value == animate_) return;
    animate_ = value;
    loopsDone_ = 1;
    const int interval = value && frameCount_ > 1 ? frameInterval(currentFrame_) : 0;
    armTimer(value && animated_ && !empty_, static_cast<std::uint32_t>(interval));
    if (!value && currentFrame_ > 1) {
        disposeFrame(currentFrame_ - 1);
        currentFrame_ = 1;
        drawFrame();
        invalidateImage();
    }
}

void GifImage::setLoop(bool value) {
    if (value == loop_) return;
    loop_ = value;
    if (value && frameCount_ >= 1 && loopCount_ > 0 && loopsDone_ > loopCount_) {
        // The passes had run out: start again from frame 1.
        currentFrame_ = 1;
        loopsDone_ = 1;
        armTimer(animate_ && animated_ && !empty_, static_cast<std::uint32_t>(frameInterval(1)));
    }
}

void GifImage::setSpeed(int value) {
    speed_ = std::max(1, value);
    // The next tick comes at once and takes the new speed.
    if (frameCount_ > 1 && animate_ && timer_) timer_->setInterval(1);
}

void GifImage::setCurrentFrame(int value) {
    if (value == currentFrame_ || frameCount_ == 0 || value < 1 || value > frameCount_) return;
    changing();
    disposeFrame(currentFrame_);
    currentFrame_ = value;
    drawFrame();
    repaintNow();
    changed();
}

void GifImage::setThreaded(bool value) {
    threaded_ = value;
    if (timer_) timer_->setThreaded(value);
}

void GifImage::setThreadPriority(ThreadPriority value) {
    threadPriority_ = value;
    if (timer_) timer_->setThreadPriority(value);
}

void GifImage::changing() {
    if (OnChanging) OnChanging(*this);
}

void GifImage::changed() {
    if (OnChange) OnChange(*this);
}

// ---- Display ---------------------------------------------------------------------------

void GifImage::setControlSize(int width, int height) {
    controlWidth_ = width;
    controlHeight_ = height;
}

void GifImage::setAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (value && !empty_) {
        setControlSize(imageWidth_, imageHeight_);
        invalidateImage();
    }
}

#define QVX_GIF_FLAG_SETTER(setter, field) \
    void GifImage::setter(bool value) {     \
        if (value == field) return;         \
        field = value;                      \
        invalidateImage();                  \
    }
QVX_GIF_FLAG_SETTER(setCenter, center_)
QVX_GIF_FLAG_SETTER(setOpaqueBackground, opaqueBackground_)
QVX_GIF_FLAG_SETTER(setStretch, stretch_)
QVX_GIF_FLAG_SETTER(setStretchRatio, stretchRatio_)
QVX_GIF_FLAG_SETTER(setStretchBigOnly, stretchBigOnly_)
QVX_GIF_FLAG_SETTER(setTile, tile_)
#undef QVX_GIF_FLAG_SETTER

void GifImage::setImageVisible(bool value) {
    if (value == imageVisible_) return;
    imageVisible_ = value;
    invalidateImage();
    postPaletteQuery(true);
}

void GifImage::updateOpaque() {
    const int w = controlWidth(), h = controlHeight();
    const int iw = imageWidth_, ih = imageHeight_;
    stretched_ = (stretch_ || stretchRatio_) && !(w == iw && h == ih) && !(stretchBigOnly_ && w >= iw && h >= ih);
    const Rect r = imageRect();
    opaqueCover_ = imageVisible_ && !empty_ && frameCount_ >= 1 && !frames_[0]->transparent && r.left <= 0 &&
                   r.top <= 0 && r.right >= w && r.bottom >= h;
    setOpaqueStyle(opaqueCover_);
}

Rect GifImage::imageRect() const {
    const int w = controlWidth(), h = controlHeight();
    const int iw = imageWidth_, ih = imageHeight_;
    if (iw == 0 || ih == 0) return {};
    if (stretched_) {
        if (stretchRatio_ && !stretch_) {
            const float sx = static_cast<float>(w) / static_cast<float>(iw);
            const float sy = static_cast<float>(h) / static_cast<float>(ih);
            if (sx > sy) {
                const float m = (static_cast<float>(w) - static_cast<float>(iw) * sy) / 2.0f;
                if (std::isfinite(m)) return {RoundHalfEven(m), 0, RoundHalfEven(static_cast<float>(w) - m), h};
            } else {
                const float m = (static_cast<float>(h) - static_cast<float>(ih) * sx) / 2.0f;
                if (std::isfinite(m)) return {0, RoundHalfEven(m), w, RoundHalfEven(static_cast<float>(h) - m)};
            }
        }
        return {0, 0, w, h};
    }
    if (tile_) return {0, 0, w, h};
    if (center_) {
        const int left = (w - iw) / 2, top = (h - ih) / 2;
        return {left, top, left + iw, top + ih};
    }
    return {0, 0, iw, ih};
}

PaintPlan GifImage::planPaint() const {
    PaintPlan plan;
    if (!imageVisible_) return plan;
    plan.fillBackground = opaqueBackground_ && !opaqueCover_;
    if (empty_ || frameCount_ < 1 || imageWidth_ <= 0 || imageHeight_ <= 0) return plan;
    plan.transparent = frames_[0]->transparent;
    const int w = controlWidth(), h = controlHeight();
    const int iw = imageWidth_, ih = imageHeight_;
    if (stretched_) {
        plan.targets.push_back(imageRect());
    } else if (tile_) {
        for (int r = 0; r <= h / ih; ++r)
            for (int c = 0; c <= w / iw; ++c) plan.targets.push_back({c * iw, r * ih, c * iw + iw, r * ih + ih});
    } else if (center_) {
        const int left = (w - iw) / 2, top = (h - ih) / 2;
        plan.targets.push_back({left, top, left + iw, top + ih});
    } else {
        plan.targets.push_back({0, 0, iw, ih});
    }
    return plan;
}

bool GifImage::paintMessageStart() {
    const bool before = opaqueStyle_;
    updateOpaque();
    if (before != opaqueStyle_) {
        invalidateImage();
        return false;
    }
    return true;
}

void GifImage::paintMessageFinish() {
    // Painting starts a timer that Animate asked for and keeps a finished animation stopped.
    const int interval =
        animate_ && frameCount_ > 1 && currentFrame_ <= frameCount_ ? frameInterval(currentFrame_) : 1;
    const bool run = animated_ && animate_ && !empty_ && (loopCount_ >= loopsDone_ || loop_ || loopCount_ == 0);
    armTimer(run, static_cast<std::uint32_t>(interval));
}

} // namespace qvx::gif
