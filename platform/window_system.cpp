// The window table: classes, top-level windows and child windows, their procedures and
// default handling, geometry, visibility, z-order, focus and the active window. Painting,
// the queue, timers, input and the scroll bar have files of their own (window_system.h).
#include "platform/window_system.h"

#include <cstring>

#include "platform/draw_internal.h"

namespace plat {
namespace ws {
namespace {

constexpr int32_t SlotBits = 10;
static_assert(MaxWindows < (1 << SlotBits), "window ids keep the slot in their low bits");

struct ClassRecord {
    bool used;
    char16_t name[MaxClassName];
    WindowProc procedure;
    int32_t iconResource;
};

ClassRecord Classes[MaxWindowClasses];
WindowRecord Windows[MaxWindows];
uint32_t NextZ = 1;
WindowId Focus = NoWindow;
WindowId Active = NoWindow;
uint32_t LastErrorCode = 0;

WindowId MakeId(int32_t slot, uint32_t generation) {
    return static_cast<WindowId>(((generation & 0x1FFFFF) << SlotBits) | static_cast<uint32_t>(slot + 1));
}

int32_t Length(const char16_t* text) {
    int32_t n = 0;
    while (text != nullptr && text[n] != 0) ++n;
    return n;
}

bool SameName(const char16_t* a, const char16_t* b) {
    int32_t i = 0;
    for (; a[i] != 0 && b[i] != 0; ++i) {
        if (a[i] != b[i]) return false;
    }
    return a[i] == b[i];
}

void CopyText(char16_t* out, int32_t capacity, const char16_t* text) {
    int32_t n = 0;
    for (; text != nullptr && text[n] != 0 && n < capacity - 1; ++n) out[n] = text[n];
    out[n] = 0;
}

int32_t FindClass(const char16_t* name) {
    if (name == nullptr) return -1;
    for (int32_t i = 0; i < MaxWindowClasses; ++i) {
        if (Classes[i].used && SameName(Classes[i].name, name)) return i;
    }
    return -1;
}

bool IsTopLevel(const WindowRecord& r) { return r.parent == NoWindow; }

// Orders top-level windows: topmost ones above the others, then by z.
bool IsAbove(const WindowRecord& a, const WindowRecord& b) {
    if (a.topmost != b.topmost) return a.topmost;
    return a.zOrder > b.zOrder;
}

// Marks a window and everything inside it for a full repaint (it was not on the screen).
void InvalidateTree(WindowRecord& r) {
    r.frameInvalid = true;
    InvalidateClient(r, Rect{0, 0, Width(ClientScreenRect(r)), Height(ClientScreenRect(r))}, true);
    const WindowId id = IdOf(r);
    for (WindowRecord& child : Windows) {
        if (child.kind != WindowKind::Free && child.parent == id && child.visible) InvalidateTree(child);
    }
}

// Has whatever lay under a window that leaves its place drawn again.
void ExposeWindowArea(const WindowRecord& r, const Rect& screenRect) {
    if (IsTopLevel(r)) {
        ExposeScreenArea(screenRect);
        return;
    }
    WindowRecord* parent = Find(r.parent);
    if (parent == nullptr || !IsShown(*parent)) return;
    const Rect origin = ClientScreenRect(*parent);
    const Rect part = Offset(screenRect, -origin.left, -origin.top);
    // A parent that is painting over that part with its background right now covers it.
    if (parent->painting && parent->paintErased && SameRect(Intersect(part, parent->paintRect), part)) return;
    InvalidateClient(*parent, part, true);
}

WindowId TopLevelOf(WindowId window) {
    WindowRecord* r = Find(window);
    while (r != nullptr && !IsTopLevel(*r)) r = Find(r->parent);
    return r != nullptr ? IdOf(*r) : NoWindow;
}

bool CanBeActive(const WindowRecord& r) {
    return r.kind == WindowKind::TopLevel || r.kind == WindowKind::MessageBoxWindow;
}

// The visible top-level window that should be active once the active one has gone.
WindowId NextActive() {
    WindowRecord* best = nullptr;
    for (WindowRecord& r : Windows) {
        if (r.kind == WindowKind::Free || !IsTopLevel(r) || !CanBeActive(r) || !r.visible || r.destroying) continue;
        if (best == nullptr || IsAbove(r, *best)) best = &r;
    }
    return best != nullptr ? IdOf(*best) : NoWindow;
}

void SendSize(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return;
    const Rect client = ClientScreenRect(*r);
    const auto size = (static_cast<uint32_t>(Height(client) & 0xFFFF) << 16) | static_cast<uint32_t>(Width(client) & 0xFFFF);
    SendMessage(window, MsgSize, 0, static_cast<intptr_t>(size));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------------------

WindowRecord* Find(WindowId window) {
    if (window <= 0) return nullptr;
    const int32_t slot = (window & ((1 << SlotBits) - 1)) - 1;
    if (slot < 0 || slot >= MaxWindows) return nullptr;
    WindowRecord& r = Windows[slot];
    if (r.kind == WindowKind::Free || MakeId(slot, r.generation) != window) return nullptr;
    return &r;
}

WindowId IdOf(const WindowRecord& record) {
    const auto slot = static_cast<int32_t>(&record - Windows);
    return MakeId(slot, record.generation);
}

WindowRecord& Slot(int32_t i) { return Windows[i]; }

WindowId NewWindow(WindowKind kind, WindowId parent, const Rect& rect, uint32_t style, WindowProc procedure,
                   const char16_t* text) {
    for (WindowRecord& r : Windows) {
        if (r.kind != WindowKind::Free) continue;
        const uint32_t generation = r.generation;
        std::memset(static_cast<void*>(&r), 0, sizeof r);
        r.generation = generation;
        r.kind = kind;
        r.parent = parent;
        r.classIndex = -1;
        r.procedure = procedure;
        r.style = style;
        r.rect = rect;
        r.zOrder = NextZ++;
        r.textLimit = MaxWindowText - 1;
        r.scroll.info.maximum = 100;
        r.scroll.pressedCode = UINT32_MAX;
        CopyText(r.text, MaxWindowText, text);
        return IdOf(r);
    }
    SetLastError(ErrorNotEnoughMemory);
    return NoWindow;
}

bool FinishCreation(WindowId window) {
    if (SendMessage(window, MsgCreate, 0, 0) == -1) {
        DestroyWindow(window);
        SetLastError(ErrorCreationRefused);
        return false;
    }
    SendSize(window);
    WindowRecord* r = Find(window);
    if (r == nullptr) return false;  // its own create or size handling destroyed it
    if ((r->style & StyleVisible) != 0) ShowWindow(window, IsTopLevel(*r) ? ShowNormal : ShowNoActivate);
    return Find(window) != nullptr;
}

void SetLastError(uint32_t code) { LastErrorCode = code; }

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

bool IsShown(const WindowRecord& record) {
    const WindowRecord* r = &record;
    while (r != nullptr) {
        if (!r->visible) return false;
        if (IsTopLevel(*r)) return true;
        r = Find(r->parent);
    }
    return false;
}

Rect ScreenRect(const WindowRecord& record) {
    if (IsTopLevel(record)) return record.rect;
    const WindowRecord* parent = Find(record.parent);
    if (parent == nullptr) return record.rect;
    const Rect origin = ClientScreenRect(*parent);
    return Offset(record.rect, origin.left, origin.top);
}

Rect ClientScreenRect(const WindowRecord& record) {
    Rect r = ScreenRect(record);
    if ((record.style & StyleBorder) != 0) r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if ((record.style & StyleVScroll) != 0) r.right -= ScrollBarWidth;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

Rect VisibleClientClip(const WindowRecord& record) {
    Rect clip = Intersect(ClientScreenRect(record), Rect{0, 0, ScreenWidth, ScreenHeight});
    for (const WindowRecord* p = Find(record.parent); p != nullptr; p = Find(p->parent)) {
        clip = Intersect(clip, ClientScreenRect(*p));
    }
    return clip;
}

Rect ScrollBarScreenRect(const WindowRecord& record) {
    if ((record.style & StyleVScroll) == 0) return Rect{0, 0, 0, 0};
    Rect r = ScreenRect(record);
    if ((record.style & StyleBorder) != 0) r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    r.left = std::max(r.left, r.right - ScrollBarWidth);
    return r;
}

// ---------------------------------------------------------------------------------------
// Z-order, activation, hit testing
// ---------------------------------------------------------------------------------------

WindowId FindTopLevelOfClass(const char16_t* className) {
    const int32_t classIndex = FindClass(className);
    for (int32_t i = 0; i < MaxWindows && classIndex >= 0; ++i) {
        const WindowRecord& r = Windows[i];
        if (r.kind == WindowKind::TopLevel && r.classIndex == classIndex && !r.destroying) return MakeId(i, r.generation);
    }
    return NoWindow;
}

WindowId ActiveWindow() {
    if (Find(Active) == nullptr) Active = NextActive();
    return Active;
}

void BringToTop(WindowRecord& record) {
    record.zOrder = NextZ++;
    if (IsShown(record)) InvalidateTree(record);
}

void Activate(WindowId window) {
    WindowRecord* r = Find(TopLevelOf(window));
    if (r == nullptr || !CanBeActive(*r)) return;
    if (IdOf(*r) != Active) {
        Active = IdOf(*r);
        InvalidateTaskbar();
    }
    // Raising a window that is already on top would only repaint it for nothing.
    for (const WindowRecord& other : Windows) {
        if (&other != r && other.kind != WindowKind::Free && IsTopLevel(other) && other.visible &&
            IsAbove(other, *r) && other.topmost == r->topmost) {
            BringToTop(*r);
            break;
        }
    }
}

WindowId WindowAt(int32_t x, int32_t y) {
    WindowRecord* hit = nullptr;
    for (WindowRecord& r : Windows) {
        if (r.kind == WindowKind::Free || !IsTopLevel(r) || !r.visible) continue;
        if (!Contains(r.rect, x, y)) continue;
        if (hit == nullptr || IsAbove(r, *hit)) hit = &r;
    }
    while (hit != nullptr) {
        const WindowId parent = IdOf(*hit);
        if (!Contains(ClientScreenRect(*hit), x, y)) break;  // on the scroll bar or border
        WindowRecord* child = nullptr;
        for (WindowRecord& r : Windows) {
            if (r.kind == WindowKind::Free || r.parent != parent || !r.visible) continue;
            if (!Contains(ScreenRect(r), x, y)) continue;
            if (child == nullptr || r.zOrder > child->zOrder) child = &r;
        }
        if (child == nullptr) break;
        hit = child;
    }
    return hit != nullptr ? IdOf(*hit) : NoWindow;
}

}  // namespace ws

// ---------------------------------------------------------------------------------------
// The platform operations
// ---------------------------------------------------------------------------------------

using namespace ws;

bool RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.name == nullptr || windowClass.name[0] == 0 || Length(windowClass.name) >= MaxClassName) {
        SetLastError(ErrorClassNotFound);
        return false;
    }
    if (FindClass(windowClass.name) >= 0) {
        SetLastError(ErrorClassExists);
        return false;
    }
    for (ClassRecord& c : Classes) {
        if (c.used) continue;
        c.used = true;
        CopyText(c.name, MaxClassName, windowClass.name);
        c.procedure = windowClass.procedure;
        c.iconResource = windowClass.iconResource;
        ListenForOtherInstances(c.name);
        return true;
    }
    SetLastError(ErrorNotEnoughMemory);
    return false;
}

WindowId CreateMainWindow(const char16_t* className, const char16_t* caption, uint32_t style, int32_t x,
                          int32_t y, int32_t width, int32_t height) {
    const int32_t classIndex = FindClass(className);
    if (classIndex < 0) {
        SetLastError(ErrorClassNotFound);
        return NoWindow;
    }
    if (x == DefaultPosition) x = 0;
    if (y == DefaultPosition) y = TaskbarHeight;
    if (width == DefaultPosition) width = ScreenWidth - x;
    if (height == DefaultPosition) height = ScreenHeight - CommandBarHeight - y;
    Taskbar();
    const WindowId window = NewWindow(WindowKind::TopLevel, NoWindow, Rect{x, y, x + width, y + height},
                                      style & ~StyleChild, Classes[classIndex].procedure, caption);
    if (window == NoWindow) return NoWindow;
    Find(window)->classIndex = classIndex;
    return FinishCreation(window) ? window : NoWindow;
}

bool DestroyWindow(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    if (r->destroying) return true;
    r->destroying = true;
    const bool shown = IsShown(*r);
    const Rect screen = ScreenRect(*r);

    SendMessage(window, MsgDestroy, 0, 0);
    for (int32_t i = 0; i < MaxWindows; ++i) {
        const WindowRecord& other = Windows[i];
        if (other.kind != WindowKind::Free && (other.parent == window || other.owner == window)) {
            DestroyWindow(MakeId(i, other.generation));
        }
    }
    KillTimersOf(window);
    ForgetWindowInput(window);

    r = Find(window);
    if (r == nullptr) return true;
    const WindowRecord gone = *r;
    r->kind = WindowKind::Free;
    r->generation = (r->generation + 1) & 0x1FFFFF;
    if (Focus == window) Focus = NoWindow;
    if (Active == window) {
        Active = NextActive();
        InvalidateTaskbar();
    }
    if (shown) ExposeWindowArea(gone, screen);
    return true;
}

bool IsWindow(WindowId window) { return Find(window) != nullptr; }

bool ShowWindow(WindowId window, int32_t command) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    const bool wasVisible = r->visible;
    if (command == ShowHide) {
        if (!wasVisible) return false;
        const bool shown = IsShown(*r);
        const Rect screen = ScreenRect(*r);
        r->visible = false;
        if (shown) ExposeWindowArea(*r, screen);
        if (Focus != NoWindow && (Focus == window || TopLevelOf(Focus) == window)) {
            SetFocus(IsTopLevel(*r) ? NoWindow : r->parent);
        }
        if (Active == window) {
            Active = NextActive();
            InvalidateTaskbar();
        }
        return true;
    }
    if (!wasVisible) {
        r->visible = true;
        if (IsShown(*r)) InvalidateTree(*r);
    }
    if (IsTopLevel(*r) && command != ShowNoActivate && CanBeActive(*r)) Activate(window);
    return wasVisible;
}

bool IsWindowVisible(WindowId window) {
    WindowRecord* r = Find(window);
    return r != nullptr && IsShown(*r);
}

bool MoveWindow(WindowId window, const Rect& rect, bool repaint) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    if (SameRect(r->rect, rect)) return true;
    const bool sizeChanged = Width(r->rect) != Width(rect) || Height(r->rect) != Height(rect);
    const bool shown = IsShown(*r);
    const Rect oldScreen = ScreenRect(*r);
    r->rect = rect;
    if (shown && repaint) {
        ExposeWindowArea(*r, oldScreen);
        InvalidateTree(*r);
    }
    if (sizeChanged) SendSize(window);
    return true;
}

