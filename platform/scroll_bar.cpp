// The vertical scroll bar of a window: its range, page and position (clamped to minimum ..
// maximum - page + 1), its drawing at the right edge of the window, and its input: arrows
// scroll a line, the track a page, and the thumb is dragged. Each step reaches the window
// as MsgVScroll, and the window sets the new position itself.
#include "platform/draw_internal.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr int32_t MinimumThumb = 8;
constexpr uint32_t RepeatTimer = 1;
constexpr uint32_t FirstRepeatMs = 400;  // holding an arrow or the track repeats its step
constexpr uint32_t RepeatMs = 100;
constexpr uint32_t NoPart = UINT32_MAX;
constexpr uint32_t TrackColour = 0xE8E8E8;
constexpr uint32_t ButtonColour = 0xD6D3CE;
constexpr uint32_t ArrowColour = 0x000000;
constexpr uint32_t DisabledArrowColour = 0x9C9A9C;
constexpr uint32_t PressedColour = 0x808080;

// 7 x 4 triangles, one byte a row.
constexpr uint8_t UpArrow[4] = {0x10, 0x38, 0x7C, 0xFE};
constexpr uint8_t DownArrow[4] = {0xFE, 0x7C, 0x38, 0x10};

struct BarGeometry {
    Rect up, down, track, thumb;
    bool enabled;
    int32_t maxPosition;
};

int32_t MaxPosition(const ScrollInfo& info) {
    const int64_t maximum = std::max(info.maximum, info.minimum);
    const int64_t range = maximum - info.minimum + 1;
    const int64_t page = std::clamp<int64_t>(info.page, 0, range);
    return static_cast<int32_t>(maximum - std::max<int64_t>(page - 1, 0));
}

// The position kept within minimum .. maximum - page + 1.
int32_t ClampedPosition(const ScrollInfo& info) {
    return std::clamp(info.position, info.minimum, std::max(info.minimum, MaxPosition(info)));
}

BarGeometry Geometry(const WindowRecord& r) {
    BarGeometry g{};
    const Rect bar = ScrollBarScreenRect(r);
    const int32_t arrow = std::min(ScrollBarWidth, Height(bar) / 2);
    g.up = {bar.left, bar.top, bar.right, bar.top + arrow};
    g.down = {bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    g.track = {bar.left, g.up.bottom, bar.right, g.down.top};
    const ScrollInfo& info = r.scroll.info;
    g.maxPosition = MaxPosition(info);
    const int32_t length = Height(g.track);
    g.enabled = g.maxPosition > info.minimum && length > 0;
    if (!g.enabled) return g;
    const int64_t range = static_cast<int64_t>(std::max(info.maximum, info.minimum)) - info.minimum + 1;
    int32_t thumb = info.page > 0 ? static_cast<int32_t>(length * static_cast<int64_t>(info.page) / range) : 0;
    thumb = std::min(std::max(thumb, MinimumThumb), length);
    const int32_t position = r.scroll.dragging ? info.trackPosition : info.position;
    const int32_t top = g.track.top + static_cast<int32_t>(static_cast<int64_t>(length - thumb) *
                                                           (position - info.minimum) / (g.maxPosition - info.minimum));
    g.thumb = {bar.left, top, bar.right, top + thumb};
    return g;
}

// The position that puts the thumb's top at thumbTop, rounded to the nearest.
int32_t PositionAt(const WindowRecord& r, const BarGeometry& g, int32_t thumbTop) {
    const int32_t free = Height(g.track) - Height(g.thumb);
    const int32_t minimum = r.scroll.info.minimum;
    if (free <= 0) return minimum;
    const int64_t span = static_cast<int64_t>(g.maxPosition) - minimum;
    return minimum + static_cast<int32_t>(((thumbTop - g.track.top) * span + free / 2) / free);
}

void DrawButton(SurfaceId surface, const Rect& box, const uint8_t* arrow, bool enabled, bool pressed) {
    FillRect(surface, box, pressed ? PressedColour : ButtonColour);
    FrameRect(surface, box, 0x000000);
    draw::DrawMonoImage(surface, arrow, 7, 4, box.left + (Width(box) - 7) / 2, box.top + (Height(box) - 4) / 2,
                        enabled ? ArrowColour : DisabledArrowColour);
}

// Sends one scroll step; false when the window went away while handling it.
bool SendScroll(WindowId window, uint32_t code, int32_t position) {
    const auto wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(position)) << 16) | code;
    SendMessage(window, MsgVScroll, wParam, 0);
    return Find(window) != nullptr;
}

}  // namespace

