#pragma once
// Arithmetic of display scaling. Layouts, fonts and the settings file's window size are in
// 96-DPI units (100 %); a window on a monitor at another DPI shows them at DPI/96 times that
// size. Portable, so that the rounding can be checked natively.
#include <cstdint>
#include <vector>

namespace qvx::ui {

inline constexpr int kDesignDpi = 96;

// value * numerator / denominator, rounded to nearest with halves away from zero (as the
// system's MulDiv). A zero denominator gives the value unchanged.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
    if (denominator == 0) return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// 96-DPI units -> pixels at `dpi`, and back. At DPIs of 96 and above, a value taken to pixels
// and back is the value again, so a round trip through pixels never drifts.
constexpr int ScaleForDpi(int units, int dpi) { return MulDivRounded(units, dpi, kDesignDpi); }
constexpr int UnscaleForDpi(int pixels, int dpi) { return MulDivRounded(pixels, kDesignDpi, dpi); }

// A window's outer extent (width or height) in 96-DPI units <-> pixels at `dpi`. Only the inside
// of the window scales: the frame (borders, caption, menu bar) is the system's own at each DPI,
// given as `frameAt96` and `frameAtDpi`. So a window keeps its content's apparent size across
// monitors, and at 96 DPI both conversions change nothing.
constexpr int WindowExtentAtDpi(int units, int dpi, int frameAt96, int frameAtDpi) {
    return ScaleForDpi(units - frameAt96, dpi) + frameAtDpi;
}
constexpr int WindowExtentAt96(int pixels, int dpi, int frameAt96, int frameAtDpi) {
    return UnscaleForDpi(pixels - frameAtDpi, dpi) + frameAt96;
}

// Resamples premultiplied 0xAARRGGBB pixels (rows top to bottom) to another size: every target
// pixel is the average of the source area it covers (a box filter). At whole-number enlargements
// that is exactly pixel replication, so pixel art stays sharp; at other scales only the edges
// between source pixels blend. Empty when either size is not positive or the pixels are short.
std::vector<std::uint32_t> ResampleArea(const std::vector<std::uint32_t>& pixels, int width, int height, int newWidth,
                                        int newHeight);

} // namespace qvx::ui
