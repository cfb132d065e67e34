// Makes the program's icon, assets/quarvex.ico, at 16, 32, 48 and 256 pixels. It is drawn in the
// manner of the About box's logo (make_about_assets.cpp): a banded blue sphere lit from the upper
// left with a dark rim, a grey ring round it and a gold moon; the sphere carries a white Q with a
// navy shadow instead of the maker's T. Each pixel is the average of 8 x 8 samples of the drawing,
// so the edges are smooth at every size; the 16-pixel icon leaves out the ring and the moon,
// which would only blur at that size.
//
//   make_program_icon <output .ico>
#include "icon_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

using qvx::iconwriter::Picture;
using qvx::iconwriter::Rgba;

constexpr double kPi = 3.14159265358979323846;

// The logo's colours.
constexpr Rgba kOutline{8, 16, 48, 255};
constexpr Rgba kShades[] = {{16, 40, 112, 255}, {24, 72, 168, 255}, {40, 112, 216, 255}, {96, 160, 240, 255}, {176, 212, 255, 255}};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kNavy{16, 40, 112, 255};
constexpr Rgba kRingNear{128, 140, 160, 255};
constexpr Rgba kRingFar{90, 100, 120, 255};
constexpr Rgba kGold{255, 204, 40, 255};
constexpr Rgba kDarkGold{160, 96, 0, 255};
constexpr Rgba kLightGold{255, 240, 170, 255};
constexpr Rgba kClear{0, 0, 0, 0};

// The drawing in a 256 x 256 space; `small` is the 16-pixel variant.
struct Scene {
    bool small = false;
    int shadeCount = 5;  // the icons up to 48 pixels leave out the palest, so that the white Q stands out
    double cx = 128, cy = 118, r = 88;     // the sphere
    double ringX = 124, ringY = 30, ringCy = 132, ringWidth = 9;
    double moonAngle = 0.22 * kPi, moonR = 20;

    static Scene For(int size) {
        Scene s;
        if (size <= 48) s.shadeCount = 4;
        if (size <= 16) {
            s.small = true;
            s.cy = 128;
            s.r = 124;
        }
        return s;
    }

    // Where the ring passes at angle a (sin a > 0 is the near side, below the sphere's centre).
    void ringPoint(double a, double& x, double& y) const {
        x = cx + ringX * std::cos(a);
        y = ringCy + ringY * std::sin(a);
    }
    // Distance from (x, y) to the ring's middle line, to first order (the ellipse's implicit
    // function over its gradient); `nearSide` tells whether the point lies below the ring's centre.
    double ringDistance(double x, double y, bool& nearSide) const {
        const double dx = x - cx, dy = y - ringCy;
        nearSide = dy > 0;
        const double q = std::hypot(dx / ringX, dy / ringY);
        if (q == 0) return ringY;
        const double gradient = std::hypot(dx / (ringX * ringX), dy / (ringY * ringY)) / q;
        return std::abs(q - 1) / gradient;
    }

    bool inSphere(double x, double y) const { return std::hypot(x - cx, y - cy) <= r; }

    Rgba sphere(double x, double y) const {
        const double dx = (x - cx) / r, dy = (y - cy) / r, d2 = dx * dx + dy * dy;
        if (d2 > (small ? 0.85 : 0.93)) return kOutline;
        const double nz = std::sqrt(1 - d2);
        const double light = std::clamp(-0.45 * dx - 0.55 * dy + 0.7 * nz, 0.0, 0.999);
        return kShades[static_cast<int>(light * shadeCount)];
    }

    // The Q: a thick ring and a tail towards the lower right, relative to the sphere's centre.
    bool inQ(double x, double y) const {
        const double k = r / 88;  // the mark grows with the sphere
        const double qx = cx - 2 * k, qy = cy - 6 * k;
        const double outer = 48 * k, inner = small ? 24 * k : 28 * k;
        const double d = std::hypot(x - qx, y - qy);
        if (d <= outer && d >= inner) return true;
        // Tail: a thick segment from inside the ring's lower right out past it.
        const double x0 = qx + 14 * k, y0 = qy + 14 * k, x1 = qx + 52 * k, y1 = qy + 52 * k;
        const double sx = x1 - x0, sy = y1 - y0, t = std::clamp(((x - x0) * sx + (y - y0) * sy) / (sx * sx + sy * sy), 0.0, 1.0);
        return std::hypot(x - x0 - t * sx, y - y0 - t * sy) <= (small ? 12 : 10) * k;
    }

    Rgba moon(double x, double y, bool& hit) const {
        double mx, my;
        ringPoint(moonAngle, mx, my);
        const double d = std::hypot(x - mx, y - my);
        hit = d <= moonR;
        if (!hit) return kClear;
        if (std::hypot(x - (mx - moonR * 0.3), y - (my - moonR * 0.3)) <= moonR * 0.32) return kLightGold;
        return d <= moonR * 0.8 ? kGold : kDarkGold;
    }

    // The colour at (x, y), painted back to front: far ring, sphere with its mark, near ring, moon.
    Rgba at(double x, double y) const {
        Rgba c = kClear;
        bool nearSide = false;
        const bool onRing = !small && ringDistance(x, y, nearSide) <= ringWidth / 2;
        if (onRing && !nearSide) c = kRingFar;
        if (inSphere(x, y)) {
            c = sphere(x, y);
            const double shadow = std::max(2.0, r / 20);
            if (inQ(x - shadow, y - shadow) && c.r != kOutline.r) c = kNavy;
            if (inQ(x, y) && std::hypot(x - cx, y - cy) <= r * 0.93) c = kWhite;
        }
        if (onRing && nearSide) c = kRingNear;
        if (!small) {
            bool hit = false;
            const Rgba m = moon(x, y, hit);
            if (hit) c = m;
        }
        return c;
    }
};

Picture Draw(int size) {
    const Scene scene = Scene::For(size);
    constexpr int kSamples = 8;
    Picture p{size, {}};
    const double unit = 256.0 / size;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba c = scene.at((px + (sx + 0.5) / kSamples) * unit, (py + (sy + 0.5) / kSamples) * unit);
                    const double alpha = c.a / 255.0;
                    r += c.r * alpha;
                    g += c.g * alpha;
                    b += c.b * alpha;
                    a += alpha;
                }
            Rgba out{};
            if (a > 0) {
                out = {static_cast<std::uint8_t>(std::lround(r / a)), static_cast<std::uint8_t>(std::lround(g / a)),
                       static_cast<std::uint8_t>(std::lround(b / a)),
                       static_cast<std::uint8_t>(std::lround(255 * a / (kSamples * kSamples)))};
            }
            p.pixels.push_back(out);
        }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output .ico>\n", argv[0]);
        return 2;
    }
    std::vector<Picture> pictures;
    for (int size : {16, 32, 48, 256}) pictures.push_back(Draw(size));
    const auto bytes = qvx::iconwriter::Icon(pictures);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_program_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %zu bytes\n", argv[1], bytes.size());
    return 0;
}
