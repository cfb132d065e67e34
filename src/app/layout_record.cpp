#include "app/layout_record.h"

#include <charconv>
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

std::string LayoutHeaderLine(int clientWidth, int clientHeight) {
    return std::to_string(clientWidth) + " " + std::to_string(clientHeight) + " W/H Mainform1";
}

std::string LayoutControlLine(const ControlGeometry& g, std::string_view name) {
    return std::to_string(g.left) + " " + std::to_string(g.width) + " " + std::to_string(g.top) + " " +
           std::to_string(g.height) + " " + std::to_string(g.fontSize) + " " + std::string(name);
}

int FieldAsInteger(std::string_view line, std::string_view separator, int n) {
    std::string_view rest = line;
    if (!separator.empty()) {
        for (int i = 1; i < n; ++i) {
            const size_t at = rest.find(separator);
            if (at != std::string_view::npos) rest.remove_prefix(at + separator.size());
        }
        if (const size_t at = rest.find(separator); at != std::string_view::npos) rest = rest.substr(0, at);
    }
    std::string kept;
    for (const char c : rest) {
        const bool sign = c == '+' || c == '-';
        if ((c >= '0' && c <= '9') || (sign && kept.empty())) kept += c;
    }
    // The record is the program's own; a field that is no number (a lone sign, too many digits)
    // reads as 0 rather than failing.
    const char* first = kept.data();
    const char* last = first + kept.size();
    if (first != last && *first == '+') ++first;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last ? value : 0;
}

std::optional<ScaleFactors> ComputeScaleFactors(std::string_view header, int clientWidth, int clientHeight) {
    const int w0 = FieldAsInteger(header, kLayoutSeparator, 1);
    const int h0 = FieldAsInteger(header, kLayoutSeparator, 2);
    if (w0 <= 0 || h0 <= 0) return std::nullopt;
    ScaleFactors f;
    f.fy = static_cast<double>(clientHeight) / h0;
    f.fx = static_cast<double>(clientWidth) / w0;
    f.ff = f.fy >= f.fx ? f.fx : f.fy;
    return f;
}

ControlGeometry ScaleControlLine(std::string_view line, const ScaleFactors& f) {
    auto field = [&](int n) { return static_cast<double>(FieldAsInteger(line, kLayoutSeparator, n)); };
    return {.left = Truncate(field(1) * f.fx),
            .width = Truncate(field(2) * f.fx),
            .top = Truncate(field(3) * f.fy),
            .height = Truncate(field(4) * f.fy),
            .fontSize = Truncate(field(5) * f.ff)};
}

} // namespace qvx
