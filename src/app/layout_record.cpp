#include "app/layout_record.h"

#include <cmath>
#include <limits>

namespace qvx {

namespace {

// Truncation toward zero, kept inside int (a cast of an out-of-range double is undefined).
int Truncate(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace

std::optional<ScaleFactors> ComputeScaleFactors(const LayoutRecord& record, int clientWidth, int clientHeight, int dpi) {
    if (record.clientWidth <= 0 || record.clientHeight <= 0 || dpi <= 0) return std::nullopt;
    ScaleFactors f;
    f.fy = static_cast<double>(clientHeight) / record.clientHeight;
    f.fx = static_cast<double>(clientWidth) / record.clientWidth;
    const double fontFy = static_cast<double>(ui::UnscaleForDpi(clientHeight, dpi)) / record.clientHeight;
    const double fontFx = static_cast<double>(ui::UnscaleForDpi(clientWidth, dpi)) / record.clientWidth;
    f.ff = fontFy >= fontFx ? fontFx : fontFy;
    return f;
}

ControlGeometry ScaleGeometry(const ControlGeometry& g, const ScaleFactors& f) {
    return {.left = Truncate(g.left * f.fx),
            .width = Truncate(g.width * f.fx),
            .top = Truncate(g.top * f.fy),
            .height = Truncate(g.height * f.fy),
            .fontSize = Truncate(g.fontSize * f.ff)};
}

} // namespace qvx
