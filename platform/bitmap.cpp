// Bitmap resources: decoding the BMP files that ReadBitmap checks (uncompressed, bottom-up,
// 1, 4, 8 and 24 bits per pixel) into a cache of XRGB pixels in fixed storage, the
// loaded-bitmap handles, and copying bitmaps (or one cell of a strip) onto surfaces at the
// framebuffer's scale. The page code loads pictures through here; the command bar its images.
#include <algorithm>
#include <cstring>

#include "platform/draw_private.h"
#include "platform/resource_formats.h"
#include "platform/resources.h"

namespace plat {
namespace {

// Decoded pixels of recently loaded bitmaps are kept, so loading the same picture again
// (the layout loads each picture twice a paint) costs a lookup. Entries no handle holds
// are dropped, least recently used first, when a new bitmap needs room.
constexpr int32_t MaxCachedBitmaps = 48;
constexpr size_t CachePixels = size_t{2} << 20;  // 8 MB of XRGB

struct CachedBitmap {
    int32_t resourceId;  // 0: an empty entry
    int32_t width, height;
    size_t offset;       // into BitmapCache.pixels
    int32_t handles;     // live BitmapIds that use it
    uint32_t lastUse;
};

struct BitmapCache {
    uint32_t clock;
    size_t used;
    CachedBitmap entries[MaxCachedBitmaps];
    uint32_t pixels[CachePixels];
};
BitmapCache Cache;

struct BitmapHandle {
    bool inUse;
    uint16_t generation;
    int32_t entry;
};
BitmapHandle Handles[draw::MaxBitmaps];

constexpr int32_t SlotBits = 8;

BitmapId MakeBitmapId(int32_t slot, uint16_t generation) {
    return (static_cast<int32_t>(generation) << SlotBits) | (slot + 1);
}

const CachedBitmap* FindBitmap(BitmapId id) {
    const int32_t slot = (id & ((1 << SlotBits) - 1)) - 1;
    if (id <= 0 || slot < 0 || slot >= draw::MaxBitmaps) return nullptr;
    const BitmapHandle& h = Handles[slot];
    if (!h.inUse || MakeBitmapId(slot, h.generation) != id) return nullptr;
    return &Cache.entries[h.entry];
}

// ---------------------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------------------

// Decodes a checked BMP (ReadBitmap) into XRGB rows, the top row first.
void DecodeBitmap(const BitmapView& bmp, uint32_t* out) {
    const auto paletteSize = static_cast<uint32_t>(bmp.paletteCount);
    const auto color = [&](uint32_t index) -> uint32_t {
        if (index >= paletteSize) return 0;  // outside the palette: black
        const uint8_t* p = bmp.palette + size_t{index} * 4;
        return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    };
    const auto stride = static_cast<size_t>(bmp.stride);
    for (int32_t y = 0; y < bmp.height; ++y) {
        const uint8_t* src = bmp.pixels + static_cast<size_t>(bmp.height - 1 - y) * stride;
        uint32_t* row = out + static_cast<size_t>(y) * static_cast<size_t>(bmp.width);
        for (int32_t x = 0; x < bmp.width; ++x) {
            switch (bmp.bitsPerPixel) {
                case 1: row[x] = color((src[x >> 3] >> (7 - (x & 7))) & 1); break;
                case 4: row[x] = color((src[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 0xF); break;
                case 8: row[x] = color(src[x]); break;
                default: {
                    const uint8_t* p = src + static_cast<size_t>(x) * 3;
                    row[x] = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// The decoded cache
// ---------------------------------------------------------------------------------------

size_t PixelCount(const CachedBitmap& e) { return static_cast<size_t>(e.width) * static_cast<size_t>(e.height); }

// Drops every entry that no handle holds and packs the others to the start of the store.
void DropUnused() {
    int32_t order[MaxCachedBitmaps];
    int32_t live = 0;
    for (int32_t i = 0; i < MaxCachedBitmaps; ++i) {
        CachedBitmap& e = Cache.entries[i];
        if (e.resourceId == 0) continue;
        if (e.handles == 0) e.resourceId = 0;
        else order[live++] = i;
    }
    std::sort(order, order + live,
              [](int32_t a, int32_t b) { return Cache.entries[a].offset < Cache.entries[b].offset; });
    size_t next = 0;
    for (int32_t i = 0; i < live; ++i) {
        CachedBitmap& e = Cache.entries[order[i]];
        std::memmove(Cache.pixels + next, Cache.pixels + e.offset, PixelCount(e) * sizeof(uint32_t));
        e.offset = next;
        next += PixelCount(e);
    }
    Cache.used = next;
}

// Returns a free entry, dropping the least recently used unheld one when all are taken;
// -1 when every entry is held.
int32_t FreeEntry() {
    int32_t oldest = -1;
    for (int32_t i = 0; i < MaxCachedBitmaps; ++i) {
        const CachedBitmap& e = Cache.entries[i];
        if (e.resourceId == 0) return i;
        if (e.handles == 0 && (oldest < 0 || e.lastUse < Cache.entries[oldest].lastUse)) oldest = i;
    }
    if (oldest >= 0) Cache.entries[oldest].resourceId = 0;  // its pixels go at the next packing
    return oldest;
}

// Finds or decodes the bitmap resource; -1 when it is missing, malformed or has no room.
int32_t CachedEntry(int32_t resourceId) {
    for (int32_t i = 0; i < MaxCachedBitmaps; ++i)
        if (Cache.entries[i].resourceId == resourceId) return i;
    const ResourceEntry* resource = FindResource(ResourceType::Bitmap, resourceId);
    BitmapView bmp;
    if (resource == nullptr || resource->data == nullptr || ReadBitmap(resource->data, resource->size, bmp))
        return -1;
    const size_t pixels = static_cast<size_t>(bmp.width) * static_cast<size_t>(bmp.height);
    if (pixels > CachePixels - Cache.used) DropUnused();
    if (pixels > CachePixels - Cache.used) return -1;
    const int32_t i = FreeEntry();
    if (i < 0) return -1;
    Cache.entries[i] = CachedBitmap{resourceId, bmp.width, bmp.height, Cache.used, 0, 0};
    DecodeBitmap(bmp, Cache.pixels + Cache.used);
    Cache.used += pixels;
    return i;
}

// Copies the part src (bitmap coordinates) of a cached bitmap to (x, y) of the surface.
void CopyBitmap(SurfaceId surface, const CachedBitmap& bitmap, const Rect& src, int32_t x, int32_t y) {
    const draw::detail::Surface* s = draw::detail::FindSurface(surface);
    if (s == nullptr) return;
    const int32_t w = src.right - src.left, h = src.bottom - src.top;
    const Rect area = draw::detail::DrawableArea(*s, Rect{x, y, x + w, y + h});
    if (draw::detail::IsEmpty(area)) return;
    // Source pixel of screen pixel (sx, sy): (sx - dx, sy - dy), nearest neighbour at the scale.
    const int32_t dx = x + s->originX - src.left, dy = y + s->originY - src.top, scale = draw::Scale();
    for (int32_t py = area.top * scale; py < area.bottom * scale; ++py) {
        const uint32_t* from = Cache.pixels + bitmap.offset + static_cast<size_t>(py / scale - dy) * bitmap.width;
        uint32_t* row = draw::detail::DeviceRow(py);
        for (int32_t px = area.left * scale; px < area.right * scale; ++px) row[px] = from[px / scale - dx];
    }
    draw::detail::MarkChanged(area);
}

void ReportBitmap(SurfaceId surface, draw::DrawOp op, BitmapId bitmap, int32_t cell, const Rect& placed) {
    const draw::detail::Surface* s = draw::detail::FindSurface(surface);
    if (s == nullptr) return;
    draw::detail::Report({op, surface, draw::detail::Offset(placed, s->originX, s->originY), s->clip, 0, 0, bitmap,
                          cell, nullptr, 0});
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The public bitmap operations
// ---------------------------------------------------------------------------------------

BitmapId LoadBitmap(int32_t resourceId) {
    if (resourceId == 0) return 0;
    for (int32_t slot = 0; slot < draw::MaxBitmaps; ++slot) {
        BitmapHandle& h = Handles[slot];
        if (h.inUse) continue;
        const int32_t entry = CachedEntry(resourceId);
        if (entry < 0) return 0;
        CachedBitmap& e = Cache.entries[entry];
        ++e.handles;
        e.lastUse = ++Cache.clock;
        h = BitmapHandle{true, static_cast<uint16_t>((h.generation + 1) & 0x7FFF), entry};
        return MakeBitmapId(slot, h.generation);
    }
    return 0;
}

bool GetBitmapSize(BitmapId bitmap, Size& size) {
    const CachedBitmap* e = FindBitmap(bitmap);
    if (e == nullptr) return false;
    size = Size{e->width, e->height};
    return true;
}

void DrawBitmap(SurfaceId surface, BitmapId bitmap, int32_t x, int32_t y) {
    const CachedBitmap* e = FindBitmap(bitmap);
    if (e == nullptr) return;
    ReportBitmap(surface, draw::DrawOp::Bitmap, bitmap, 0, Rect{x, y, x + e->width, y + e->height});
    CopyBitmap(surface, *e, Rect{0, 0, e->width, e->height}, x, y);
}

void DrawBitmapCell(SurfaceId surface, BitmapId bitmap, int32_t cell, int32_t cellWidth, int32_t x, int32_t y) {
    const CachedBitmap* e = FindBitmap(bitmap);
    if (e == nullptr || cell < 0 || cellWidth <= 0 || cell > (e->width - 1) / cellWidth) return;
    const Rect src{cell * cellWidth, 0, std::min(e->width, (cell + 1) * cellWidth), e->height};
    ReportBitmap(surface, draw::DrawOp::BitmapCell, bitmap, cell, Rect{x, y, x + src.right - src.left, y + e->height});
    CopyBitmap(surface, *e, src, x, y);
}

int32_t draw::BitmapResourceId(BitmapId bitmap) {
    const CachedBitmap* e = FindBitmap(bitmap);
    return e != nullptr ? e->resourceId : 0;
}

bool ReleaseBitmap(BitmapId bitmap) {
    if (FindBitmap(bitmap) == nullptr) return false;
    BitmapHandle& h = Handles[(bitmap & ((1 << SlotBits) - 1)) - 1];
    --Cache.entries[h.entry].handles;
    h.inUse = false;
    return true;
}

}  // namespace plat
