// Text on surfaces: selecting fonts, metrics and extents in logical pixels, and drawing one
// line of text in a rectangle with the glyphs rasterised at the framebuffer's scale. Called
// by the page code (line fitting and drawing, page buttons) and the window system's chrome.
#include "platform/draw_private.h"

namespace plat {
namespace {

using draw::detail::Surface;

int32_t Length(const char16_t* text, int32_t count) {
    if (text == nullptr) return 0;
    if (count >= 0) return count;
    int32_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// Blends a colour over a device pixel by coverage (0..255).
uint32_t Blend(uint32_t background, uint32_t color, uint32_t coverage) {
    uint32_t out = 0;
    for (int32_t shift = 0; shift <= 16; shift += 8) {
        const uint32_t b = (background >> shift) & 0xFF, c = (color >> shift) & 0xFF;
        const uint32_t v = (b * (255 - coverage) + c * coverage + 127) / 255;
        out |= v << shift;
    }
    return out;
}

// Draws one glyph with its pen at device (penX, baseline), inside the device clip.
void DrawGlyph(const draw::detail::Glyph& g, int32_t penX, int32_t baseline, const Rect& clip, uint32_t color) {
    const int32_t left = penX + g.left, top = baseline - g.top;
    const Rect area = draw::detail::Intersect(Rect{left, top, left + g.width, top + g.rows}, clip);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint8_t* src = g.coverage + static_cast<size_t>(y - top) * g.width;
        uint32_t* row = draw::detail::DeviceRow(y);
        for (int32_t x = area.left; x < area.right; ++x) {
            const uint32_t a = src[x - left];
            if (a == 255) row[x] = color;
            else if (a != 0) row[x] = Blend(row[x], color, a);
        }
    }
}

}  // namespace

FontId SelectFont(SurfaceId surface, FontId font) {
    Surface* s = draw::detail::FindSurface(surface);
    if (s == nullptr || font == 0) return 0;
    const FontId previous = s->font;
    s->font = font;
    return previous;
}

TextMetrics GetTextMetrics(SurfaceId surface) {
    const Surface* s = draw::detail::FindSurface(surface);
    return draw::FontMetrics(s != nullptr ? s->font : draw::DefaultFont());
}

Size GetTextExtent(SurfaceId surface, const char16_t* text, int32_t count) {
    const Surface* s = draw::detail::FindSurface(surface);
    if (s == nullptr) return Size{0, 0};
    return draw::MeasureText(s->font, text, count);
}

void DrawText(SurfaceId surface, const char16_t* text, int32_t count, const Rect& rect, uint32_t flags) {
    const Surface* s = draw::detail::FindSurface(surface);
    if (s == nullptr || text == nullptr) return;
    const int32_t n = Length(text, count);
    const draw::detail::Font& font = draw::detail::FindFont(s->font);
    draw::detail::Report({draw::DrawOp::Text, surface, draw::detail::Offset(rect, s->originX, s->originY), s->clip,
                          flags, s->textColor, s->font, 0, text, n});
    const Rect area = draw::detail::DrawableArea(*s, rect);
    if (draw::detail::IsEmpty(area)) return;

    // Place the line by its measured size; text wider or taller than the rectangle is cut.
    const Size extent = draw::MeasureText(s->font, text, n);
    const Rect r = draw::detail::Offset(rect, s->originX, s->originY);
    int32_t x = r.left;
    if ((flags & TextRight) != 0) x = r.right - extent.width;
    else if ((flags & TextCenter) != 0) x = (r.left + r.right - extent.width) / 2;
    int32_t y = r.top;
    if ((flags & TextVCenter) != 0) y = r.top + (r.bottom - r.top - extent.height) / 2;

    const int32_t scale = draw::Scale();
    const Rect clip{area.left * scale, area.top * scale, area.right * scale, area.bottom * scale};
    const int32_t baseline = (y + font.metrics.ascent) * scale;
    int32_t pen = x;
    for (int32_t i = 0; i < n && pen - font.pixels < area.right; ++i) {
        const int32_t advance = draw::detail::Advance(font, text[i]);
        if (pen + advance + font.pixels > area.left) {  // glyphs may overhang their advance
            const draw::detail::Glyph* g = draw::detail::RenderedGlyph(font, scale, text[i]);
            // A glyph rasterised larger is a little wider or narrower than its logical
            // advance times the scale: centre it in that room to keep the spacing even.
            if (g != nullptr)
                DrawGlyph(*g, pen * scale + (advance * scale - g->advance) / 2, baseline, clip, s->textColor);
        }
        pen += advance;
    }
    draw::detail::MarkChanged(area);
}

}  // namespace plat
