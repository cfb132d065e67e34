#pragma once
// The layout record of proportional scaling: a header line with the reference client size and
// one line per component (left, width, top, height, font points, name; "0" for a component
// without a place). Every resize recomputes every control from these lines, so repeated
// resizing never accumulates rounding errors.
#include <optional>
#include <string>
#include <string_view>

namespace qvx {

inline constexpr char kLayoutSeparator[] = " ";
inline constexpr char kNonVisualLine[] = "0";

struct ControlGeometry {
    int left = 0;
    int width = 0;
    int top = 0;
    int height = 0;
    int fontSize = 0;  // points
    bool operator==(const ControlGeometry&) const = default;
};

std::string LayoutHeaderLine(int clientWidth, int clientHeight);
std::string LayoutControlLine(const ControlGeometry& g, std::string_view name);
// Lines of one character or less belong to components that are not rescaled.
inline bool IsControlLine(std::string_view line) { return line.size() > 1; }

// Field n (from 1) of a line as an integer: the n-th separated field (the last one when there are
// fewer), reduced to its digits and a leading sign. No digits give 0.
int FieldAsInteger(std::string_view line, std::string_view separator, int n);

struct ScaleFactors {
    double fx = 1;  // horizontal
    double fy = 1;  // vertical
    double ff = 1;  // fonts: the smaller of the two
};

// Factors of the current client size against the header's reference size. A header without a
// positive reference size gives none: there is nothing to scale against.
std::optional<ScaleFactors> ComputeScaleFactors(std::string_view header, int clientWidth, int clientHeight);
// A control line's geometry at the given factors, each product truncated toward zero.
ControlGeometry ScaleControlLine(std::string_view line, const ScaleFactors& f);

} // namespace qvx
