// Playback state machine and display geometry of the GIF image.
#include <algorithm>
#include <cmath>

#include "gifimage/gif_image_core.h"

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

int TGIFImageCore::FrameInterval(int k) const {
    const TGIFFrame* f = Frame(k);
    const int delay = std::max(f != nullptr ? f->FDelay : 0, 50);
    return std::max(1, delay * 100 / FSpeed);
}

void TGIFImageCore::ArmTimer(bool run, std::uint32_t interval) {
    if (!run) {
        // When this runs inside the timer's own firing, TTimerEx defers its release until the
        // firing has returned.
        FTimer.reset();
        return;
    }
    if (!FTimer) {
        FTimer = CreateTimer();
        FTimer->SetThreaded(FThreaded);
        FTimer->SetThreadPriority(FThreadPriority);
        FTimer->SetTickHandler([this] { TimerTick(); });
    }
    FTimer->SetInterval(interval);
}

void TGIFImageCore::TimerTick() {
    if (FEmpty || !FAnimate || !FTimer || FFrameCount < 1) return;
    const std::uint32_t t0 = TickCount();
    if (FCurrentFrame > FFrameCount || FCurrentFrame < 1) FCurrentFrame = 1;
    Changing();
    if (FFirstTick) {
        // The load has drawn frame 1 already.
        FFirstTick = false;
    } else {
        DisposeFrame(FCurrentFrame == 1 ? FFrameCount : FCurrentFrame - 1);
        DrawFrame();
        Repaint();
    }
    // The time spent drawing counts towards the frame's delay.
    const std::uint32_t spent = TickCount() - t0;
    const long long next = static_cast<long long>(FrameInterval(FCurrentFrame)) - spent;
    if (FTimer) FTimer->SetInterval(static_cast<std::uint32_t>(std::max(1LL, next)));

    ++FCurrentFrame;
    const bool wrapped = FCurrentFrame > FFrameCount;
    if (!FLoop && FLoopCount > 0 && wrapped) {
        ++FLoopsDone;
        // Past the last pass the timer goes; CurrentFrame stays past the last frame until the
        // next start brings it back to 1.
        ArmTimer(FLoopsDone <= FLoopCount, FTimer ? FTimer->Interval() : 1);
    } else if (wrapped || FCurrentFrame < 1) {
        FCurrentFrame = 1;
    }
    Change();
    if (wrapped && OnWrapAnimation) OnWrapAnimation(*this);
}

void TGIFImageCore::SetAnimate(bool value) {
    if (value == FAnimate) return;
    FAnimate = value;
    FLoopsDone = 1;
    const int interval = value && FFrameCount > 1 ? FrameInterval(FCurrentFrame) : 0;
    ArmTimer(value && FAnimated && !FEmpty, static_cast<std::uint32_t>(interval));
    if (!value && FCurrentFrame > 1) {
        DisposeFrame(FCurrentFrame - 1);
        FCurrentFrame = 1;
        DrawFrame();
        Invalidate();
    }
}

void TGIFImageCore::SetLoop(bool value) {
    if (value == FLoop) return;
    FLoop = value;
    if (value && FFrameCount >= 1 && FLoopCount > 0 && FLoopsDone > FLoopCount) {
        // The passes had run out: start again from frame 1.
        FCurrentFrame = 1;
        FLoopsDone = 1;
        ArmTimer(FAnimate && FAnimated && !FEmpty, static_cast<std::uint32_t>(FrameInterval(1)));
    }
}

void TGIFImageCore::SetSpeed(int value) {
    FSpeed = std::max(1, value);
    // The next tick comes at once and takes the new speed.
    if (FFrameCount > 1 && FAnimate && FTimer) FTimer->SetInterval(1);
}

void TGIFImageCore::SetCurrentFrame(int value) {
    if (value == FCurrentFrame || FFrameCount == 0 || value < 1 || value > FFrameCount) return;
    Changing();
    DisposeFrame(FCurrentFrame);
    FCurrentFrame = value;
    DrawFrame();
    Repaint();
    Change();
}

void TGIFImageCore::SetThreaded(bool value) {
    FThreaded = value;
    if (FTimer) FTimer->SetThreaded(value);
}

void TGIFImageCore::SetThreadPriority(TThreadPriority value) {
    FThreadPriority = value;
    if (FTimer) FTimer->SetThreadPriority(value);
}

