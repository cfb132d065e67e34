// Makes the About box's pictures as GIF files: the maker's animated logo, the banner, the badge,
// the donation button and the OK button's glyph. Everything is drawn here from simple shapes and
// a 5 x 7 pixel font, so the pictures can be remade and changed from source.
//
//   make_about_assets <output folder>
#include "gifimage/gif_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using qvx::gifwriter::GifBuilder;
using qvx::gifwriter::GraphicControl;
using qvx::gifwriter::Image;
using qvx::gifwriter::Rgb;

constexpr double kPi = 3.14159265358979323846;

// An 8-bit indexed drawing surface.
struct Canvas {
    int w, h;
    std::vector<std::uint8_t> px;
    Canvas(int width, int height, std::uint8_t fill) : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}
    void set(int x, int y, std::uint8_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[static_cast<std::size_t>(y) * w + x] = c;
    }
    std::uint8_t get(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
    void fillRect(int x0, int y0, int x1, int y1, std::uint8_t c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, c);
    }
    // Pixels whose centre lies inside the circle.
    void fillCircle(double cx, double cy, double r, std::uint8_t c) {
        for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
            for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) set(x, y, c);
    }
    // A thick line from (x0,y0) to (x1,y1), round ends.
    void line(double x0, double y0, double x1, double y1, double thickness, std::uint8_t c) {
        const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        const int minX = static_cast<int>(std::min(x0, x1) - thickness) - 1, maxX = static_cast<int>(std::max(x0, x1) + thickness) + 1;
        const int minY = static_cast<int>(std::min(y0, y1) - thickness) - 1, maxY = static_cast<int>(std::max(y0, y1) + thickness) + 1;
        for (int y = minY; y <= maxY; ++y)
            for (int x = minX; x <= maxX; ++x) {
                const double px0 = x + 0.5 - x0, py0 = y + 0.5 - y0;
                const double t = len2 > 0 ? std::clamp((px0 * dx + py0 * dy) / len2, 0.0, 1.0) : 0.0;
                if (std::hypot(px0 - t * dx, py0 - t * dy) <= thickness / 2) set(x, y, c);
            }
    }
    // A rectangle with rounded corners.
    void roundRect(int x0, int y0, int x1, int y1, double radius, std::uint8_t c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const double cx = std::clamp(x + 0.5, x0 + radius, x1 - radius);
                const double cy = std::clamp(y + 0.5, y0 + radius, y1 - radius);
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius) set(x, y, c);
            }
    }
};

// 5 x 7 capitals, digits and a little punctuation.
const std::map<char, std::vector<const char*>>& Font() {
    static const std::map<char, std::vector<const char*>> font = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
        {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
        {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
        {'-', {".....", ".....", ".....", "####.", ".....", ".....", "....."}},
        {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    };
    return font;
}

int TextWidth(const std::string& text, int scale) { return text.empty() ? 0 : (static_cast<int>(text.size()) * 6 - 1) * scale; }

void DrawText(Canvas& c, int x, int y, const std::string& text, int scale, std::uint8_t colour) {
    for (char ch : text) {
        const auto it = Font().find(ch);
        if (it == Font().end()) throw std::runtime_error(std::string("no glyph for ") + ch);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (it->second[row][col] == '#') c.fillRect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, colour);
        x += 6 * scale;
    }
}

void DrawShadowedText(Canvas& c, int x, int y, const std::string& text, int scale, std::uint8_t colour, std::uint8_t shadow) {
    DrawText(c, x + 1, y + 1, text, scale, shadow);
    DrawText(c, x, y, text, scale, colour);
}

// A lit sphere: `shades` from dark to light, lit from the upper left, with a dark rim.
void DrawSphere(Canvas& c, double cx, double cy, double r, const std::vector<std::uint8_t>& shades, std::uint8_t rim) {
    for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
        for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
            const double dx = (x + 0.5 - cx) / r, dy = (y + 0.5 - cy) / r, d2 = dx * dx + dy * dy;
            if (d2 > 1) continue;
            if (d2 > 0.93) {
                c.set(x, y, rim);
                continue;
            }
            const double nz = std::sqrt(1 - d2);
            const double light = std::clamp(-0.45 * dx - 0.55 * dy + 0.7 * nz, 0.0, 0.999);
            c.set(x, y, shades[static_cast<std::size_t>(light * shades.size())]);
        }
}

// The maker's mark: a capital T on the sphere, with a shadow.
void DrawMark(Canvas& c, double cx, double cy, double r, std::uint8_t letter, std::uint8_t shadow) {
    const auto rect = [&](double x0, double y0, double x1, double y1, double off, std::uint8_t colour) {
        c.fillRect(static_cast<int>(cx + x0 * r + off), static_cast<int>(cy + y0 * r + off), static_cast<int>(cx + x1 * r + off),
                   static_cast<int>(cy + y1 * r + off), colour);
    };
    const double off = std::max(1.0, r / 22);
    rect(-0.5, -0.58, 0.5, -0.34, off, shadow);
    rect(-0.14, -0.34, 0.14, 0.62, off, shadow);
    rect(-0.5, -0.58, 0.5, -0.34, 0, letter);
    rect(-0.14, -0.34, 0.14, 0.62, 0, letter);
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
}