bool ResizeTopmost(WindowId window, int32_t width, int32_t height) {
    WindowRecord* r = Find(window);
    if (r == nullptr || !IsTopLevel(*r)) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    r->topmost = true;
    BringToTop(*r);
    return MoveWindow(window, Rect{r->rect.left, r->rect.top, r->rect.left + width, r->rect.top + height}, true);
}

WindowId SetFocus(WindowId window) {
    if (window != NoWindow && Find(window) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return NoWindow;
    }
    const WindowId previous = Find(Focus) != nullptr ? Focus : NoWindow;
    if (window == previous) return previous;
    Focus = window;
    if (previous != NoWindow) SendMessage(previous, MsgKillFocus, static_cast<uintptr_t>(window), 0);
    if (window != NoWindow && Focus == window) {
        Activate(window);
        SendMessage(window, MsgSetFocus, static_cast<uintptr_t>(previous), 0);
    }
    return previous;
}

WindowId GetFocus() { return Find(Focus) != nullptr ? Focus : NoWindow; }

int32_t GetControlId(WindowId window) {
    WindowRecord* r = Find(window);
    return r != nullptr ? r->controlId : 0;
}

WindowId GetControl(WindowId parent, int32_t id) {
    if (Find(parent) == nullptr) return NoWindow;
    for (int32_t i = 0; i < MaxWindows; ++i) {
        const WindowRecord& r = Windows[i];
        if (r.kind != WindowKind::Free && r.parent == parent && r.controlId == id) return MakeId(i, r.generation);
    }
    return NoWindow;
}

