// A small deterministic rasteriser for the reader's artwork: images, a supersampled RGB
// canvas, coverage masks filled from polygons and glyphs, and reduction to a palette.
// Used by the scene code of shellart (guide, logo, title); nothing here reads the clock
// or an unseeded random source, so the same build writes the same pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shellart {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// Pixels run top-down, left to right.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
};

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;
};

struct Point {
    double x = 0, y = 0;
};
using Polygon = std::vector<Point>;

// Returns a closed polygon for an ellipse, with enough segments for its size.
Polygon Ellipse(double cx, double cy, double rx, double ry);
// Returns the outline of a thick polyline as one polygon per segment plus round joints.
std::vector<Polygon> Stroke(const Polygon& line, double width);
// Appends the points of a cubic Bezier from the last point of path (which must not be empty).
void CubicTo(Polygon& path, Point c1, Point c2, Point end, int steps = 16);

// A splitmix64 generator: the same seed gives the same numbers on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // Returns a value in [lo, hi).
    double Uniform(double lo, double hi);

private:
    uint64_t state_;
};

class Canvas;

// Coverage 0..255 per canvas sample; shapes are unioned into it.
class Mask {
public:
    explicit Mask(const Canvas& canvas);
    // A mask for width x height logical pixels sampled scale x scale times each.
    Mask(int width, int height, int scale);
    // Fills a polygon by the non-zero rule, in logical pixels.
    void Add(const Polygon& polygon);
    void Add(const std::vector<Polygon>& polygons);
    // Fills contours together by the even-odd rule, so inner contours cut holes.
    void AddEvenOdd(const std::vector<Polygon>& contours);
    // Adds antialiased coverage; x, y are sample coordinates.
    void Cover(int x, int y, uint8_t coverage);
    uint8_t At(int x, int y) const { return cover_[static_cast<size_t>(y) * width_ + x]; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }

private:
    void FillSpans(const std::vector<Polygon>& contours, bool evenOdd);
    int width_, height_, scale_;
    std::vector<uint8_t> cover_;
};

// An RGB drawing surface of width x height logical pixels, sampled scale x scale times
// per pixel; Resolve() averages the samples down.
class Canvas {
public:
    Canvas(int width, int height, int scale, Rgb background);
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }
    void Paint(const Mask& mask, Rgb colour);
    // Paints with a colour chosen per sample; fn gets logical coordinates (sample centres).
    template <class Fn>
    void PaintWith(const Mask& mask, Fn fn);
    RgbImage Resolve() const;

private:
    void Blend(size_t i, Rgb colour, uint8_t coverage);
    int width_, height_, scale_;
    std::vector<float> rgb_;
};

template <class Fn>
void Canvas::PaintWith(const Mask& mask, Fn fn) {
    const int w = width_ * scale_, h = height_ * scale_;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (uint8_t c = mask.At(x, y))
                Blend(static_cast<size_t>(y) * w + x, fn((x + 0.5) / scale_, (y + 0.5) / scale_), c);
}

// Text drawn with one FreeType face at a pixel size (logical pixels).
class Font {
public:
    Font(const std::string& file, double pixelSize, int scale, bool hinted);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    // Returns the advance width of text in logical pixels, kerning included.
    double Measure(const std::string& text) const;
    // Adds the glyphs of text to mask with the baseline's left end at (x, y), logical pixels;
    // tracking adds extra space after each letter.
    void Draw(Mask& mask, const std::string& text, double x, double y, double tracking = 0) const;

private:
    struct Impl;
    Impl* impl_;
};

// Builds a palette of the image's own colours: exact when there are at most 256, otherwise
// the most frequent 256 with the rest mapped to the nearest of them. Sorted by brightness.
IndexedImage ToOwnPalette(const RgbImage& image);

}  // namespace shellart