void DrawScrollBar(WindowRecord& record) {
    const Rect bar = ScrollBarScreenRect(record);
    if (IsEmpty(bar) || !IsShown(record)) return;
    Rect clip = bar;
    if (WindowRecord* parent = Find(record.parent)) clip = Intersect(clip, VisibleClientClip(*parent));
    const SurfaceId surface = draw::CreateScreenSurface(0, 0, clip);
    if (surface == 0) return;
    const BarGeometry g = Geometry(record);
    const uint32_t pressed = record.scroll.pressedCode;
    FillRect(surface, bar, TrackColour);
    FrameRect(surface, bar, 0x000000);
    DrawButton(surface, g.up, UpArrow, g.enabled, pressed == ScrollLineUp);
    DrawButton(surface, g.down, DownArrow, g.enabled, pressed == ScrollLineDown);
    if (g.enabled) {
        if (pressed == ScrollPageUp) FillRect(surface, Rect{g.track.left, g.track.top, g.track.right, g.thumb.top}, PressedColour);
        if (pressed == ScrollPageDown) FillRect(surface, Rect{g.track.left, g.thumb.bottom, g.track.right, g.track.bottom}, PressedColour);
        FillRect(surface, g.thumb, ButtonColour);
        FrameRect(surface, g.thumb, 0x000000);
    }
    DeleteSurface(surface);
}

bool ScrollBarPointer(WindowRecord& record, uint32_t message, int32_t x, int32_t y) {
    const WindowId window = IdOf(record);
    ScrollBarState& s = record.scroll;
    const BarGeometry g = Geometry(record);
    record.frameInvalid = true;
    switch (message) {
    case MsgLButtonDown: {
        if (!g.enabled) return true;
        uint32_t code = 0;
        if (Contains(g.up, x, y)) {
            code = ScrollLineUp;
        } else if (Contains(g.down, x, y)) {
            code = ScrollLineDown;
        } else if (Contains(g.thumb, x, y)) {
            s.dragging = true;
            s.dragGrip = y - g.thumb.top;
            s.info.trackPosition = s.info.position;
            return true;
        } else {
            code = y < g.thumb.top ? ScrollPageUp : ScrollPageDown;
        }
        s.pressedCode = code;
        s.pointerY = y;
        SetSystemTimer(window, RepeatTimer, FirstRepeatMs);
        SendScroll(window, code, 0);
        return true;
    }
    case MsgMouseMove: {
        s.pointerY = y;
        if (!s.dragging) return true;
        const int32_t top = std::clamp(y - s.dragGrip, g.track.top, g.track.bottom - Height(g.thumb));
        const int32_t position = PositionAt(record, g, top);
        if (position == s.info.trackPosition) return true;
        s.info.trackPosition = position;
        SendScroll(window, ScrollThumbTrack, position);
        return true;
    }
    case MsgLButtonUp:
        if (s.dragging) {
            s.dragging = false;
            if (!SendScroll(window, ScrollThumbPosition, s.info.trackPosition)) return true;
            SendScroll(window, ScrollEnd, 0);
        } else if (s.pressedCode != NoPart) {
            s.pressedCode = NoPart;
            KillSystemTimer(window, RepeatTimer);
            SendScroll(window, ScrollEnd, 0);
        }
        return true;
    default:
        return false;
    }
}

void SystemTimerFired(WindowId window, uint32_t id) {
    WindowRecord* r = Find(window);
    if (r == nullptr || id != RepeatTimer) return;
    const uint32_t code = r->scroll.pressedCode;
    if (code == NoPart) {
        KillSystemTimer(window, id);
        return;
    }
    // A page step repeats only until the thumb reaches the pointer.
    const BarGeometry g = Geometry(*r);
    if ((code == ScrollPageUp && r->scroll.pointerY >= g.thumb.top) ||
        (code == ScrollPageDown && r->scroll.pointerY < g.thumb.bottom)) {
        return;
    }
    SetSystemTimer(window, RepeatTimer, RepeatMs);
    r->frameInvalid = true;
    SendScroll(window, code, 0);
}

}  // namespace ws

using namespace ws;

int32_t SetScrollInfo(WindowId window, const ScrollInfo& info, bool redraw) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return 0;
    }
    ScrollInfo& s = r->scroll.info;
    if ((info.mask & ScrollRange) != 0) {
        s.minimum = info.minimum;
        s.maximum = std::max(info.maximum, info.minimum);
    }
    if ((info.mask & ScrollPage) != 0) s.page = std::max(info.page, 0);
    const int64_t range = static_cast<int64_t>(s.maximum) - s.minimum + 1;
    s.page = static_cast<int32_t>(std::min<int64_t>(s.page, range));
    if ((info.mask & ScrollPos) != 0) s.position = info.position;
    s.position = ClampedPosition(s);
    if (!r->scroll.dragging) s.trackPosition = s.position;
    if (redraw) DrawScrollBar(*r);
    return s.position;
}

ScrollInfo GetScrollInfo(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return ScrollInfo{};
    ScrollInfo info = r->scroll.info;
    info.mask = ScrollAll;
    if (!r->scroll.dragging) info.trackPosition = info.position;
    return info;
}

}  // namespace plat