WindowId GetParent(WindowId window) {
    WindowRecord* r = Find(window);
    return r != nullptr ? r->parent : NoWindow;
}

int32_t GetWindowText(WindowId window, char16_t* out, int32_t capacity) {
    if (out == nullptr || capacity <= 0) return 0;
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        out[0] = 0;
        return 0;
    }
    CopyText(out, capacity, r->text);
    return Length(out);
}

bool SetWindowText(WindowId window, const char16_t* text) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return false;
    }
    CopyText(r->text, MaxWindowText, text);
    if (window == ActiveWindow()) InvalidateTaskbar();
    if (!IsTopLevel(*r) && IsShown(*r)) InvalidateTree(*r);
    return true;
}

WindowProc SetWindowProc(WindowId window, WindowProc procedure) {
    WindowRecord* r = Find(window);
    if (r == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return nullptr;
    }
    const WindowProc previous = r->procedure;
    r->procedure = procedure;
    return previous;
}

intptr_t CallWindowProc(WindowProc procedure, WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (procedure == nullptr) return DefaultWindowProc(window, message, wParam, lParam);
    return procedure(window, message, wParam, lParam);
}

intptr_t DefaultWindowProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return 0;
    switch (message) {
    case MsgClose:
        DestroyWindow(window);
        return 0;
    case MsgPaint:
        EndPaint(window, BeginPaint(window));
        return 0;
    case MsgMouseWheel: {
        // Three lines a notch for a window with a scroll bar; others pass it to their parent.
        if ((r->style & StyleVScroll) == 0) {
            return r->parent != NoWindow ? SendMessage(r->parent, message, wParam, lParam) : 0;
        }
        const auto delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
        const uint32_t code = delta > 0 ? ScrollLineUp : ScrollLineDown;
        const int32_t lines = std::max(1, (delta > 0 ? delta : -delta) * 3 / 120);
        for (int32_t i = 0; i < lines && Find(window) != nullptr; ++i) SendMessage(window, MsgVScroll, code, 0);
        if (Find(window) != nullptr) SendMessage(window, MsgVScroll, ScrollEnd, 0);
        return 0;
    }
    default:
        return 0;
    }
}

Rect GetClientRect(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return Rect{0, 0, 0, 0};
    const Rect client = ClientScreenRect(*r);
    return Rect{0, 0, Width(client), Height(client)};
}

Rect GetWindowRect(WindowId window) {
    WindowRecord* r = Find(window);
    return r != nullptr ? ScreenRect(*r) : Rect{0, 0, 0, 0};
}

uint32_t LastError() { return LastErrorCode; }

intptr_t SendMessage(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return 0;
    return CallWindowProc(r->procedure, window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Starting over (the headless device's Reset)
// ---------------------------------------------------------------------------------------

void device::ResetWindowSystem() {
    StopListening();
    for (WindowRecord& r : Windows) {
        if (r.kind == WindowKind::Free) continue;
        r.kind = WindowKind::Free;
        r.generation = (r.generation + 1) & 0x1FFFFF;
    }
    for (ClassRecord& c : Classes) c = ClassRecord{};
    Focus = NoWindow;
    Active = NoWindow;
    LastErrorCode = 0;
    ResetQueue();
    ResetTimers();
    ResetInput();
    ResetInputPanel();
    draw::InitFramebuffer(draw::Scale());
}

}  // namespace plat
