// The title picture (bitmap 1864): the drowned bell-tower of the Mirewood at dusk, a
// rising moon behind its belfry, cypresses hung with moss, reeds, and the whole scene
// mirrored in the marsh. Drawn as a woodcut: flat inks from a small palette, gradients cut
// as engraved lines, no antialiasing (each pixel takes the ink most of its samples got).
#include <algorithm>
#include <array>
#include <cmath>

#include "scenes.h"

namespace shellart {

namespace {

constexpr int Width = 200, Height = 240, Scale = 3;
constexpr double Horizon = 152;  // the waterline; the water mirrors what stands above it

// The Mirewood inks, darkest first. docs/resources.md gives the same table for the book's
// own illustrations.
enum Ink : uint8_t { Black, Pool, Deep, Shade, Night, Violet, Haze, Plum, Mist, Rose, Ember, Amber, Gold, Pale, InkCount };
constexpr std::array<Rgb, InkCount> Inks = {{
    {0x16, 0x13, 0x1d},  // Black: the key block
    {0x1c, 0x1d, 0x31},  // Pool: dark water
    {0x24, 0x23, 0x3f},  // Deep: the sky's top
    {0x2a, 0x24, 0x38},  // Shade: near trees, carving on black
    {0x33, 0x30, 0x5a},  // Night
    {0x4e, 0x42, 0x72},  // Violet
    {0x6a, 0x5a, 0x86},  // Haze: the far wood
    {0x7b, 0x50, 0x79},  // Plum
    {0xa5, 0x95, 0xb3},  // Mist
    {0xb5, 0x65, 0x6f},  // Rose
    {0xd8, 0x82, 0x5b},  // Ember
    {0xeb, 0xa9, 0x63},  // Amber
    {0xf3, 0xcf, 0x8a},  // Gold
    {0xf8, 0xec, 0xc8},  // Pale: the moon
}};

// What each ink turns into in the water's reflection.
constexpr std::array<Ink, InkCount> Reflected = {
    Black, Pool, Pool, Black, Deep, Night, Night, Violet, Haze, Plum, Rose, Ember, Amber, Gold};

double Frac(double v) { return v - std::floor(v); }

double Hash(int64_t i, uint64_t seed) {
    Random r(seed * 0x9e3779b97f4a7c15ULL + static_cast<uint64_t>(i));
    return r.Uniform(0, 1);
}

// Smooth value noise in [0, 1).
double Noise(double x, uint64_t seed) {
    const double i = std::floor(x), f = x - i, s = f * f * (3 - 2 * f);
    const auto n = static_cast<int64_t>(i);
    return Hash(n, seed) * (1 - s) + Hash(n + 1, seed) * s;
}

// The picture as one ink per sample.
class Inking {
public:
    Inking() : samples_(static_cast<size_t>(Width) * Scale * Height * Scale, Deep) {}

    Ink& At(int sx, int sy) { return samples_[static_cast<size_t>(sy) * Width * Scale + sx]; }

    void Paint(const Mask& mask, Ink ink) {
        PaintWith(mask, [ink](double, double, Ink) { return ink; });
    }

    // fn(x, y, current ink) -> new ink, for every sample the mask covers at least half.
    template <class Fn>
    void PaintWith(const Mask& mask, Fn fn) {
        for (int sy = 0; sy < Height * Scale; ++sy)
            for (int sx = 0; sx < Width * Scale; ++sx)
                if (mask.At(sx, sy) >= 128) {
                    Ink& s = At(sx, sy);
                    s = fn((sx + 0.5) / Scale, (sy + 0.5) / Scale, s);
                }
    }

    template <class Fn>
    void Shade(Fn fn) {
        for (int sy = 0; sy < Height * Scale; ++sy)
            for (int sx = 0; sx < Width * Scale; ++sx) {
                Ink& s = At(sx, sy);
                s = fn((sx + 0.5) / Scale, (sy + 0.5) / Scale, s);
            }
    }