Image FullImage(const Canvas& c) { return Image{.width = c.w, .height = c.h, .indices = c.px}; }

// --- the animated logo: 135 x 125, 16 colours, 8 frames ----------------------------------------

constexpr std::uint8_t kLogoTransparent = 11;

std::vector<Rgb> LogoPalette() {
    return {
        {8, 16, 48},     // 0 outline
        {16, 40, 112},   // 1 navy
        {24, 72, 168},   // 2 dark blue
        {40, 112, 216},  // 3 blue
        {96, 160, 240},  // 4 light blue
        {176, 212, 255}, // 5 pale blue
        {255, 255, 255}, // 6 white
        {255, 204, 40},  // 7 gold
        {240, 140, 20},  // 8 orange
        {160, 96, 0},    // 9 dark gold
        {128, 140, 160}, // 10 ring
        {255, 0, 255},   // 11 transparent
        {64, 64, 80},    // 12 shadow
        {255, 240, 170}, // 13 light gold
        {220, 230, 245}, // 14 glint
        {90, 100, 120},  // 15 ring, far side
    };
}

Canvas LogoFrame(int k) {
    Canvas c(135, 125, kLogoTransparent);
    const double cx = 67, cy = 52, r = 42, rx = 63, ry = 13;
    const double theta = k * 2 * kPi / 8 + kPi / 8;
    const auto orbitPoint = [&](double a) { return std::pair{cx + rx * std::cos(a), cy + 6 + ry * std::sin(a)}; };
    // The moon and its trail; the far side (sin < 0) lies behind the sphere.
    const auto drawMoon = [&](bool farSide) {
        for (int t = 2; t >= 0; --t) {
            const double a = theta - t * 0.3;
            if ((std::sin(a) < 0) != farSide) continue;
            const auto [x, y] = orbitPoint(a);
            if (t == 0) {
                c.fillCircle(x, y, 6.5, 9);
                c.fillCircle(x, y, 5.3, 7);
                c.fillCircle(x - 1.8, y - 1.8, 2.0, 13);
            } else {
                c.fillCircle(x, y, 4.0 - t, 8);
            }
        }
    };
    const auto drawRing = [&](bool farSide) {
        for (int i = 0; i < 360; ++i) {
            const double a = i * kPi / 180;
            if ((std::sin(a) < 0) != farSide) continue;
            const auto [x, y] = orbitPoint(a);
            c.fillCircle(x, y, 1.0, farSide ? 15 : 10);
        }
    };
    drawRing(true);
    drawMoon(true);
    DrawSphere(c, cx, cy, r, {1, 2, 3, 4, 5}, 0);
    DrawMark(c, cx, cy, r, 6, 1);
    // A glint sweeping across the mark.
    const int band = -60 + k * 20;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const int d = (x - static_cast<int>(cx)) + (y - static_cast<int>(cy)) - band;
            if (d >= 0 && d < 6 && c.get(x, y) == 6) c.set(x, y, 14);
        }
    drawRing(false);
    drawMoon(false);
    const std::string name = "TOVREN";
    DrawShadowedText(c, (c.w - TextWidth(name, 2)) / 2, 106, name, 2, 1, 10);
    return c;
}

std::vector<std::uint8_t> MakeLogo() {
    GifBuilder gif(135, 125, LogoPalette());
    gif.loop(999);
    gif.comment("Tovren animated logo");
    gif.comment("Drawn by make_about_assets for the Quarvex About box");
    for (int k = 0; k < 8; ++k) {
        gif.control(GraphicControl{.disposal = 2, .delayCs = 10, .transparent = true, .transparentIndex = kLogoTransparent});
        gif.addImage(FullImage(LogoFrame(k)));
    }
    gif.comment("8 frames, 100 ms each");
    gif.trailer();
    return gif.bytes();
}

// --- still pictures --------------------------------------------------------------------------

// Linear blend of two colours, `n` steps.
std::vector<Rgb> Gradient(Rgb a, Rgb b, int n) {
    std::vector<Rgb> out;
    for (int i = 0; i < n; ++i) {
        const double t = n > 1 ? static_cast<double>(i) / (n - 1) : 0;
        out.push_back({static_cast<std::uint8_t>(a.r + (b.r - a.r) * t), static_cast<std::uint8_t>(a.g + (b.g - a.g) * t),
                       static_cast<std::uint8_t>(a.b + (b.b - a.b) * t)});
    }
    return out;
}

std::vector<std::uint8_t> StillGif(const Canvas& c, const std::vector<Rgb>& palette, int transparentIndex) {
    GifBuilder gif(c.w, c.h, palette);
    if (transparentIndex >= 0)
        gif.control(GraphicControl{.transparent = true, .transparentIndex = static_cast<std::uint8_t>(transparentIndex)});
    gif.addImage(FullImage(c));
    gif.trailer();
    return gif.bytes();
}

