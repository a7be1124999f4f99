// The rasteriser behind shellart's scenes: polygon and glyph coverage, the supersampled
// canvas and palette reduction. See raster.h.
#include "raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace shellart {

Polygon Ellipse(double cx, double cy, double rx, double ry) {
    const int steps = std::max(12, static_cast<int>(std::max(rx, ry) * 6));
    Polygon p;
    for (int i = 0; i < steps; ++i) {
        const double a = 2 * M_PI * i / steps;
        p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return p;
}

std::vector<Polygon> Stroke(const Polygon& line, double width) {
    std::vector<Polygon> out;
    const double h = width / 2;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const Point a = line[i], b = line[i + 1];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        if (len == 0) continue;
        const double nx = -(b.y - a.y) / len * h, ny = (b.x - a.x) / len * h;
        out.push_back({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
    }
    for (const Point& p : line) out.push_back(Ellipse(p.x, p.y, h, h));
    return out;
}

void CubicTo(Polygon& path, Point c1, Point c2, Point end, int steps) {
    const Point s = path.back();
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps, u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        path.push_back({a * s.x + b * c1.x + c * c2.x + d * end.x, a * s.y + b * c1.y + c * c2.y + d * end.y});
    }
}

uint64_t Random::Next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double Random::Uniform(double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(Next() >> 11) / 9007199254740992.0;
}

// ---------------------------------------------------------------------------------------
// Masks

Mask::Mask(const Canvas& canvas) : Mask(canvas.Width(), canvas.Height(), canvas.Scale()) {}

Mask::Mask(int width, int height, int scale)
    : width_(width * scale), height_(height * scale), scale_(scale), cover_(static_cast<size_t>(width_) * height_, 0) {}

void Mask::Add(const Polygon& polygon) { FillSpans({polygon}, false); }

void Mask::Add(const std::vector<Polygon>& polygons) {
    for (const Polygon& p : polygons) FillSpans({p}, false);
}

void Mask::AddEvenOdd(const std::vector<Polygon>& contours) { FillSpans(contours, true); }

void Mask::Cover(int x, int y, uint8_t coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    uint8_t& c = cover_[static_cast<size_t>(y) * width_ + x];
    c = static_cast<uint8_t>(c + coverage - c * coverage / 255);
}

// Samples are points at the centres of the sample grid; a sample is inside when the
// crossings to its left give a non-zero winding (or an odd count).
void Mask::FillSpans(const std::vector<Polygon>& contours, bool evenOdd) {
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing> xs;
    for (int sy = 0; sy < height_; ++sy) {
        const double y = (sy + 0.5) / scale_;
        xs.clear();
        for (const Polygon& p : contours) {
            for (size_t i = 0; i < p.size(); ++i) {
                const Point a = p[i], b = p[(i + 1) % p.size()];
                if (a.y == b.y) continue;
                const bool down = a.y < b.y;
                const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
                if (y < y0 || y >= y1) continue;
                xs.push_back({a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y), down ? 1 : -1});
            }
        }
        std::sort(xs.begin(), xs.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += evenOdd ? 1 : xs[i].dir;
            const bool inside = evenOdd ? (winding & 1) : winding != 0;
            if (!inside) continue;
            // First and last sample whose centre lies in [xs[i].x, xs[i+1].x).
            const int from = std::max(0, static_cast<int>(std::ceil(xs[i].x * scale_ - 0.5)));
            const int to = std::min(width_, static_cast<int>(std::ceil(xs[i + 1].x * scale_ - 0.5)));
            for (int sx = from; sx < to; ++sx) cover_[static_cast<size_t>(sy) * width_ + sx] = 255;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Canvas

Canvas::Canvas(int width, int height, int scale, Rgb background)
    : width_(width), height_(height), scale_(scale) {
    const size_t n = static_cast<size_t>(width) * scale * height * scale;
    rgb_.resize(n * 3);
    for (size_t i = 0; i < n; ++i) {
        rgb_[i * 3] = background.r;
        rgb_[i * 3 + 1] = background.g;
        rgb_[i * 3 + 2] = background.b;
    }
}

void Canvas::Blend(size_t i, Rgb colour, uint8_t coverage) {
    const float a = coverage / 255.0f;
    float* p = &rgb_[i * 3];
    p[0] += (colour.r - p[0]) * a;
    p[1] += (colour.g - p[1]) * a;
    p[2] += (colour.b - p[2]) * a;
}

void Canvas::Paint(const Mask& mask, Rgb colour) {
    PaintWith(mask, [colour](double, double) { return colour; });
}

RgbImage Canvas::Resolve() const {
    RgbImage out{width_, height_, std::vector<Rgb>(static_cast<size_t>(width_) * height_)};
    const int w = width_ * scale_;
    const float n = static_cast<float>(scale_ * scale_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            float sum[3] = {0, 0, 0};
            for (int sy = 0; sy < scale_; ++sy)
                for (int sx = 0; sx < scale_; ++sx) {
                    const float* p = &rgb_[(static_cast<size_t>(y * scale_ + sy) * w + x * scale_ + sx) * 3];
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            auto ch = [n](float v) { return static_cast<uint8_t>(std::clamp(std::lround(v / n), 0L, 255L)); };
            out.pixels[static_cast<size_t>(y) * width_ + x] = {ch(sum[0]), ch(sum[1]), ch(sum[2])};
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Text

struct Font::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int scale = 1;
    FT_Int32 loadFlags = FT_LOAD_DEFAULT;
    FT_UInt kerningMode = FT_KERNING_DEFAULT;
};

Font::Font(const std::string& file, double pixelSize, int scale, bool hinted) : impl_(new Impl) {
    impl_->scale = scale;
    impl_->loadFlags = hinted ? FT_LOAD_DEFAULT : FT_LOAD_NO_HINTING;
    impl_->kerningMode = hinted ? FT_KERNING_DEFAULT : FT_KERNING_UNFITTED;
    if (FT_Init_FreeType(&impl_->library) || FT_New_Face(impl_->library, file.c_str(), 0, &impl_->face)) {
        if (impl_->library) FT_Done_FreeType(impl_->library);
        delete impl_;
        throw std::runtime_error(file + ": cannot load the font");
    }
    FT_Set_Char_Size(impl_->face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * scale * 64)), 72, 72);
}

Font::~Font() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
    delete impl_;
}

double Font::Measure(const std::string& text) const {
    FT_Face face = impl_->face;
    long pen = 0;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, previous, glyph, impl_->kerningMode, &k);
            pen += k.x;
        }
        if (FT_Load_Glyph(face, glyph, impl_->loadFlags)) continue;
        pen += face->glyph->advance.x;
        previous = glyph;
    }
    return static_cast<double>(pen) / 64.0 / impl_->scale;
}

