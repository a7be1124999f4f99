// Painting: the region each window has to repaint, erasing, BeginPaint and EndPaint onto
// the shared framebuffer, painting at once (UpdateWindow), scrolling a window's pixels,
// and presenting the screen. Children are painted after their parent so they stay on top.
#include "platform/draw_internal.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

bool NeedsPaint(const WindowRecord& r) { return r.frameInvalid || !IsEmpty(r.invalid); }

Rect ClientBounds(const WindowRecord& r) {
    const Rect client = ClientScreenRect(r);
    return Rect{0, 0, Width(client), Height(client)};
}

// Returns the first shown window, this one or inside it, that needs painting.
WindowRecord* FindInTree(WindowRecord& r) {
    if (NeedsPaint(r)) return &r;
    const WindowId id = IdOf(r);
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& child = Slot(i);
        if (child.kind == WindowKind::Free || child.parent != id || !child.visible) continue;
        if (WindowRecord* found = FindInTree(child)) return found;
    }
    return nullptr;
}

// Children lying under a part that their parent repaints are drawn again after it.
void InvalidateChildrenUnder(WindowRecord& parent, const Rect& clientPart) {
    const WindowId id = IdOf(parent);
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& child = Slot(i);
        if (child.kind == WindowKind::Free || child.parent != id || !child.visible) continue;
        const Rect overlap = Intersect(child.rect, clientPart);
        if (IsEmpty(overlap)) continue;
        child.frameInvalid = true;
        const Rect childClient = ClientScreenRect(child);
        const Rect childScreen = ScreenRect(child);
        const int32_t dx = childScreen.left - childClient.left, dy = childScreen.top - childClient.top;
        InvalidateClient(child, Offset(overlap, -child.rect.left + dx, -child.rect.top + dy), true);
    }
}

// Top-level windows above one that just painted a part of the screen are drawn again there.
void InvalidateTopLevelsAbove(const WindowRecord& painted, const Rect& screenPart) {
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& other = Slot(i);
        if (other.kind == WindowKind::Free || other.parent != NoWindow || !other.visible || &other == &painted) continue;
        const bool above = other.topmost != painted.topmost ? other.topmost : other.zOrder > painted.zOrder;
        if (!above || IsEmpty(Intersect(other.rect, screenPart))) continue;
        other.frameInvalid = true;
        const Rect client = ClientScreenRect(other);
        InvalidateClient(other, Offset(Intersect(client, screenPart), -client.left, -client.top), true);
    }
}

// Draws the border and the scroll bar of a window.
void DrawFrame(WindowRecord& record) {
    record.frameInvalid = false;
    if (!IsShown(record)) return;
    if ((record.style & StyleBorder) != 0) {
        const Rect outer = ScreenRect(record);
        Rect clip = Intersect(outer, Rect{0, 0, ScreenWidth, ScreenHeight});
        if (WindowRecord* parent = Find(record.parent)) clip = Intersect(clip, VisibleClientClip(*parent));
        const SurfaceId surface = draw::CreateScreenSurface(0, 0, clip);
        FrameRect(surface, outer, 0x000000);
        DeleteSurface(surface);
    }
    if ((record.style & StyleVScroll) != 0) DrawScrollBar(record);
}

}  // namespace

void InvalidateClient(WindowRecord& record, const Rect& clientRect, bool erase) {
    const Rect part = Intersect(clientRect, ClientBounds(record));
    if (IsEmpty(part)) return;
    record.invalid = Union(record.invalid, part);
    record.eraseNeeded = record.eraseNeeded || erase;
}

void ExposeScreenArea(const Rect& screenRect) {
    const Rect area = Intersect(screenRect, Rect{0, 0, ScreenWidth, ScreenHeight});
    if (IsEmpty(area)) return;
    draw::FillScreenRect(area, DesktopBackground);
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& r = Slot(i);
        if (r.kind == WindowKind::Free || r.parent != NoWindow || !r.visible) continue;
        if (IsEmpty(Intersect(r.rect, area))) continue;
        r.frameInvalid = true;
        const Rect client = ClientScreenRect(r);
        InvalidateClient(r, Offset(Intersect(client, area), -client.left, -client.top), true);
    }
}

void DispatchPaint(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr || r->painting) return;
    if (r->frameInvalid) DrawFrame(*r);
    if (IsEmpty(r->invalid)) return;
    if (!IsShown(*r)) {
        r->invalid = Rect{0, 0, 0, 0};  // a hidden window is painted in full when shown
        return;
    }
    const uint32_t begun = r->paintsBegun;
    SendMessage(window, MsgPaint, 0, 0);
    r = Find(window);
    if (r != nullptr && r->paintsBegun == begun && !r->painting) {
        r->invalid = Rect{0, 0, 0, 0};
        r->eraseNeeded = false;
    }
}

