// The window system's own records and the calls its files make to each other: the window
// table (window_system.cpp), painting (paint.cpp), the queue (message_queue.cpp), timers,
// input routing, the scroll bar, controls, the taskbar and the command bar. Only platform/
// files include it.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/device.h"
#include "platform/platform.h"

namespace plat::ws {

// ---- Capacities ---------------------------------------------------------------------------

inline constexpr int32_t MaxWindowClasses = 8;
inline constexpr int32_t MaxClassName = 64;   // characters, terminator included
inline constexpr int32_t MaxWindows = 256;    // every window: top-level, controls, chrome
inline constexpr int32_t MaxWindowText = 256; // characters, terminator included
inline constexpr int32_t MaxQueuedMessages = 256;
inline constexpr int32_t MaxTimers = 16;

// ---- Geometry of the pocket screen ----------------------------------------------------------

inline constexpr int32_t ScrollBarWidth = 13;
inline constexpr int32_t MinimumTimerPeriod = 10;  // ms; shorter periods count as this
inline constexpr uint32_t WindowBackground = 0xFFFFFF;
inline constexpr uint32_t DesktopBackground = 0xFFFFFF;
inline constexpr Rect TaskbarRect{0, 0, ScreenWidth, TaskbarHeight};
inline constexpr Rect CommandBarRect{0, ScreenHeight - CommandBarHeight, ScreenWidth, ScreenHeight};

// ---- Error codes for LastError --------------------------------------------------------------

inline constexpr uint32_t ErrorNotEnoughMemory = 8;      // a table is full
inline constexpr uint32_t ErrorInvalidWindow = 1400;
inline constexpr uint32_t ErrorClassNotFound = 1407;
inline constexpr uint32_t ErrorClassExists = 1410;
inline constexpr uint32_t ErrorCreationRefused = 1003;   // MsgCreate answered -1

// ---- Rectangles -----------------------------------------------------------------------------

inline bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline Rect Intersect(const Rect& a, const Rect& b) {
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? Rect{0, 0, 0, 0} : r;
}
inline Rect Union(const Rect& a, const Rect& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}
inline Rect Offset(const Rect& r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
inline bool Contains(const Rect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline int32_t Width(const Rect& r) { return r.right - r.left; }
inline int32_t Height(const Rect& r) { return r.bottom - r.top; }

// ---- Pointer positions ----------------------------------------------------------------------

// Packs a client point into a pointer message's parameter: x in the low 16 bits, y in the
// high 16, each signed, so a point left of or above the window stays negative.
inline intptr_t PointParam(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}
// Unpacks the x and y of a pointer message's parameter.
inline int32_t PointX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
inline int32_t PointY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

// ---- The window table -----------------------------------------------------------------------

enum class WindowKind : uint8_t {
    Free, TopLevel, Taskbar, CommandBar, Menu, InputPanel, MessageBoxWindow, Edit, Button, CheckBox,
};

struct ScrollBarState {
    ScrollInfo info;          // minimum, maximum, page, position, trackPosition
    bool dragging;            // the thumb is held
    int32_t dragGrip;         // pointer y minus thumb top when the drag began
    uint32_t pressedCode;     // the scroll code of the part held down, or UINT32_MAX
    int32_t pointerY;         // where the pointer is while a part is held (screen)
};

struct WindowRecord {
    WindowKind kind;
    uint32_t generation;
    WindowId parent;          // NoWindow for top-level windows
    WindowId owner;           // top-level chrome (command bar, message box): the window it serves
    int32_t classIndex;       // TopLevel: index in the class table
    WindowProc procedure;
    uint32_t style;
    Rect rect;                // screen coordinates for top-level windows, else the parent's client
    bool visible;
    bool topmost;
    uint32_t zOrder;          // among siblings (or top-level windows), higher is above
    int32_t controlId;
    char16_t text[MaxWindowText];

    Rect invalid;             // client coordinates; empty when nothing is to repaint
    bool eraseNeeded;
    bool frameInvalid;        // the scroll bar or border must be drawn again
    bool painting;            // between BeginPaint and EndPaint
    Rect paintRect;           // while painting: the part being painted (client coordinates)
    bool paintErased;         // while painting: that part was filled with the background
    bool destroying;
    uint32_t paintsBegun;

    ScrollBarState scroll;

    // Controls.
    int32_t check;            // check box: 1 ticked
    bool pressed;             // button held down
    int32_t textLimit;        // edit box: most characters it accepts
    uintptr_t data;           // free for the window's own procedure
};

// Returns the live record of a window, or null for NoWindow, a destroyed or unknown id.
WindowRecord* Find(WindowId window);
WindowId IdOf(const WindowRecord& record);
// Returns slot i of the table (free or not), for walks over every window.
WindowRecord& Slot(int32_t i);

// Creates a window record (no messages sent); NoWindow when the table is full.
WindowId NewWindow(WindowKind kind, WindowId parent, const Rect& rect, uint32_t style,
                   WindowProc procedure, const char16_t* text);
// Sends MsgCreate and MsgSize, shows the window when its style asks; false when refused
// (the window is then destroyed).
bool FinishCreation(WindowId window);

// True when the window and all its ancestors are visible.
bool IsShown(const WindowRecord& record);
// The window's rectangle on the screen.
Rect ScreenRect(const WindowRecord& record);
// The client area on the screen (without scroll bar and border).
Rect ClientScreenRect(const WindowRecord& record);
// Where the window's client area may draw: its client area cut by its ancestors' and the
// screen's edges.
Rect VisibleClientClip(const WindowRecord& record);
// The rectangle of the vertical scroll bar on the screen (empty without StyleVScroll).
Rect ScrollBarScreenRect(const WindowRecord& record);

// The top-level window of a registered class, or NoWindow.
WindowId FindTopLevelOfClass(const char16_t* className);
// The top-level window that gets keys when no window has the focus.
WindowId ActiveWindow();
// Makes a top-level window the active one and raises it above the others of its kind.
void Activate(WindowId window);
void BringToTop(WindowRecord& record);
// The deepest shown window under a screen point, or NoWindow.
WindowId WindowAt(int32_t x, int32_t y);

// ---- Painting (paint.cpp) ------------------------------------------------------------------

// Adds a part of the client area (client coordinates) to the region to repaint.
void InvalidateClient(WindowRecord& record, const Rect& clientRect, bool erase);
// Fills a part of the screen with the desktop and has every shown window over it repaint
// its part (used when a window hides, moves or goes away).
void ExposeScreenArea(const Rect& screenRect);
// Paints the window's frame, then sends it MsgPaint when part of it is invalid, then
// paints its invalid children; does nothing for a window between BeginPaint and EndPaint.
void PaintNow(WindowId window);
// Draws the frames that wait to be drawn and returns MsgPaint for the first shown window
// (parents before children) whose client area needs painting; false when all are painted.
bool NextPaintMessage(MessageRecord& out);
// Sends MsgPaint to the window (its frame first); a procedure that never begins a paint
// has its region validated, so the loop does not ask it again and again.
void DispatchPaint(WindowId window);

// ---- Queue and timers (message_queue.cpp, timers.cpp) --------------------------------------

void ResetQueue();
// Takes the earliest due timer as a MsgTimer and sets it up for its next period.
bool TakeDueTimer(uint32_t now, MessageRecord& out);
void KillTimersOf(WindowId window);
void ResetTimers();
// The window system's own timers: when due they call SystemTimerFired instead of posting
// MsgTimer. Setting one again restarts it with the new period.
bool SetSystemTimer(WindowId window, uint32_t id, uint32_t periodMs);
void KillSystemTimer(WindowId window, uint32_t id);
void SystemTimerFired(WindowId window, uint32_t id);

// ---- Input (input.cpp) ---------------------------------------------------------------------

// Turns a device event into messages for the window it concerns (queued in order).
void RouteEvent(const device::Event& event);
// Forgets capture and pointer state that pointed at a window going away.
void ForgetWindowInput(WindowId window);
void ResetInput();
// The window that has the pointer until its release, or NoWindow.
WindowId PointerCapture();
// Sends every press to this window, wherever it falls, until called again with NoWindow: an
// open pop-up menu closes on a press outside itself, and that press reaches nothing else.
void CapturePointer(WindowId window);
// While a modal box runs, only it and its children get input.
void SetModalWindow(WindowId window);

// ---- Scroll bar (scroll_bar.cpp) -----------------------------------------------------------

void DrawScrollBar(WindowRecord& record);
// Handles a pointer message over or captured by the bar (screen coordinates); true when
// the bar took it.
bool ScrollBarPointer(WindowRecord& record, uint32_t message, int32_t x, int32_t y);

// ---- Input panel (input_panel.cpp, keyboard.cpp) ------------------------------------------

void ResetInputPanel();
// Makes the panel's window, hidden, if it is not there yet; the taskbar makes it with itself,
// so that the screen's chrome is in place before the first page.
void MakeInputPanel();
// The on-screen keyboard inside the panel: its window procedure, forgetting keys held and
// shift, and the keyboard picture of the command bar's panel button, centred in a rectangle.
intptr_t KeyboardProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void ResetKeyboard();
void DrawKeyboardIcon(SurfaceId surface, const Rect& button, uint32_t rgb);

// ---- Chrome --------------------------------------------------------------------------------

// The taskbar along the top of the screen (created on first use).
WindowId Taskbar();
void InvalidateTaskbar();
// The command bar's screen rectangle of its first shown button with this command (empty when
// there is none), and repainting the bar (its panel button follows the input panel).
Rect CommandBarButtonRect(uint32_t command);
void InvalidateCommandBar();
// Built-in procedures of the controls (controls.cpp).
intptr_t ButtonProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t EditProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void SetLastError(uint32_t code);

// ---- Single instance (single_instance.cpp) --------------------------------------------------

// Starts answering AskRunningInstanceToFront for this class name (once per name).
void ListenForOtherInstances(const char16_t* className);
// Brings this program's window to the front when another instance asked for it.
void AnswerOtherInstances();
void StopListening();

// ---- Requests to end the program (close_signals.cpp) ----------------------------------------

// Posts MsgClose to every top-level window (or the quit, when there is none) once a request
// to end the program has come in since the last call.
void AnswerEndRequests();

}  // namespace plat::ws