void TGIFImageCore::Changing() {
    if (OnChanging) OnChanging(*this);
}

void TGIFImageCore::Change() {
    if (OnChange) OnChange(*this);
}

// ---- Display ---------------------------------------------------------------------------

void TGIFImageCore::SetControlSize(int width, int height) {
    FControlWidth = width;
    FControlHeight = height;
}

void TGIFImageCore::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    if (value && !FEmpty) {
        SetControlSize(FImageWidth, FImageHeight);
        Invalidate();
    }
}

#define QVX_GIF_FLAG_SETTER(Name, Field)  \
    void TGIFImageCore::Set##Name(bool value) { \
        if (value == Field) return;       \
        Field = value;                    \
        Invalidate();                     \
    }
QVX_GIF_FLAG_SETTER(Center, FCenter)
QVX_GIF_FLAG_SETTER(Opaque, FOpaque)
QVX_GIF_FLAG_SETTER(Stretch, FStretch)
QVX_GIF_FLAG_SETTER(StretchRatio, FStretchRatio)
QVX_GIF_FLAG_SETTER(StretchBigOnly, FStretchBigOnly)
QVX_GIF_FLAG_SETTER(Tile, FTile)
#undef QVX_GIF_FLAG_SETTER

void TGIFImageCore::SetVisible(bool value) {
    if (value == FVisible) return;
    FVisible = value;
    Invalidate();
    PostPaletteQuery(true);
}

void TGIFImageCore::UpdateOpaque() {
    const int w = ControlWidth(), h = ControlHeight();
    const int iw = FImageWidth, ih = FImageHeight;
    FStretched = (FStretch || FStretchRatio) && !(w == iw && h == ih) && !(FStretchBigOnly && w >= iw && h >= ih);
    const Rect r = ImageRect();
    FOpaqueCover = FVisible && !FEmpty && FFrameCount >= 1 && !FFrames[0]->FTransparent && r.left <= 0 &&
                   r.top <= 0 && r.right >= w && r.bottom >= h;
    SetOpaqueStyle(FOpaqueCover);
}

Rect TGIFImageCore::ImageRect() const {
    const int w = ControlWidth(), h = ControlHeight();
    const int iw = FImageWidth, ih = FImageHeight;
    if (iw == 0 || ih == 0) return {};
    if (FStretched) {
        if (FStretchRatio && !FStretch) {
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
    if (FTile) return {0, 0, w, h};
    if (FCenter) {
        const int left = (w - iw) / 2, top = (h - ih) / 2;
        return {left, top, left + iw, top + ih};
    }
    return {0, 0, iw, ih};
}

PaintPlan TGIFImageCore::PlanPaint() const {
    PaintPlan plan;
    if (!FVisible) return plan;
    plan.fillBackground = FOpaque && !FOpaqueCover;
    if (FEmpty || FFrameCount < 1 || FImageWidth <= 0 || FImageHeight <= 0) return plan;
    plan.transparent = FFrames[0]->FTransparent;
    const int w = ControlWidth(), h = ControlHeight();
    const int iw = FImageWidth, ih = FImageHeight;
    if (FStretched) {
        plan.targets.push_back(ImageRect());
    } else if (FTile) {
        for (int r = 0; r <= h / ih; ++r)
            for (int c = 0; c <= w / iw; ++c) plan.targets.push_back({c * iw, r * ih, c * iw + iw, r * ih + ih});
    } else if (FCenter) {
        const int left = (w - iw) / 2, top = (h - ih) / 2;
        plan.targets.push_back({left, top, left + iw, top + ih});
    } else {
        plan.targets.push_back({0, 0, iw, ih});
    }
    return plan;
}

bool TGIFImageCore::PaintMessageStart() {
    const bool before = FOpaqueStyle;
    UpdateOpaque();
    if (before != FOpaqueStyle) {
        Invalidate();
        return false;
    }
    return true;
}

void TGIFImageCore::PaintMessageFinish() {
    // Painting starts a timer that Animate asked for and keeps a finished animation stopped.
    const int interval =
        FAnimate && FFrameCount > 1 && FCurrentFrame <= FFrameCount ? FrameInterval(FCurrentFrame) : 1;
    const bool run = FAnimated && FAnimate && !FEmpty && (FLoopCount >= FLoopsDone || FLoop || FLoopCount == 0);
    ArmTimer(run, static_cast<std::uint32_t>(interval));
}

} // namespace qvx::gif
