// Fonts: the two embedded faces loaded with FreeType from memory, the font table, font
// metrics and measurement in logical pixels, and the glyph cache (hinted, anti-aliased
// coverage keyed by face, pixel size and character, in fixed storage). The page code calls
// CreateFont and friends; draw_text.cpp asks here for advances and glyphs.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/draw_private.h"

namespace plat::draw {
namespace {

using detail::Face;
using detail::Font;
using detail::Glyph;

// The default window font is the regular face at the size whose cell height is closest to
// this; the layout's control sizes (edit boxes, check box) are made for it.
constexpr int32_t DefaultCellHeight = 13;
constexpr int32_t DefaultWeight = 400;
constexpr int32_t BoldWeight = 600;  // from this weight up the bold face is used
constexpr int32_t MaxFontPixels = 80;  // em size at scale 1; times MaxScale fits a key byte
constexpr int32_t LogicalDpi = 96;

constexpr int32_t SlotBits = 8;
constexpr int32_t DefaultSlot = 0;

struct FaceState {
    FT_Face face;
    int32_t pixels;  // the size the face is set to now, 0 for none
};

struct FontSlot {
    bool inUse;
    uint16_t generation;
    Font font;
};

struct FontSystem {
    bool started;
    bool usable;  // false when FreeType could not load the embedded faces
    FT_Library library;
    FaceState faces[detail::FaceCount];
    FontSlot slots[MaxFonts];
};
FontSystem Fonts;

// ---------------------------------------------------------------------------------------
// The glyph cache: open addressing over a fixed table, coverage in a fixed arena. When
// either fills, everything is dropped at once; a page needs far fewer glyphs than that.
// ---------------------------------------------------------------------------------------

constexpr int32_t GlyphSlots = 4096;  // a power of two
constexpr int32_t GlyphLimit = GlyphSlots * 3 / 4;
constexpr size_t CoverageBytes = size_t{2} << 20;

struct CachedGlyph {
    uint32_t key;         // 0: an empty slot
    int16_t advance;      // logical pixels at this size; -1 until the glyph was loaded
    bool rendered;
    Glyph glyph;
};

struct GlyphCache {
    int32_t count;
    size_t coverageUsed;
    CachedGlyph entries[GlyphSlots];
    uint8_t coverage[CoverageBytes];
};
GlyphCache Cache;

uint32_t GlyphKey(Face face, int32_t pixels, char16_t c) {
    return (static_cast<uint32_t>(face) + 1) << 24 | static_cast<uint32_t>(pixels) << 16 | c;
}

void ClearCache() {
    for (CachedGlyph& e : Cache.entries) e.key = 0;
    Cache.count = 0;
    Cache.coverageUsed = 0;
}

// Finds the entry of a key, adding an empty one (advance -1) when it is not cached yet.
CachedGlyph& CacheEntry(uint32_t key) {
    if (Cache.count >= GlyphLimit) ClearCache();
    uint32_t i = (key * 2654435761u) & (GlyphSlots - 1);
    while (Cache.entries[i].key != 0 && Cache.entries[i].key != key) i = (i + 1) & (GlyphSlots - 1);
    CachedGlyph& e = Cache.entries[i];
    if (e.key == 0) {
        e = CachedGlyph{key, -1, false, Glyph{0, 0, 0, 0, 0, nullptr}};
        ++Cache.count;
    }
    return e;
}

// Sets the face to an em size in pixels; false when FreeType refuses it.
bool SetFaceSize(Face face, int32_t pixels) {
    FaceState& f = Fonts.faces[face];
    if (f.pixels == pixels) return true;
    if (FT_Set_Pixel_Sizes(f.face, 0, static_cast<FT_UInt>(pixels)) != 0) return false;
    f.pixels = pixels;
    return true;
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

// Computes the metrics of a face at an em size from its OS/2 table, the way the pocket
// screen's system computed them: each of ascent and descent rounded on its own.
TextMetrics MetricsOf(Face face, int32_t pixels) {
    if (!Fonts.usable) return TextMetrics{pixels + pixels / 4, pixels, pixels / 2};
    FT_Face f = Fonts.faces[face].face;
    const double scale = static_cast<double>(pixels) / f->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    double ascent = f->ascender, descent = -f->descender, average = f->units_per_EM / 2.0;
    if (os2 != nullptr && os2->version != 0xFFFF) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        average = os2->xAvgCharWidth;
    }
    const int32_t a = Round(ascent * scale), d = Round(descent * scale);
    return TextMetrics{a + d, a, Round(average * scale)};
}

void Start() {
    if (Fonts.started) return;
    Fonts.started = true;
    Fonts.usable = FT_Init_FreeType(&Fonts.library) == 0;
    // The full TrueType hinting snaps stems to whole pixels both ways: at 13 pixels the
    // embedded face's own hints give the sharpest text (see docs/fonts.md).
    FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
    if (Fonts.usable) FT_Property_Set(Fonts.library, "truetype", "interpreter-version", &interpreter);
    for (int32_t i = 0; i < detail::FaceCount && Fonts.usable; ++i) {
        const detail::FontFile file = detail::EmbeddedFontFile(static_cast<Face>(i));
        Fonts.usable = FT_New_Memory_Face(Fonts.library, file.data, static_cast<FT_Long>(file.size), 0,
                                          &Fonts.faces[i].face) == 0;
    }
    // The default font: the regular face at the em size whose cell is nearest the default.
    int32_t best = DefaultCellHeight;
    for (int32_t pixels = 8; pixels <= 16; ++pixels) {
        const int32_t miss = std::abs(MetricsOf(detail::RegularFace, pixels).height - DefaultCellHeight);
        if (miss < std::abs(MetricsOf(detail::RegularFace, best).height - DefaultCellHeight)) best = pixels;
    }
    Fonts.slots[DefaultSlot] =
        FontSlot{true, 1, Font{detail::RegularFace, best, MetricsOf(detail::RegularFace, best)}};
}

FontId MakeFontId(int32_t slot, uint16_t generation) {
    return (static_cast<int32_t>(generation) << SlotBits) | (slot + 1);
}

FontSlot* FindSlot(FontId id) {
    const int32_t slot = (id & ((1 << SlotBits) - 1)) - 1;
    if (id <= 0 || slot < 0 || slot >= MaxFonts) return nullptr;
    FontSlot& s = Fonts.slots[slot];
    if (!s.inUse || MakeFontId(slot, s.generation) != id) return nullptr;
    return &s;
}

// Loads a glyph into the cache entry: its advance always, its coverage when render is set.
void LoadGlyph(CachedGlyph& e, Face face, int32_t pixels, char16_t c, bool render) {
    e.advance = 0;
    if (!Fonts.usable || !SetFaceSize(face, pixels)) return;
    FT_Face f = Fonts.faces[face].face;
    const FT_Int32 flags = render ? FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Char(f, c, flags) != 0) return;
    e.advance = static_cast<int16_t>((f->glyph->advance.x + 32) >> 6);
    if (!render) return;
    e.rendered = true;
    const FT_Bitmap& b = f->glyph->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY || b.width == 0 || b.rows == 0) return;
    const size_t bytes = static_cast<size_t>(b.width) * b.rows;
    if (bytes > CoverageBytes - Cache.coverageUsed) return;  // the caller makes room first
    uint8_t* out = Cache.coverage + Cache.coverageUsed;
    for (unsigned int y = 0; y < b.rows; ++y)
        std::copy_n(b.buffer + static_cast<ptrdiff_t>(y) * b.pitch, b.width, out + static_cast<size_t>(y) * b.width);
    Cache.coverageUsed += bytes;
    e.glyph = Glyph{static_cast<int16_t>(f->glyph->bitmap_left), static_cast<int16_t>(f->glyph->bitmap_top),
                    static_cast<uint16_t>(b.width), static_cast<uint16_t>(b.rows), e.advance, out};
}