// Palette layout shared by the banner and the badge: 0 transparent, 1..32 background gradient,
// then white, gold, shadow and five sphere shades.
constexpr std::uint8_t kGradientFirst = 1, kGradientSteps = 32;
constexpr std::uint8_t kWhite = 33, kGold = 34, kShadow = 35, kSphereFirst = 36;

std::vector<Rgb> BluePalette() {
    std::vector<Rgb> p{{255, 0, 255}};
    for (const Rgb& c : Gradient({10, 20, 70}, {40, 110, 210}, kGradientSteps)) p.push_back(c);
    p.push_back({255, 255, 255});
    p.push_back({255, 204, 40});
    p.push_back({4, 8, 30});
    for (const Rgb& c : std::vector<Rgb>{{16, 40, 112}, {24, 72, 168}, {40, 112, 216}, {96, 160, 240}, {176, 212, 255}}) p.push_back(c);
    p.push_back({8, 16, 48});  // sphere rim
    return p;
}
constexpr std::uint8_t kSphereRim = kSphereFirst + 5;

std::vector<std::uint8_t> SphereShades() {
    std::vector<std::uint8_t> s;
    for (int i = 0; i < 5; ++i) s.push_back(static_cast<std::uint8_t>(kSphereFirst + i));
    return s;
}

std::vector<std::uint8_t> MakeBanner() {
    Canvas c(611, 67, 0);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            c.set(x, y, static_cast<std::uint8_t>(kGradientFirst + (x * kGradientSteps) / c.w));
    c.fillRect(0, c.h - 2, c.w, c.h, kGold);
    DrawSphere(c, 36, 32, 26, SphereShades(), kSphereRim);
    DrawMark(c, 36, 32, 26, kWhite, kSphereFirst);
    DrawShadowedText(c, 78, 9, "TOVREN SOFTWARE", 3, kWhite, kShadow);
    DrawShadowedText(c, 80, 40, "SMALL, USEFUL PROGRAMS FOR WINDOWS", 2, kGold, kShadow);
    return StillGif(c, BluePalette(), -1);
}

std::vector<std::uint8_t> MakeBadge() {
    Canvas c(149, 41, 0);
    // Vertical gradient inside a gold rim; the corners stay transparent.
    c.roundRect(0, 0, c.w, c.h, 7, kGold);
    Canvas body(c.w, c.h, 0);
    body.roundRect(2, 2, c.w - 2, c.h - 2, 5, 1);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (body.get(x, y)) c.set(x, y, static_cast<std::uint8_t>(kGradientFirst + kGradientSteps - 1 - (y * kGradientSteps) / c.h));
    DrawSphere(c, 127, 20.5, 14, SphereShades(), kSphereRim);
    DrawMark(c, 127, 20.5, 14, kWhite, kSphereFirst);
    return StillGif(c, BluePalette(), 0);
}

std::vector<std::uint8_t> MakeDonateButton() {
    Canvas c(62, 31, 0);
    const std::vector<Rgb> palette = [] {
        std::vector<Rgb> p{{255, 0, 255}, {176, 96, 0}, {16, 40, 112}};
        for (const Rgb& g : Gradient({255, 236, 140}, {248, 164, 32}, 13)) p.push_back(g);
        return p;
    }();
    c.roundRect(0, 0, c.w, c.h, 8, 1);
    Canvas body(c.w, c.h, 0);
    body.roundRect(1, 1, c.w - 1, c.h - 1, 7, 1);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (body.get(x, y)) c.set(x, y, static_cast<std::uint8_t>(3 + (y * 13) / c.h));
    DrawText(c, (c.w - TextWidth("DONATE", 1)) / 2, 12, "DONATE", 1, 2);
    return StillGif(c, palette, 0);
}

std::vector<std::uint8_t> MakeOkGlyph() {
    Canvas c(24, 24, 0);
    const std::vector<Rgb> palette = {{255, 0, 255}, {0, 80, 0}, {32, 168, 32}, {128, 224, 112}};
    const double pts[3][2] = {{4.5, 12.5}, {9.5, 18.5}, {20, 5}};
    for (int i = 0; i < 2; ++i) c.line(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], 6.0, 1);
    for (int i = 0; i < 2; ++i) c.line(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], 4.0, 2);
    c.line(pts[1][0], pts[1][1] - 1, pts[2][0], pts[2][1] - 1, 1.2, 3);
    return StillGif(c, palette, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        Write(dir + "tovren_logo.gif", MakeLogo());
        Write(dir + "tovren_banner.gif", MakeBanner());
        Write(dir + "tovren_badge.gif", MakeBadge());
        Write(dir + "donate_button.gif", MakeDonateButton());
        Write(dir + "ok_glyph.gif", MakeOkGlyph());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_about_assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