    // Gives each pixel the ink most of its samples hold; a tie goes to the centre sample's
    // ink when it is among the tied, else to the darkest.
    IndexedImage Resolve() {
        IndexedImage out{Width, Height, std::vector<Rgb>(Inks.begin(), Inks.end()), {}};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                std::array<int, InkCount> count{};
                for (int sy = 0; sy < Scale; ++sy)
                    for (int sx = 0; sx < Scale; ++sx) ++count[At(x * Scale + sx, y * Scale + sy)];
                const Ink centre = At(x * Scale + Scale / 2, y * Scale + Scale / 2);
                int best = centre;
                for (int i = 0; i < InkCount; ++i)
                    if (count[i] > count[best] || (count[i] == count[best] && i < best && count[centre] < count[i]))
                        best = i;
                out.pixels.push_back(static_cast<uint8_t>(best));
            }
        return out;
    }

private:
    std::vector<Ink> samples_;
};

Mask NewMask() { return Mask(Width, Height, Scale); }

// A filled shape under the outline y = top(x), from the left edge to the right, down to y = bottom.
template <class Fn>
Polygon Skyline(double left, double right, double bottom, Fn top) {
    Polygon p{{left, bottom}};
    for (double x = left; x <= right; x += 0.25) p.push_back({x, top(x)});
    p.push_back({right, bottom});
    return p;
}

// A tapering stroke along a polyline: width runs from w0 at the first point to w1 at the last.
std::vector<Polygon> Taper(const Polygon& line, double w0, double w1) {
    std::vector<Polygon> out;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const double t = line.size() > 2 ? static_cast<double>(i) / static_cast<double>(line.size() - 2) : 0;
        for (Polygon& p : Stroke({line[i], line[i + 1]}, w0 + (w1 - w0) * t)) out.push_back(std::move(p));
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Sky, moon and clouds

struct Stop {
    double y;
    Ink ink;
};
constexpr Stop SkyStops[] = {{0, Deep},    {14, Night},  {46, Violet}, {80, Plum}, {104, Rose},
                             {122, Ember}, {135, Amber}, {146, Gold},  {Horizon + 1, Gold}};

// Bands of flat ink, each passing into the next through engraved lines that thicken
// downwards, with a slight hand-cut waver.
Ink SkyInk(double x, double y) {
    for (size_t i = 0; i + 1 < std::size(SkyStops); ++i) {
        const Stop a = SkyStops[i], b = SkyStops[i + 1];
        if (y >= b.y) continue;
        const double t = std::clamp(((y - a.y) / (b.y - a.y) - 0.3) / 0.5, 0.0, 1.0);
        const double waver = 0.55 * std::sin(x * 0.09 + static_cast<double>(i)) + 0.35 * std::sin(x * 0.031 + y * 0.05);
        return Frac((y + waver) / 4.5) < t ? b.ink : a.ink;
    }
    return Gold;
}

constexpr double MoonX = 120, MoonY = 80, MoonR = 29;

void DrawSky(Inking& art) {
    art.Shade([](double x, double y, Ink) { return SkyInk(x, y); });

    Mask moon = NewMask();
    moon.Add(Ellipse(MoonX, MoonY, MoonR, MoonR));
    // The moon's rim is cut in Gold; its face keeps two faint maria lines.
    art.PaintWith(moon, [](double x, double y, Ink) {
        const double d = std::hypot(x - MoonX, y - MoonY);
        if (d > MoonR - 1.6) return Gold;
        const double band = Frac((y - MoonY + 0.4 * std::sin(x * 0.3)) / 6.0);
        return (d > MoonR * 0.55 && x > MoonX + 4 && band < 0.18) ? Gold : Pale;
    });

    // Long thin clouds drift across, cut as lens shapes.
    struct Cloud {
        double x, y, length, thickness;
        Ink ink;
    };
    const Cloud clouds[] = {
        {98, 70, 50, 1.6, Plum},  {150, 88, 44, 1.4, Plum},  {112, 97, 64, 2.0, Violet},
        {60, 40, 60, 1.8, Night}, {30, 112, 40, 1.4, Rose},
    };
    for (const Cloud& c : clouds) {
        Mask m = NewMask();
        Polygon lens;
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0, x = c.x - c.length / 2 + c.length * t;
            lens.push_back({x, c.y - c.thickness * std::sin(M_PI * t) * (1 + 0.4 * std::sin(t * 9))});
        }
        for (int i = 40; i >= 0; --i) {
            const double t = i / 40.0, x = c.x - c.length / 2 + c.length * t;
            lens.push_back({x, c.y + c.thickness * 0.7 * std::sin(M_PI * t)});
        }
        m.Add(lens);
        art.Paint(m, c.ink);
    }
}

// ---------------------------------------------------------------------------------------
// The far wood and the middle wood

void DrawWoods(Inking& art) {
    // Far conifers, pale with distance: a ragged line of spires along the horizon.
    Random r(1864);
    struct Spire {
        double x, height, half;
    };
    std::vector<Spire> spires;
    for (double x = -4; x < Width + 4; x += r.Uniform(9, 22)) spires.push_back({x, r.Uniform(4, 10), r.Uniform(2, 3.2)});
    auto far = [&](double x) {
        double top = Horizon - 8 - 4 * Noise(x / 9, 7) - 2.5 * std::abs(std::sin(x * 0.37));
        for (const Spire& s : spires) {
            const double d = std::abs(x - s.x);
            if (d < s.half) top = std::min(top, Horizon - 10 - s.height * (1 - d / s.half));
        }
        return top;
    };
    Mask farWood = NewMask();
    farWood.Add(Skyline(0, Width, Horizon + 1, far));
    art.Paint(farWood, Haze);

    // The middle wood: rounded crowns, thick at both sides and thinning towards the tower.
    auto middle = [](double x) {
        const double edge = std::min(x, Width - x) / (Width / 2.0);  // 0 at the sides, 1 in the middle
        const double lift = 34 * std::pow(1 - edge, 1.6);
        const double crowns = 5 * std::abs(std::sin(x * 0.23)) + 3 * Noise(x / 5, 11);
        return Horizon - 3 - lift - crowns;
    };
    Mask middleWood = NewMask();
    middleWood.Add(Skyline(0, Width, Horizon + 1, middle));
    // Its crowns carry short horizontal cuts, the woodcut's way of showing foliage.
    art.PaintWith(middleWood, [&](double x, double y, Ink) {
        const double depth = y - middle(x);
        const bool cut = depth > 2 && Frac(y / 4 + Noise(x / 3, 21) * 0.8) < 0.16 && Noise(x / 2.5, 23) > 0.55;
        return cut ? Violet : Shade;
    });
}

// ---------------------------------------------------------------------------------------
// The drowned bell-tower

// Tower coordinates: u across (negative left), v up from the sunken base; it leans right.
constexpr double TowerX = 112, TowerBase = 160, Lean = 0.065;
Point T(double u, double v) {
    return {TowerX + u * std::cos(Lean) + v * std::sin(Lean), TowerBase + u * std::sin(Lean) - v * std::cos(Lean)};
}
Polygon Box(double u0, double v0, double u1, double v1) { return {T(u0, v0), T(u1, v0), T(u1, v1), T(u0, v1)}; }
Polygon Arch(double u0, double v0, double u1, double v1) {
    const double r = (u1 - u0) / 2, cu = (u0 + u1) / 2, top = v1 - r;
    Polygon p{T(u0, v0), T(u1, v0)};
    for (int i = 0; i <= 16; ++i) {
        const double a = M_PI * i / 16;
        p.push_back(T(cu + r * std::cos(a), top + r * std::sin(a)));
    }
    return p;
}

void DrawTower(Inking& art) {
    constexpr double Shaft = 12, BelfryBottom = 64, BelfryTop = 86;
    Mask body = NewMask();
    body.Add(Box(-Shaft, 0, Shaft, BelfryBottom));
    body.Add(Box(-Shaft - 1.6, 34, Shaft + 1.6, 37));                           // string course
    body.Add(Box(-Shaft - 1.8, BelfryBottom - 2, Shaft + 1.8, BelfryBottom + 1));  // belfry sill
    body.Add(Box(-Shaft + 0.5, BelfryBottom, Shaft - 0.5, BelfryTop));
    body.Add(Box(-Shaft - 2, BelfryTop, Shaft + 2, BelfryTop + 3));  // cornice
    body.Add(Polygon{T(-Shaft - 0.5, BelfryTop + 3), T(Shaft + 0.5, BelfryTop + 3), T(0.6, 122), T(-0.6, 122)});
    body.Add(Stroke({T(0, 121), T(0, 131)}, 1.1));  // finial and cross
    body.Add(Stroke({T(-3, 127.5), T(3, 127.5)}, 1.0));
    art.Paint(body, Black);

    // The belfry's arched opening shows the moon and sky behind; the bell hangs in it.
    Mask opening = NewMask();
    opening.Add(Arch(-6.5, BelfryBottom + 3, 6.5, BelfryTop - 3));
    art.PaintWith(opening, [](double x, double y, Ink) {
        const double d = std::hypot(x - MoonX, y - MoonY);
        return d < MoonR ? Pale : SkyInk(x, y);
    });
    Mask bell = NewMask();
    Polygon shape{T(-5.2, BelfryBottom + 5.5), T(5.2, BelfryBottom + 5.5)};
    CubicTo(shape, T(3.2, BelfryBottom + 8), T(3.2, BelfryBottom + 13), T(2.2, BelfryBottom + 15.5));
    CubicTo(shape, T(1.5, BelfryBottom + 17), T(-1.5, BelfryBottom + 17), T(-2.2, BelfryBottom + 15.5));
    CubicTo(shape, T(-3.2, BelfryBottom + 13), T(-3.2, BelfryBottom + 8), T(-5.2, BelfryBottom + 5.5));
    bell.Add(shape);
    bell.Add(Box(-7, BelfryBottom + 17, 7, BelfryBottom + 18.6));  // headstock beam
    bell.Add(Ellipse(T(0.3, BelfryBottom + 4.3).x, T(0.3, BelfryBottom + 4.3).y, 1.1, 1.1));  // clapper
    art.Paint(bell, Black);

    // Courses of stone, cut as short broken lines into the black.
    Mask stone = NewMask();
    Random r(421);
    for (double v = 3; v < BelfryBottom - 3; v += 4.2) {
        if (v > 32 && v < 39) continue;
        double u = -Shaft + 1.5 + r.Uniform(0, 3);
        while (u < Shaft - 2) {
            const double length = r.Uniform(3, 7);
            stone.Add(Stroke({T(u, v), T(std::min(u + length, Shaft - 1.5), v)}, 0.55));
            u += length + r.Uniform(1.2, 2.8);
        }
    }
    art.PaintWith(stone, [](double, double, Ink ink) { return ink == Black ? Shade : ink; });

    // A lit window halfway up: someone keeps a lamp in the drowned tower.
    Mask window = NewMask();
    window.Add(Arch(-1.8, 44, 1.8, 53));
    art.Paint(window, Amber);
    Mask flame = NewMask();
    flame.Add(Box(-0.6, 46, 0.6, 50));
    art.Paint(flame, Gold);
    Mask slit = NewMask();
    slit.Add(Arch(-1.3, 14, 1.3, 21));
    art.Paint(slit, Shade);

    // Moss hangs from the sill.
    Mask moss = NewMask();
    for (double u : {-11.5, -9.0, -4.0, 7.5, 10.5, 12.0}) {
        const double len = 4 + 5 * Noise(u, 5);
        moss.Add(Taper({T(u, BelfryBottom - 1), T(u + 0.4, BelfryBottom - 1 - len / 2), T(u - 0.2, BelfryBottom - 1 - len)}, 1.0, 0.4));
    }
    art.Paint(moss, Black);
}

// ---------------------------------------------------------------------------------------
// The near trees: a great cypress on the left, a dead snag on the right

void AddBranch(Mask& m, Random& r, Point from, double angle, double length, double width, int depth) {
    const Point mid{from.x + std::cos(angle) * length * 0.5 + r.Uniform(-1, 1),
                    from.y + std::sin(angle) * length * 0.5 + r.Uniform(-1, 1)};
    const Point end{from.x + std::cos(angle) * length, from.y + std::sin(angle) * length};
    m.Add(Taper({from, mid, end}, width, width * 0.6));
    if (depth == 0) return;
    AddBranch(m, r, end, angle + r.Uniform(-0.7, -0.25), length * r.Uniform(0.55, 0.75), width * 0.6, depth - 1);
    AddBranch(m, r, end, angle + r.Uniform(0.2, 0.6), length * r.Uniform(0.5, 0.7), width * 0.55, depth - 1);
}

void DrawNearTrees(Inking& art) {
    Mask tree = NewMask();
    Random r(1701);

    // The cypress: a buttressed trunk rising out of the water.
    tree.Add(Polygon{{-2, 176}, {4, 168}, {12, 150}, {15, 120}, {14, 80}, {17, 40}, {20, -2}, {29, -2},
                     {26, 40}, {25, 80}, {27, 118}, {31, 148}, {38, 166}, {46, 176}});
    tree.Add(Taper({{18, 166}, {12, 172}, {5, 177}}, 3, 1));  // knees in the water
    tree.Add(Taper({{36, 168}, {44, 173}, {52, 176}}, 2.5, 1));
    // Spreading limbs, and flat layered foliage at their ends.
    struct Limb {
        Polygon line;
        double width;
    };
    const Limb limbs[] = {
        {{{24, 62}, {38, 52}, {56, 50}, {72, 44}}, 3.2},
        {{{22, 96}, {36, 90}, {50, 92}}, 2.4},
        {{{20, 34}, {34, 22}, {52, 18}, {66, 12}}, 3.0},
        {{{18, 76}, {8, 68}, {0, 66}}, 2.4},
    };
    for (const Limb& l : limbs) tree.Add(Taper(l.line, l.width, l.width * 0.45));
    struct Pad {
        double x, y, w, h;
    };
    const Pad pads[] = {{70, 43, 26, 7},  {50, 50, 20, 6}, {46, 88, 18, 5},  {62, 12, 32, 8},
                        {36, 21, 24, 7},  {14, 4, 36, 11}, {5, 63, 20, 6},   {30, 39, 16, 5},
                        {18, 24, 18, 6},  {84, 40, 12, 4}, {42, 0, 32, 9},   {80, 10, 14, 5}};
    for (const Pad& p : pads) {
        Polygon pad;
        for (int i = 0; i <= 32; ++i) {  // flat top, ragged hanging bottom
            const double t = i / 32.0, x = p.x - p.w / 2 + p.w * t;
            pad.push_back({x, p.y - p.h * 0.55 * std::sin(M_PI * t) * (0.75 + 0.5 * Noise(x / 2.2, 29))});
        }
        for (int i = 32; i >= 0; --i) {
            const double t = i / 32.0, x = p.x - p.w / 2 + p.w * t;
            const double rag = (i % 2 ? 1.0 : 0.35) * (0.6 + Noise(x, 31));
            pad.push_back({x, p.y + p.h * 0.45 * std::sin(M_PI * t) * rag + 0.5});
        }
        tree.Add(pad);
        // Moss beards hang from the foliage.
        for (double x = p.x - p.w / 2 + 2; x < p.x + p.w / 2 - 1; x += r.Uniform(2, 4)) {
            const double len = r.Uniform(5, 17) * (p.y < 30 ? 1.0 : 0.8);
            tree.Add(Taper({{x, p.y}, {x + r.Uniform(-0.8, 0.8), p.y + len / 2}, {x + r.Uniform(-1, 1), p.y + len}}, 1.0, 0.35));
        }
    }

    // The snag: a dead tree leaning in from the right, its bare limbs forking.
    tree.Add(Polygon{{176, 172}, {182, 150}, {184, 110}, {188, 70}, {193, 40}, {197, 40}, {194, 72},
                     {192, 112}, {193, 150}, {200, 170}, {204, 174}});
    AddBranch(tree, r, {190, 60}, -2.3, 18, 2.2, 3);
    AddBranch(tree, r, {186, 98}, -2.7, 14, 1.8, 2);
    AddBranch(tree, r, {195, 42}, -1.9, 16, 2.0, 3);
    art.Paint(tree, Black);
}

// ---------------------------------------------------------------------------------------
// Water, mist, reeds and the last touches

void DrawWater(Inking& art) {
    // The water mirrors the scene above the horizon, one ink darker, shaken by ripples and
    // crossed by cut lines that spread apart towards the viewer.
    const int top = static_cast<int>(Horizon * Scale);
    for (int sy = top; sy < Height * Scale; ++sy) {
        const double y = (sy + 0.5) / Scale, d = y - Horizon;
        for (int sx = 0; sx < Width * Scale; ++sx) {
            const double x = (sx + 0.5) / Scale;
            const double shake = (0.6 + d / 30) * std::sin(y * 1.7 + 0.4 * std::sin(x * 0.11));
            const int mx = std::clamp(static_cast<int>((x + shake) * Scale), 0, Width * Scale - 1);
            const int my = std::clamp(static_cast<int>((Horizon - d * 0.9) * Scale), 0, top - 1);
            Ink ink = Reflected[art.At(mx, my)];
            const double n = std::sqrt(d) * 2.6;
            if (d > 1.5 && Frac(n + 0.25 * std::sin(x * 0.07 + n)) < 0.2 && Noise(x / 6 + n * 3, 41) > 0.35) ink = Pool;
            art.At(sx, sy) = ink;
        }
    }
}

void DrawMist(Inking& art) {
    // A band of mist lies on the water, cut as loose lines over the far wood and the tower.
    art.Shade([](double x, double y, Ink ink) {
        const double d = std::abs(y - (Horizon - 2));
        if (d > 7 || ink == Pale || ink == Gold || ink == Amber) return ink;
        const double line = Frac((y + 0.8 * std::sin(x * 0.05)) / 2.5);
        const double reach = (1 - d / 7) * Noise(x / 18, 53) * (0.4 + Noise(x / 3 + y, 59));
        return line < 0.5 && reach > 0.3 ? Mist : ink;
    });
}

void DrawForeground(Inking& art) {
    Mask near = NewMask();
    Random r(1100);
    // Reeds rise from muddy banks in both lower corners, tallest at the picture's edge.
    near.Add(Skyline(0, 70, 241, [](double x) { return 230 + 10 * std::pow(x / 70, 1.5) - 2 * Noise(x / 4, 61); }));
    near.Add(Skyline(134, 200, 241, [](double x) { return 240 - 12 * std::pow((x - 134) / 66, 1.2) - 2 * Noise(x / 4, 67); }));
    for (const auto& [from, to] : {std::pair{-2.0, 64.0}, std::pair{136.0, 202.0}}) {
        for (double x = from; x < to; x += r.Uniform(1.2, 3.2)) {
            const double edge = from < 0 ? (to - x) / (to - from) : (x - from) / (to - from);
            const double h = 8 + 64 * std::pow(edge, 1.3) * r.Uniform(0.55, 1);
            const double bend = r.Uniform(-6, 6) - (from < 0 ? -2 : 2);
            Polygon blade{{x, 241}};
            CubicTo(blade, {x + bend * 0.1, 241 - h * 0.5}, {x + bend * 0.6, 241 - h * 0.8}, {x + bend, 241 - h}, 8);
            near.Add(Taper(blade, 2.0, 0.5));
            if (h > 30 && r.Uniform(0, 1) < 0.25) {
                const Point head{x + bend * 0.85, 241 - h * 0.88};
                near.Add(Ellipse(head.x, head.y, 1.4, 3.8));
            }
        }
    }
    // Lily pads on the open water, each with its notch.
    struct Pad {
        double x, y, rx;
    };
    for (const Pad& p : {Pad{86, 214, 9}, Pad{102, 222, 6}, Pad{74, 226, 5}, Pad{118, 208, 4}}) {
        Polygon pad;
        for (int i = 0; i <= 40; ++i) {
            const double a = 0.35 + (2 * M_PI - 0.7) * i / 40;
            pad.push_back({p.x + p.rx * std::cos(a), p.y + p.rx * 0.32 * std::sin(a)});
        }
        pad.push_back({p.x, p.y});
        near.Add(pad);
    }
    art.Paint(near, Black);

    // Crows heading home, and two marsh lights over the water.
    Mask birds = NewMask();
    for (const Point& b : {Point{52, 66}, Point{61, 60}, Point{70, 69}, Point{150, 44}}) {
        birds.Add(Taper({{b.x - 2.6, b.y - 1.2}, {b.x - 1.2, b.y - 0.4}, {b.x, b.y + 0.6}}, 0.6, 0.9));
        birds.Add(Taper({{b.x, b.y + 0.6}, {b.x + 1.2, b.y - 0.4}, {b.x + 2.6, b.y - 1.2}}, 0.9, 0.6));
    }
    art.Paint(birds, Black);
    Mask glow = NewMask();
    Mask light = NewMask();
    for (const Point& p : {Point{62, 184}, Point{148, 192}}) {
        glow.Add(Ellipse(p.x, p.y, 1.8, 1.8));
        light.Add(Ellipse(p.x, p.y, 0.7, 0.7));
    }
    art.Paint(glow, Amber);
    art.Paint(light, Pale);

    // The key block's border.
    Mask border = NewMask();
    border.AddEvenOdd({Polygon{{0, 0}, {Width, 0}, {Width, Height}, {0, Height}},
                       Polygon{{2, 2}, {Width - 2, 2}, {Width - 2, Height - 2}, {2, Height - 2}}});
    art.Paint(border, Black);
}

}  // namespace

IndexedImage MakeTitlePicture() {
    Inking art;
    DrawSky(art);
    DrawWoods(art);
    DrawTower(art);
    DrawNearTrees(art);
    DrawWater(art);
    DrawMist(art);
    DrawForeground(art);
    return art.Resolve();
}

}  // namespace shellart
