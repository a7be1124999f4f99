// The publisher's logo (bitmap 1100): the emblem of Talewick Press, an open book whose
// spine holds a candle flame, over the word mark. Drawn antialiased on white and reduced to
// the image's own colours (well under 256).
#include <cmath>

#include "scenes.h"

namespace shellart {

namespace {

constexpr int Width = 159, Height = 134, Scale = 4;
constexpr double Spine = Width / 2.0;
constexpr Rgb Paper{255, 255, 255}, Ink{43, 33, 24}, Faint{150, 136, 122}, Amber{227, 155, 50}, Gold{247, 215, 116};

// One page of the open book, as the outline from the spine round to the spine; side is -1
// for the left page and 1 for the right.
Polygon Page(double side) {
    const double outer = Spine + side * 40;
    Polygon p{{Spine, 64}};
    CubicTo(p, {Spine + side * 12, 56}, {Spine + side * 28, 53}, {outer, 57});
    p.push_back({outer, 84});
    CubicTo(p, {Spine + side * 28, 80}, {Spine + side * 12, 83}, {Spine, 91});
    return p;
}

// A line of "text" on a page, following the page's curve, at height row (0 = top).
Polygon PageLine(double side, double row, double length) {
    Polygon p{{Spine + side * 5, 64 + row - 6 * 0.45}};
    CubicTo(p, {Spine + side * 14, 57.5 + row}, {Spine + side * 24, 55.5 + row}, {Spine + side * (5 + length), 58.5 + row}, 12);
    return p;
}

}  // namespace

IndexedImage MakeLogo(const Sources& sources) {
    Canvas canvas(Width, Height, Scale, Paper);

    // The book: a shadowed cover edge below the pages, then the pages with their outline.
    Mask cover(canvas);
    for (double side : {-1.0, 1.0}) {
        Polygon c{{Spine, 70}};
        CubicTo(c, {Spine + side * 14, 62}, {Spine + side * 30, 60}, {Spine + side * 44, 63});
        c.push_back({Spine + side * 44, 89});
        CubicTo(c, {Spine + side * 30, 86}, {Spine + side * 14, 88}, {Spine, 95});
        cover.Add(c);
    }
    canvas.Paint(cover, Ink);
    Mask pages(canvas);
    Mask outline(canvas);
    Mask lines(canvas);
    for (double side : {-1.0, 1.0}) {
        const Polygon page = Page(side);
        pages.Add(page);
        Polygon closed = page;
        closed.push_back(page.front());
        outline.Add(Stroke(closed, 1.6));
        for (int row = 0; row < 5; ++row)
            lines.Add(Stroke(PageLine(side, 8 + row * 4.2, row == 4 ? 20 : 31), 0.9));
    }
    canvas.Paint(pages, Paper);
    canvas.Paint(lines, Faint);
    canvas.Paint(outline, Ink);

    // The flame rises from the spine on its wick, with a ring of short rays.
    Mask rays(canvas);
    for (int i = 0; i < 11; ++i) {
        const double a = M_PI * (0.12 + 0.76 * i / 10.0);
        const double cx = Spine, cy = 36, r0 = 23, r1 = (i % 2) ? 28 : 31;
        rays.Add(Stroke({{cx - r0 * std::cos(a), cy - r0 * std::sin(a)}, {cx - r1 * std::cos(a), cy - r1 * std::sin(a)}}, 1.5));
    }
    canvas.Paint(rays, Amber);
    auto flame = [](double half, double top, double bottom) {
        Polygon p{{Spine, top}};
        CubicTo(p, {Spine + half * 0.3, top + 8}, {Spine + half * 1.25, bottom - 14}, {Spine + half * 0.9, bottom - 6});
        CubicTo(p, {Spine + half * 0.6, bottom}, {Spine - half * 0.6, bottom}, {Spine - half * 0.9, bottom - 6});
        CubicTo(p, {Spine - half * 1.25, bottom - 14}, {Spine - half * 0.3, top + 8}, {Spine, top});
        return p;
    };
    Mask outer(canvas);
    outer.Add(flame(9, 12, 55));
    canvas.Paint(outer, Amber);
    Mask inner(canvas);
    inner.Add(flame(4.6, 30, 53));
    canvas.Paint(inner, Gold);
    Mask wick(canvas);
    wick.Add(Stroke({{Spine, 54}, {Spine - 0.6, 58}, {Spine, 64}}, 1.6));
    canvas.Paint(wick, Ink);

    // The word mark.
    Mask words(canvas);
    const Font mark(sources.fontDir + "/DejaVuSerif-Bold.ttf", 21, Scale, false);
    const double markTracking = 1.6, markWidth = mark.Measure("TALEWICK") + 7 * markTracking;
    mark.Draw(words, "TALEWICK", (Width - markWidth) / 2, 114, markTracking);
    const Font press(sources.fontDir + "/DejaVuSerif.ttf", 10, Scale, false);
    const double pressTracking = 4, pressWidth = press.Measure("PRESS") + 4 * pressTracking;
    const double pressLeft = (Width - pressWidth) / 2;
    press.Draw(words, "PRESS", pressLeft, 129, pressTracking);
    words.Add(Stroke({{pressLeft - 36, 125.5}, {pressLeft - 8, 125.5}}, 1.0));
    words.Add(Stroke({{pressLeft + pressWidth + 6, 125.5}, {pressLeft + pressWidth + 34, 125.5}}, 1.0));
    canvas.Paint(words, Ink);

    return ToOwnPalette(canvas.Resolve());
}

}  // namespace shellart
