// What the drawing files share among themselves and with nobody else: the surface table,
// rectangle helpers, the device pixels, the font table and the glyph cache. Included by
// platform/draw*.cpp, font*.cpp and bitmap*.cpp only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/draw_internal.h"

namespace plat::draw::detail {

// ---------------------------------------------------------------------------------------
// Rectangles (right and bottom exclusive)
// ---------------------------------------------------------------------------------------

inline bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

inline Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (IsEmpty(r)) return Rect{0, 0, 0, 0};
    return r;
}

inline Rect Offset(const Rect& r, int32_t dx, int32_t dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline constexpr Rect ScreenRect{0, 0, ScreenWidth, ScreenHeight};

// ---------------------------------------------------------------------------------------
// Surfaces and the framebuffer (draw.cpp)
// ---------------------------------------------------------------------------------------

struct Surface {
    bool inUse;
    bool onScreen;        // false: a compatible surface, which measures but has no pixels
    uint16_t generation;  // bumped on every reuse of the slot, so stale ids are refused
    int32_t originX, originY;
    Rect clip;            // screen coordinates, already within the screen
    FontId font;
    uint32_t textColor;
};

// Returns the live surface an id names, or null for 0, a stale or an unknown id.
Surface* FindSurface(SurfaceId id);
// Returns the first device pixel of device row y (0 .. PixelHeight() - 1).
uint32_t* DeviceRow(int32_t y);
// Adds a logical screen rectangle to the region that changed since the device last looked.
void MarkChanged(const Rect& screenRect);
// Tells the observer, if one is installed, about a drawing operation.
void Report(const DrawRecord& record);
// The part of a surface rectangle (surface coordinates) that may be drawn, in screen
// coordinates: empty for a surface without pixels.
Rect DrawableArea(const Surface& surface, const Rect& rect);

// ---------------------------------------------------------------------------------------
// Fonts and glyphs (font.cpp)
// ---------------------------------------------------------------------------------------

enum Face : uint8_t { RegularFace = 0, BoldFace = 1, FaceCount = 2 };

struct FontFile {
    const uint8_t* data;
    size_t size;
};
// The font file embedded in the program for a face (font_data.cpp).
FontFile EmbeddedFontFile(Face face);

struct Font {
    Face face;
    int32_t pixels;  // em size at scale 1
    TextMetrics metrics;
};

// Returns the font an id names, or the default font for 0, a stale or an unknown id.
const Font& FindFont(FontId id);

// One rasterised glyph: 8-bit coverage, width bytes a row, rows rows; left and top place
// the bitmap against the pen and the baseline (top: pixels above the baseline); advance is
// its own hinted advance at the size it was rasterised.
struct Glyph {
    int16_t left, top;
    uint16_t width, rows;
    int16_t advance;
    const uint8_t* coverage;
};
// Returns the glyph of c rasterised at the font's size times scale, or null when there is
// nothing to draw. The pointer is good until the next glyph is asked for.
const Glyph* RenderedGlyph(const Font& font, int32_t scale, char16_t c);
// Returns the hinted advance of c at scale 1, in logical pixels; control characters are 0.
int32_t Advance(const Font& font, char16_t c);
// Tells whether the font's face has a glyph of its own for c.
bool HasGlyph(const Font& font, char16_t c);

}  // namespace plat::draw::detail
