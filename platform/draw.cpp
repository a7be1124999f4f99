// The framebuffer and the surfaces that draw on it: the device pixels at scale 1..3, the
// surface table (screen surfaces with an origin and a clip, compatible surfaces without
// pixels), rectangles, inversion, scrolling, 1-bit chrome images and the draw observer.
// The window system and the page code call it; text and bitmaps live in their own files.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/draw_private.h"

namespace plat::draw {
namespace {

constexpr int32_t MaxPixelWidth = ScreenWidth * MaxScale;
constexpr int32_t MaxPixelHeight = ScreenHeight * MaxScale;
constexpr uint32_t White = 0xFFFFFF;

struct Framebuffer {
    int32_t scale = 1;
    Rect changed{0, 0, 0, 0};
    DrawObserver observer = nullptr;
    uint32_t pixels[MaxPixelWidth * MaxPixelHeight];
};
Framebuffer Screen;

detail::Surface Surfaces[MaxSurfaces];

constexpr int32_t SlotBits = 8;

SurfaceId MakeSurfaceId(int32_t slot, uint16_t generation) {
    return (static_cast<int32_t>(generation) << SlotBits) | (slot + 1);
}

// Returns the device rectangle of a logical screen rectangle.
Rect ToDevice(const Rect& r) {
    const int32_t s = Screen.scale;
    return Rect{r.left * s, r.top * s, r.right * s, r.bottom * s};
}

void FillDevice(const Rect& logical, uint32_t rgb) {
    const Rect d = ToDevice(logical);
    for (int32_t y = d.top; y < d.bottom; ++y) {
        uint32_t* row = detail::DeviceRow(y);
        std::fill(row + d.left, row + d.right, rgb & 0xFFFFFF);
    }
    detail::MarkChanged(logical);
}

SurfaceId NewSurface(bool onScreen, int32_t originX, int32_t originY, const Rect& clip) {
    for (int32_t i = 0; i < MaxSurfaces; ++i) {
        detail::Surface& s = Surfaces[i];
        if (s.inUse) continue;
        const auto generation = static_cast<uint16_t>((s.generation + 1) & 0x7FFF);
        s = detail::Surface{true, onScreen, generation, originX, originY,
                            detail::Intersect(clip, detail::ScreenRect), DefaultFont(), 0x000000};
        return MakeSurfaceId(i, generation);
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Shared with the other drawing files
// ---------------------------------------------------------------------------------------

namespace detail {

Surface* FindSurface(SurfaceId id) {
    const int32_t slot = (id & ((1 << SlotBits) - 1)) - 1;
    if (id <= 0 || slot < 0 || slot >= MaxSurfaces) return nullptr;
    Surface& s = Surfaces[slot];
    if (!s.inUse || MakeSurfaceId(slot, s.generation) != id) return nullptr;
    return &s;
}

uint32_t* DeviceRow(int32_t y) { return Screen.pixels + static_cast<size_t>(y) * PixelWidth(); }

void MarkChanged(const Rect& r) {
    if (IsEmpty(r)) return;
    Rect& c = Screen.changed;
    if (IsEmpty(c)) {
        c = r;
        return;
    }
    c = Rect{std::min(c.left, r.left), std::min(c.top, r.top), std::max(c.right, r.right),
             std::max(c.bottom, r.bottom)};
}

void Report(const DrawRecord& record) {
    if (Screen.observer != nullptr) Screen.observer(record);
}

Rect DrawableArea(const Surface& surface, const Rect& rect) {
    if (!surface.onScreen) return Rect{0, 0, 0, 0};
    return Intersect(Offset(rect, surface.originX, surface.originY), surface.clip);
}

}  // namespace detail

// ---------------------------------------------------------------------------------------
// The framebuffer
// ---------------------------------------------------------------------------------------

void InitFramebuffer(int32_t scale) {
    Screen.scale = std::clamp(scale, 1, MaxScale);
    FillDevice(detail::ScreenRect, White);
}

int32_t Scale() { return Screen.scale; }
const uint32_t* Pixels() { return Screen.pixels; }
int32_t PixelWidth() { return ScreenWidth * Screen.scale; }
int32_t PixelHeight() { return ScreenHeight * Screen.scale; }

Rect TakeChangedRect() {
    const Rect r = Screen.changed;
    Screen.changed = Rect{0, 0, 0, 0};
    return r;
}

DrawObserver SetDrawObserver(DrawObserver observer) {
    const DrawObserver previous = Screen.observer;
    Screen.observer = observer;
    return previous;
}

// ---------------------------------------------------------------------------------------
// Screen surfaces and screen-wide operations
// ---------------------------------------------------------------------------------------

SurfaceId CreateScreenSurface(int32_t originX, int32_t originY, const Rect& clip) {
    return NewSurface(true, originX, originY, clip);
}

bool SetSurfaceOrigin(SurfaceId surface, int32_t originX, int32_t originY) {
    detail::Surface* s = detail::FindSurface(surface);
    if (s == nullptr) return false;
    s->originX = originX;
    s->originY = originY;
    return true;
}

bool SetSurfaceClip(SurfaceId surface, const Rect& clip) {
    detail::Surface* s = detail::FindSurface(surface);
    if (s == nullptr) return false;
    s->clip = detail::Intersect(clip, detail::ScreenRect);
    return true;
}

void FillScreenRect(const Rect& screenRect, uint32_t rgb) {
    FillDevice(detail::Intersect(screenRect, detail::ScreenRect), rgb);
}

void ScrollScreenRect(const Rect& screenRect, int32_t dy) {
    const Rect r = detail::Intersect(screenRect, detail::ScreenRect);
    if (detail::IsEmpty(r) || dy == 0 || std::abs(dy) >= r.bottom - r.top) return;
    const Rect d = ToDevice(r);
    const int32_t shift = dy * Screen.scale;
    const auto bytes = static_cast<size_t>(d.right - d.left) * sizeof(uint32_t);
    // Copy rows in the order that never overwrites a row before it has moved.
    if (shift < 0) {
        for (int32_t y = d.top; y < d.bottom + shift; ++y)
            std::memcpy(detail::DeviceRow(y) + d.left, detail::DeviceRow(y - shift) + d.left, bytes);
    } else {
        for (int32_t y = d.bottom - 1; y >= d.top + shift; --y)
            std::memcpy(detail::DeviceRow(y) + d.left, detail::DeviceRow(y - shift) + d.left, bytes);
    }
    detail::MarkChanged(r);
}

void DrawMonoImage(SurfaceId surface, const uint8_t* rows, int32_t width, int32_t height, int32_t x,
                   int32_t y, uint32_t rgb) {
    const detail::Surface* s = detail::FindSurface(surface);
    if (s == nullptr || rows == nullptr || width <= 0 || height <= 0) return;
    const Rect area = detail::DrawableArea(*s, Rect{x, y, x + width, y + height});
    if (detail::IsEmpty(area)) return;
    const int32_t left = x + s->originX, top = y + s->originY, scale = Screen.scale;
    const int32_t stride = (width + 7) / 8;
    const Rect d = ToDevice(area);
    for (int32_t dy = d.top; dy < d.bottom; ++dy) {
        const uint8_t* src = rows + static_cast<size_t>(dy / scale - top) * stride;
        uint32_t* row = detail::DeviceRow(dy);
        for (int32_t dx = d.left; dx < d.right; ++dx) {
            const int32_t bit = dx / scale - left;
            if ((src[bit >> 3] & (0x80 >> (bit & 7))) != 0) row[dx] = rgb & 0xFFFFFF;
        }
    }
    detail::MarkChanged(area);
}

}  // namespace plat::draw

// ---------------------------------------------------------------------------------------
// The public drawing operations on surfaces
// ---------------------------------------------------------------------------------------

namespace plat {

using draw::detail::FindSurface;

SurfaceId CreateCompatibleSurface() { return draw::NewSurface(false, 0, 0, Rect{0, 0, 0, 0}); }

bool DeleteSurface(SurfaceId surface) {
    draw::detail::Surface* s = FindSurface(surface);
    if (s == nullptr) return false;
    s->inUse = false;
    return true;
}

uint32_t SetTextColor(SurfaceId surface, uint32_t rgb) {
    draw::detail::Surface* s = FindSurface(surface);
    if (s == nullptr) return 0;
    const uint32_t previous = s->textColor;
    s->textColor = rgb & 0xFFFFFF;
    return previous;
}

void FillRect(SurfaceId surface, const Rect& rect, uint32_t rgb) {
    const draw::detail::Surface* s = FindSurface(surface);
    if (s == nullptr) return;
    draw::detail::Report({draw::DrawOp::Fill, surface, draw::detail::Offset(rect, s->originX, s->originY),
                          s->clip, 0, rgb, 0, 0, nullptr, 0});
    draw::FillDevice(draw::detail::DrawableArea(*s, rect), rgb);
}

void FrameRect(SurfaceId surface, const Rect& rect, uint32_t rgb) {
    const draw::detail::Surface* s = FindSurface(surface);
    if (s == nullptr || draw::detail::IsEmpty(rect)) return;
    draw::detail::Report({draw::DrawOp::Frame, surface, draw::detail::Offset(rect, s->originX, s->originY),
                          s->clip, 0, rgb, 0, 0, nullptr, 0});
    const Rect edges[4] = {
        {rect.left, rect.top, rect.right, rect.top + 1},
        {rect.left, rect.bottom - 1, rect.right, rect.bottom},
        {rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1},
        {rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1},
    };
    for (const Rect& edge : edges) draw::FillDevice(draw::detail::DrawableArea(*s, edge), rgb);
}

void InvertRect(SurfaceId surface, const Rect& rect) {
    const draw::detail::Surface* s = FindSurface(surface);
    if (s == nullptr) return;
    draw::detail::Report({draw::DrawOp::Invert, surface, draw::detail::Offset(rect, s->originX, s->originY),
                          s->clip, 0, 0, 0, 0, nullptr, 0});
    const Rect area = draw::detail::DrawableArea(*s, rect);
    const Rect d = draw::ToDevice(area);
    for (int32_t y = d.top; y < d.bottom; ++y) {
        uint32_t* row = draw::detail::DeviceRow(y);
        for (int32_t x = d.left; x < d.right; ++x) row[x] ^= 0xFFFFFF;
    }
    draw::detail::MarkChanged(area);
}

}  // namespace plat
