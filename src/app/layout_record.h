#pragma once
// The layout record of proportional scaling: the client size the window had when the record
// was taken, and every component's place and font size in component order (nothing for a
// component without a place), all in 96-DPI units. Every resize recomputes every control from
// the record, so repeated resizing never accumulates rounding errors.
#include "ui/dpi_scale.h"

#include <optional>
#include <vector>

namespace qvx {

struct ControlGeometry {
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    int fontSize = 0;  // points
    bool operator==(const ControlGeometry&) const = default;
};

struct LayoutRecord {
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<std::optional<ControlGeometry>> components;
    bool operator==(const LayoutRecord&) const = default;
};

struct ScaleFactors {
    double fx = 1;  // horizontal
    double fy = 1;  // vertical
    double ff = 1;  // fonts: the smaller of the two
};

// Factors of the current client size against the record's. A record without a positive
// client size gives none: there is nothing to scale against.
// The record is in 96-DPI units; on a monitor at another DPI the window's pixels hold the
// display scale too. Places and sizes scale by the pixel factors. Font sizes stay in points at
// 96 DPI and the fonts are made at the window's DPI, so their factor compares the client size
// taken back to 96-DPI units: the display scale enters fonts once, and a window at its
// designed size on any monitor keeps its designed font sizes instead of losing a point to a
// client size rounded a fraction below the exact scale.
std::optional<ScaleFactors> ComputeScaleFactors(const LayoutRecord& record, int clientWidth, int clientHeight,
                                                int dpi = ui::kDesignDpi);
// A component's recorded geometry at the given factors, each product truncated toward zero.
ControlGeometry ScaleGeometry(const ControlGeometry& recorded, const ScaleFactors& f);

} // namespace qvx