void PaintNow(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr || !IsShown(*r) || r->painting) return;
    DispatchPaint(window);
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& child = Slot(i);
        if (child.kind != WindowKind::Free && child.parent == window && child.visible) {
            if (FindInTree(child) != nullptr) PaintNow(IdOf(child));
        }
    }
}

bool NextPaintMessage(MessageRecord& out) {
    for (;;) {
        WindowRecord* found = nullptr;
        for (int32_t i = 0; i < MaxWindows && found == nullptr; ++i) {
            WindowRecord& r = Slot(i);
            if (r.kind != WindowKind::Free && r.parent == NoWindow && r.visible) found = FindInTree(r);
        }
        if (found == nullptr) return false;
        if (found->frameInvalid) DrawFrame(*found);
        if (!IsEmpty(found->invalid)) {
            out = MessageRecord{IdOf(*found), MsgPaint, 0, 0};
            return true;
        }
    }
}

}  // namespace ws

using namespace ws;

void InvalidateWindow(WindowId window, bool erase) {
    WindowRecord* r = Find(window);
    if (r != nullptr) InvalidateClient(*r, ClientBounds(*r), erase);
}

void UpdateWindow(WindowId window) { PaintNow(window); }

SurfaceId BeginPaint(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return 0;
    const Rect paint = Intersect(r->invalid, ClientBounds(*r));
    const Rect origin = ClientScreenRect(*r);
    const Rect clip = IsShown(*r) ? Intersect(Offset(paint, origin.left, origin.top), VisibleClientClip(*r))
                                  : Rect{0, 0, 0, 0};
    const SurfaceId surface = draw::CreateScreenSurface(origin.left, origin.top, clip);
    const bool erase = r->eraseNeeded && !IsEmpty(clip);
    if (erase) draw::FillScreenRect(clip, WindowBackground);
    r->invalid = Rect{0, 0, 0, 0};
    r->eraseNeeded = false;
    r->painting = true;
    r->paintRect = paint;
    r->paintErased = erase;
    ++r->paintsBegun;
    if (!IsEmpty(clip)) {
        InvalidateChildrenUnder(*r, paint);
        if (r->parent == NoWindow) InvalidateTopLevelsAbove(*r, clip);
    }
    return surface;
}

void EndPaint(WindowId window, SurfaceId surface) {
    if (surface != 0) DeleteSurface(surface);
    if (WindowRecord* r = Find(window)) {
        r->painting = false;
        r->paintRect = Rect{0, 0, 0, 0};
    }
}

void ScrollWindow(WindowId window, int32_t dy, const Rect& rect, const Rect& clip) {
    WindowRecord* r = Find(window);
    if (r == nullptr || dy == 0) return;
    const Rect area = Intersect(Intersect(rect, clip), ClientBounds(*r));
    if (IsShown(*r) && !IsEmpty(area)) {
        const Rect origin = ClientScreenRect(*r);
        draw::ScrollScreenRect(Intersect(Offset(area, origin.left, origin.top), VisibleClientClip(*r)), dy);
        // A part that was waiting to be repainted has moved with the pixels.
        if (!IsEmpty(r->invalid)) InvalidateClient(*r, Offset(Intersect(r->invalid, area), 0, dy), r->eraseNeeded);
        const Rect uncovered = dy < 0 ? Rect{area.left, std::max(area.top, area.bottom + dy), area.right, area.bottom}
                                      : Rect{area.left, area.top, area.right, std::min(area.bottom, area.top + dy)};
        InvalidateClient(*r, uncovered, true);
    }
    for (int32_t i = 0; i < MaxWindows; ++i) {
        WindowRecord& child = Slot(i);
        if (child.kind == WindowKind::Free || child.parent != window) continue;
        if (IsEmpty(Intersect(child.rect, rect))) continue;
        child.rect = Offset(child.rect, 0, dy);
        // Its pixels moved too, but parts of it may have come in from outside the clip.
        if (IsShown(child)) {
            child.frameInvalid = true;
            InvalidateClient(child, ClientBounds(child), true);
        }
    }
}

void device::PresentIfChanged() {
    if (IsEmpty(draw::TakeChangedRect())) return;
    device::Current().present(draw::Pixels(), draw::PixelWidth(), draw::PixelHeight());
}

}  // namespace plat
