// The framebuffer and the drawing surfaces as the window system sees them: the screen's
// pixels, screen surfaces with an origin and a clip, and the few drawing helpers its own
// chrome needs. Implemented by platform/draw*.cpp, font*.cpp and bitmap*.cpp; used by the
// window system and the devices (which present Pixels()). Engine code never includes it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat::draw {

inline constexpr int32_t MaxScale = 3;
inline constexpr int32_t MaxSurfaces = 16;  // screen and compatible surfaces alive at once
inline constexpr int32_t MaxFonts = 8;      // fonts alive at once, the default font included
inline constexpr int32_t MaxBitmaps = 64;   // loaded bitmaps alive at once

// Sets up (or resets) the 240 x 320 framebuffer at scale 1..3 (clamped), XRGB8888, filled
// white. Surfaces, fonts and bitmaps survive a change of scale; the fonts load on first use.
void InitFramebuffer(int32_t scale);
int32_t Scale();
// The device pixels, row after row, PixelWidth() pixels to a row (no padding).
const uint32_t* Pixels();
int32_t PixelWidth();
int32_t PixelHeight();

// Returns the union of the logical screen rectangles drawn into since the last call (empty,
// left == right, when nothing changed), so a device can present only what changed.
Rect TakeChangedRect();

// Creates a surface that draws onto the screen with its origin at (originX, originY) of the
// screen, clipped to clip (screen coordinates, logical pixels) and to the screen. It starts
// with the default font and black text. Returns 0 when the surface table is full.
SurfaceId CreateScreenSurface(int32_t originX, int32_t originY, const Rect& clip);
// Moves a screen surface's origin or replaces its clip (screen coordinates); false for an
// unknown surface.
bool SetSurfaceOrigin(SurfaceId surface, int32_t originX, int32_t originY);
bool SetSurfaceClip(SurfaceId surface, const Rect& clip);

// Fills a rectangle of the screen (screen coordinates), unclipped but for the screen edges.
void FillScreenRect(const Rect& screenRect, uint32_t rgb);
// Moves the pixels of screenRect by dy logical pixels (negative: upwards), within the
// rectangle; the uncovered strip keeps its old pixels until it is repainted.
void ScrollScreenRect(const Rect& screenRect, int32_t dy);

// Draws a 1-bit image (rows of (width + 7) / 8 bytes, top row first, most significant bit
// leftmost) with its top-left at (x, y) of the surface: set bits in rgb, clear bits left
// alone. For check marks, arrows and other chrome drawn by the window system.
void DrawMonoImage(SurfaceId surface, const uint8_t* rows, int32_t width, int32_t height, int32_t x,
                   int32_t y, uint32_t rgb);

// The default window font (the regular face at the size of DefaultFontMetrics): never
// deleted; new surfaces start with it selected.
FontId DefaultFont();
// Measures the first count characters (-1: up to the terminator) in a font without a
// surface; logical pixels, the same at every scale. An unknown font measures as the default.
Size MeasureText(FontId font, const char16_t* text, int32_t count);
// Metrics of a font in logical pixels; the default font's for an unknown font.
TextMetrics FontMetrics(FontId font);

// The resource id a loaded bitmap was loaded from; 0 for 0, a released or an unknown id.
int32_t BitmapResourceId(BitmapId bitmap);

// One drawing operation, reported to the observer as it happens (screen coordinates,
// logical pixels, before clipping), so tests can assert on what a paint drew.
enum class DrawOp : uint8_t { Text, Bitmap, BitmapCell, Invert, Fill, Frame };
struct DrawRecord {
    DrawOp op;
    SurfaceId surface;
    Rect rect;               // where: the text's rectangle, the bitmap's placed rectangle
    Rect clip;               // the surface's clip at the time
    uint32_t flags;          // Text: the TextFlags
    uint32_t rgb;            // Text: the text colour; Fill, Frame: the colour
    int32_t id;              // Text: the FontId; Bitmap, BitmapCell: the BitmapId
    int32_t cell;            // BitmapCell: the cell drawn
    const char16_t* text;    // Text: the characters (valid during the call only)
    int32_t count;           // Text: how many
};
using DrawObserver = void (*)(const DrawRecord& record);
// Installs the observer (null removes it); returns the previous one.
DrawObserver SetDrawObserver(DrawObserver observer);

// Writes the framebuffer (device pixels) to a PNG file; false when it cannot be written.
bool WritePng(const char* path);

}  // namespace plat::draw