// The largest coverage a glyph of this em size can need: generous, so a glyph never fails
// for want of room right after the cache was emptied.
size_t CoverageBound(int32_t pixels) { return static_cast<size_t>(pixels * 2) * static_cast<size_t>(pixels * 2); }

}  // namespace

// ---------------------------------------------------------------------------------------
// Shared with the other drawing files
// ---------------------------------------------------------------------------------------

namespace detail {

const Font& FindFont(FontId id) {
    Start();
    const FontSlot* s = FindSlot(id);
    return s != nullptr ? s->font : Fonts.slots[DefaultSlot].font;
}

int32_t Advance(const Font& font, char16_t c) {
    if (c < 0x20) return 0;
    CachedGlyph& e = CacheEntry(GlyphKey(font.face, font.pixels, c));
    if (e.advance < 0) LoadGlyph(e, font.face, font.pixels, c, false);
    return e.advance;
}

const Glyph* RenderedGlyph(const Font& font, int32_t scale, char16_t c) {
    if (c < 0x20) return nullptr;
    const int32_t pixels = font.pixels * scale;
    const uint32_t key = GlyphKey(font.face, pixels, c);
    CachedGlyph* e = &CacheEntry(key);
    if (!e->rendered) {
        if (CoverageBound(pixels) > CoverageBytes - Cache.coverageUsed) {
            ClearCache();
            e = &CacheEntry(key);
        }
        LoadGlyph(*e, font.face, pixels, c, true);
    }
    return e->glyph.coverage != nullptr ? &e->glyph : nullptr;
}

bool HasGlyph(const Font& font, char16_t c) {
    return Fonts.usable && FT_Get_Char_Index(Fonts.faces[font.face].face, c) != 0;
}

}  // namespace detail