void Font::Draw(Mask& mask, const std::string& text, double x, double y, double tracking) const {
    FT_Face face = impl_->face;
    const int s = impl_->scale;
    long pen = std::lround(x * s * 64);
    const long baseline = std::lround(y * s);
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector k;
            FT_Get_Kerning(face, previous, glyph, impl_->kerningMode, &k);
            pen += k.x;
        }
        if (FT_Load_Glyph(face, glyph, impl_->loadFlags | FT_LOAD_RENDER)) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const long left = (pen >> 6) + g->bitmap_left, top = baseline - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col)
                mask.Cover(static_cast<int>(left + col), static_cast<int>(top + row),
                           bm.buffer[row * bm.pitch + col]);
        pen += g->advance.x + std::lround(tracking * s * 64);
        previous = glyph;
    }
}

// ---------------------------------------------------------------------------------------
// Palettes

namespace {

int Distance(Rgb a, Rgb b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

uint32_t Key(Rgb c) { return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }

// Maps every pixel to the nearest palette colour (ties go to the lower index).
IndexedImage ToPalette(const RgbImage& image, const std::vector<Rgb>& palette) {
    IndexedImage out{image.width, image.height, palette, {}};
    out.pixels.reserve(image.pixels.size());
    std::map<uint32_t, uint8_t> memo;
    for (Rgb c : image.pixels) {
        auto [it, fresh] = memo.try_emplace(Key(c), 0);
        if (fresh) {
            size_t best = 0;
            for (size_t i = 1; i < palette.size(); ++i)
                if (Distance(c, palette[i]) < Distance(c, palette[best])) best = i;
            it->second = static_cast<uint8_t>(best);
        }
        out.pixels.push_back(it->second);
    }
    return out;
}

}  // namespace

IndexedImage ToOwnPalette(const RgbImage& image) {
    std::map<uint32_t, long> counts;
    for (Rgb c : image.pixels) ++counts[Key(c)];
    std::vector<std::pair<long, uint32_t>> byCount;
    for (auto [key, n] : counts) byCount.push_back({-n, key});
    std::sort(byCount.begin(), byCount.end());
    if (byCount.size() > 256) byCount.resize(256);
    std::vector<Rgb> palette;
    for (auto [n, key] : byCount)
        palette.push_back({static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)});
    std::sort(palette.begin(), palette.end(), [](Rgb a, Rgb b) {
        const int la = 3 * a.r + 6 * a.g + a.b, lb = 3 * b.r + 6 * b.g + b.b;
        return la != lb ? la < lb : Key(a) < Key(b);
    });
    return ToPalette(image, palette);
}

}  // namespace shellart