FontId DefaultFont() {
    Start();
    return MakeFontId(DefaultSlot, Fonts.slots[DefaultSlot].generation);
}

Size MeasureText(FontId font, const char16_t* text, int32_t count) {
    const Font& f = detail::FindFont(font);
    int32_t width = 0;
    if (text != nullptr)
        for (int32_t i = 0; count < 0 ? text[i] != 0 : i < count; ++i) width += detail::Advance(f, text[i]);
    return Size{width, f.metrics.height};
}

TextMetrics FontMetrics(FontId font) { return detail::FindFont(font).metrics; }

}  // namespace plat::draw

// ---------------------------------------------------------------------------------------
// The public font operations
// ---------------------------------------------------------------------------------------

namespace plat {

FontDescription SystemFontDescription() {
    draw::Start();
    return FontDescription{draw::Fonts.slots[draw::DefaultSlot].font.pixels, draw::DefaultWeight};
}

FontId CreateFont(const FontDescription& description) {
    draw::Start();
    const auto face = description.weight >= draw::BoldWeight ? draw::detail::BoldFace : draw::detail::RegularFace;
    const int32_t pixels = std::clamp(std::abs(description.height), 1, draw::MaxFontPixels);
    for (int32_t i = 0; i < draw::MaxFonts; ++i) {
        draw::FontSlot& s = draw::Fonts.slots[i];
        if (s.inUse) continue;
        s.inUse = true;
        s.generation = static_cast<uint16_t>((s.generation + 1) & 0x7FFF);
        s.font = draw::detail::Font{face, pixels, draw::MetricsOf(face, pixels)};
        return draw::MakeFontId(i, s.generation);
    }
    return 0;
}

void DeleteFont(FontId font) {
    draw::FontSlot* s = draw::FindSlot(font);
    if (s != nullptr && s != &draw::Fonts.slots[draw::DefaultSlot]) s->inUse = false;
}

int32_t ScreenDpiY() { return draw::LogicalDpi; }

TextMetrics DefaultFontMetrics() { return draw::FontMetrics(draw::DefaultFont()); }

}  // namespace plat
