// The platform layer: the only door from the reader to the system. Every operation the
// book, markup, page and shell code needs from windows, controls, drawing, the command
// bar, the input panel, timers, sound, files and the clock is declared here, by role, with
// its contract. One shared window system and framebuffer renderer implements it; below that
// a small device (platform/device.h) presents the screen and delivers input: the headless
// device for tests, screenshots and automated play, the SDL2 device for the desktop.
//
// Coordinates are logical pixels of the 240 x 320 pocket screen; a device may render the
// framebuffer at an integer scale, which this interface never shows. Text crossing this
// interface is 16-bit (char16_t); the engine widens its 8-bit Windows-1252 text with Widen.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// ---------------------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------------------

inline constexpr int32_t ScreenWidth = 240;
inline constexpr int32_t ScreenHeight = 320;
inline constexpr int32_t TaskbarHeight = 26;
inline constexpr int32_t CommandBarHeight = 26;

using WindowId = int32_t;   // 0 is no window
using FontId = int32_t;     // 0 is no font
using BitmapId = int32_t;   // 0 is no bitmap: a loaded bitmap resource
using SurfaceId = int32_t;  // 0 is no surface: a drawing context
using FileId = int32_t;     // 0 is no file
inline constexpr WindowId NoWindow = 0;

struct Rect {
    int32_t left, top, right, bottom;  // right and bottom are exclusive
};

struct Size {
    int32_t width, height;
};

// A window procedure: gets every message sent or dispatched to its window.
using WindowProc = intptr_t (*)(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Widens 8-bit Windows-1252 text into out (capacity characters, terminator included); bytes
// above 127 become their Windows-1252 characters. Returns the characters written, without
// the terminator; cuts the text when out is too small.
int32_t Widen(const char* text, char16_t* out, int32_t capacity);
// Widens exactly count bytes (zeros included) into out, which holds at least count + 1.
void WidenCount(const char* text, int32_t count, char16_t* out);
// Narrows 16-bit text back to Windows-1252 bytes (characters without a byte become '?').
int32_t Narrow(const char16_t* text, char* out, int32_t capacity);

// ---------------------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------------------

enum Message : uint32_t {
    MsgCreate = 1,         // lParam: the window's creation record (unused by the reader)
    MsgDestroy = 2,
    MsgSize = 5,           // lParam: new client width in the low 16 bits, height in the high 16
    MsgSetFocus = 7,
    MsgKillFocus = 8,
    MsgPaint = 15,
    MsgClose = 16,         // default handling destroys the window
    MsgQuit = 18,          // wParam: the exit code; ends the message loop
    MsgSettingChange = 26, // posted to top-level windows: wParam SettingInputPanel when the panel changed
    MsgDrawItem = 43,      // lParam: a DrawItemRequest* for an owner-drawn button
    MsgKeyDown = 256,      // wParam: virtual key
    MsgKeyUp = 257,
    MsgChar = 258,         // wParam: the character (after TranslateMessage)
    MsgCommand = 273,      // wParam: notification code << 16 | control or command id
    MsgTimer = 275,        // wParam: timer id
    MsgVScroll = 277,      // wParam: scroll code in the low 16 bits, thumb position in the high 16
    MsgMouseMove = 512,    // lParam: y << 16 | x in client coordinates
    MsgLButtonDown = 513,
    MsgLButtonUp = 514,
    MsgMouseWheel = 522,   // wParam: wheel delta (signed, 120 a notch, positive away) in the high 16
    MsgSetButtonState = 1041,  // to a command bar: wParam command id, lParam ButtonEnabled/Hidden
    MsgGetButtonState = 1042,  // to a command bar: wParam command id; returns the state last set, 0 if none

    // Control messages.
    MsgGetCheck = 0xF0,    // check box: returns 1 when ticked
    MsgSetCheck = 0xF1,    // check box: wParam 1 ticks, 0 clears
    MsgLimitText = 0xC5,   // edit box: wParam the most characters it accepts
};

enum VirtualKey : uint32_t {
    KeyBack = 0x08, KeyTab = 0x09, KeyReturn = 0x0D, KeyShift = 0x10, KeyEscape = 0x1B,
    KeySpace = 0x20, KeyPageUp = 0x21, KeyPageDown = 0x22, KeyEnd = 0x23, KeyHome = 0x24,
    KeyLeft = 0x25, KeyUp = 0x26, KeyRight = 0x27, KeyDown = 0x28, KeyDelete = 0x2E,
};

enum ScrollCode : uint32_t {
    ScrollLineUp = 0, ScrollLineDown = 1, ScrollPageUp = 2, ScrollPageDown = 3,
    ScrollThumbPosition = 4, ScrollThumbTrack = 5, ScrollTop = 6, ScrollBottom = 7, ScrollEnd = 8,
};

inline constexpr uint32_t EditConfirmNotification = 0x501;  // Tab or Enter in a page edit box
inline constexpr intptr_t ButtonEnabled = 4;
inline constexpr intptr_t ButtonHidden = 8;

inline uintptr_t MakeCommandParam(uint32_t notification, uint32_t id) {
    return (static_cast<uintptr_t>(notification & 0xFFFF) << 16) | (id & 0xFFFF);
}
// The low and the high 16 bits of a message parameter, unsigned: a command's id and its
// notification code, a size message's width and height, a scroll message's code.
inline int32_t LowWord(uintptr_t value) { return static_cast<int32_t>(value & 0xFFFF); }
inline int32_t HighWord(uintptr_t value) { return static_cast<int32_t>((value >> 16) & 0xFFFF); }

struct MessageRecord {
    WindowId window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// ---------------------------------------------------------------------------------------
// Window classes and windows
// ---------------------------------------------------------------------------------------

enum WindowStyle : uint32_t {
    StyleChild = 0x40000000,
    StyleVisible = 0x10000000,
    StyleBorder = 0x00800000,
    StyleVScroll = 0x00200000,
    // Edit boxes.
    EditAutoHScroll = 0x0080,
    EditNoHideSelection = 0x0100,
    // Buttons (the low four bits choose the kind).
    ButtonPush = 0x0000,
    ButtonDefaultPush = 0x0001,
    ButtonAutoCheckBox = 0x0003,
    ButtonOwnerDraw = 0x000B,
};

inline constexpr int32_t DefaultPosition = INT32_MIN;  // x or y: the system's default place

struct WindowClass {
    const char16_t* name;
    WindowProc procedure;
    int32_t iconResource;  // icon resource id, 0 for none
};

// Registers a class of top-level windows; false when the name is taken or the table is full.
// Registering also lets a second reader of the same class find this one (see
// AskRunningInstanceToFront).
bool RegisterWindowClass(const WindowClass& windowClass);

// Creates a top-level window of a registered class: sends MsgCreate (a result of -1 refuses
// the creation) and then MsgSize. Width and height are the outer size; the client area is
// narrower by the vertical scroll bar when StyleVScroll is given. Returns NoWindow on failure.
WindowId CreateMainWindow(const char16_t* className, const char16_t* caption, uint32_t style,
                          int32_t x, int32_t y, int32_t width, int32_t height);

enum class ControlClass : uint8_t { Edit, Button };

// Creates a child control of parent at rect (client coordinates of parent) with the given
// id, style and text. Returns NoWindow when the control table is full; LastError then tells
// why.
WindowId CreateControl(ControlClass kind, const char16_t* text, uint32_t style, const Rect& rect,
                       WindowId parent, int32_t id);

// Destroys a window and its children (MsgDestroy to each); false for an unknown window.
bool DestroyWindow(WindowId window);
bool IsWindow(WindowId window);

enum ShowCommand : int32_t { ShowHide = 0, ShowNormal = 1, ShowNoActivate = 4, ShowPlain = 5 };
bool ShowWindow(WindowId window, int32_t command);
bool IsWindowVisible(WindowId window);
// Moves and sizes a window (client coordinates of its parent for a child); repaint false
// leaves the new place unpainted until the next paint. Sends MsgSize when the size changes.
bool MoveWindow(WindowId window, const Rect& rect, bool repaint);
// Sizes a top-level window without moving it and places it above the others.
bool ResizeTopmost(WindowId window, int32_t width, int32_t height);
WindowId SetFocus(WindowId window);  // returns the window that had the focus
WindowId GetFocus();
int32_t GetControlId(WindowId window);
WindowId GetControl(WindowId parent, int32_t id);
WindowId GetParent(WindowId window);

// Copies at most capacity - 1 characters of the window's text into out, with a terminator;
// returns the characters copied.
int32_t GetWindowText(WindowId window, char16_t* out, int32_t capacity);
bool SetWindowText(WindowId window, const char16_t* text);

// Replaces a window's procedure and returns the one it had, for CallWindowProc.
WindowProc SetWindowProc(WindowId window, WindowProc procedure);
intptr_t CallWindowProc(WindowProc procedure, WindowId window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);
// The system's handling of a message the window procedure does not handle itself.
intptr_t DefaultWindowProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The client rectangle: left and top are 0.
Rect GetClientRect(WindowId window);
// The window's rectangle in screen coordinates.
Rect GetWindowRect(WindowId window);

// The error code of the last failed window or control operation (0 when none failed).
uint32_t LastError();

// Turns the system's requests to end the program (a logout or shutdown, an interrupt or a
// hang-up of its terminal) into MsgClose for each top-level window, or a quit when there
// is none yet, so that it ends in order; a second request ends it at once. False when the
// requests cannot be caught (they then end the program as before).
bool CloseOnEndRequests();

// Finds another running reader whose main window has this class name (in another process
// of the same user), asks it to come to the front, repaint at once and stay topmost, and
// returns true when it answered; false when there is none.
bool AskRunningInstanceToFront(const char16_t* className);

// ---------------------------------------------------------------------------------------
// Message loop, sending and posting
// ---------------------------------------------------------------------------------------

// Takes the next message for any window of the program, waiting for input, timers or posted
// messages as needed; false when it is MsgQuit (its code is in out.wParam).
bool GetMessage(MessageRecord& out);
// Queues MsgChar for a key-down of Back, Tab, Return or Escape; printable characters come
// from the device as typed text, already as MsgChar.
void TranslateMessage(const MessageRecord& message);
intptr_t DispatchMessage(const MessageRecord& message);
// Calls the window's procedure at once and returns its result.
intptr_t SendMessage(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues a message for the window; false when the queue is full.
bool PostMessage(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int32_t exitCode);

// ---------------------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------------------

// Adds the whole client area to the window's region to repaint; erase asks for the
// background to be filled with the class's white brush when the paint begins.
void InvalidateWindow(WindowId window, bool erase);
// Paints the window at once (MsgPaint) when part of it is invalid; returns after the paint.
void UpdateWindow(WindowId window);
// Begins a paint: a surface clipped to the invalid region of the client area, with the
// background erased when asked for. The region is valid again afterwards.
SurfaceId BeginPaint(WindowId window);
void EndPaint(WindowId window, SurfaceId surface);

// ---------------------------------------------------------------------------------------
// Drawing: fonts, text, bitmaps, surfaces
// ---------------------------------------------------------------------------------------

// The system font's description: its face is the reader's embedded font.
struct FontDescription {
    int32_t height;  // character height (the em size) in pixels; the sign is ignored
    int32_t weight;  // 100..900; 700 bold, 300 light/regular
};
FontDescription SystemFontDescription();
// Creates a font of the system face with the given weight and character height (pixels).
FontId CreateFont(const FontDescription& description);
void DeleteFont(FontId font);
// The vertical dots per inch of the screen (96 for the logical pocket screen).
int32_t ScreenDpiY();

struct TextMetrics {
    int32_t height;        // cell height: ascent + descent
    int32_t ascent;
    int32_t averageWidth;  // average character width
};
// Metrics of the font selected into the surface.
TextMetrics GetTextMetrics(SurfaceId surface);
// Metrics of a window's default font (the font controls and the window itself use).
TextMetrics DefaultFontMetrics();

// Selects a font into a surface and returns the one it had.
FontId SelectFont(SurfaceId surface, FontId font);
// Width and height in pixels of the first count characters in the surface's font.
Size GetTextExtent(SurfaceId surface, const char16_t* text, int32_t count);

enum TextFlags : uint32_t {
    TextLeft = 0x0, TextCenter = 0x1, TextRight = 0x2,
    TextTop = 0x0, TextVCenter = 0x4,
    TextSingleLine = 0x20, TextNoPrefix = 0x800,
};
// Draws count characters (-1: up to the terminator) on one line inside rect, aligned by
// flags, in the surface's font and text colour, clipped to rect and the surface's clip.
void DrawText(SurfaceId surface, const char16_t* text, int32_t count, const Rect& rect, uint32_t flags);

// Loads a bitmap resource by id (an uncompressed bottom-up DIB at 1, 4, 8 or 24 bits per
// pixel). Returns 0 when there is no such resource or it cannot be read. Loading is cheap
// after the first time: decoded bitmaps are cached.
BitmapId LoadBitmap(int32_t resourceId);
// The bitmap's size, or false when it cannot be read.
bool GetBitmapSize(BitmapId bitmap, Size& size);
// Copies the bitmap onto the surface with its top-left corner at (x, y), in its own size.
void DrawBitmap(SurfaceId surface, BitmapId bitmap, int32_t x, int32_t y);
// Draws cell `cell` of a strip of square cells (the command-bar images).
void DrawBitmapCell(SurfaceId surface, BitmapId bitmap, int32_t cell, int32_t cellWidth, int32_t x, int32_t y);
bool ReleaseBitmap(BitmapId bitmap);

// Inverts every pixel of the rectangle.
void InvertRect(SurfaceId surface, const Rect& rect);
void FillRect(SurfaceId surface, const Rect& rect, uint32_t rgb);
void FrameRect(SurfaceId surface, const Rect& rect, uint32_t rgb);
uint32_t SetTextColor(SurfaceId surface, uint32_t rgb);  // returns the previous colour

// A temporary surface compatible with the screen (for measuring text or preparing a
// bitmap); 0 when none is free. Delete it when done.
SurfaceId CreateCompatibleSurface();
bool DeleteSurface(SurfaceId surface);

// A draw request for an owner-drawn button (MsgDrawItem's lParam).
struct DrawItemRequest {
    int32_t controlId;
    WindowId control;
    SurfaceId surface;  // clipped to the control; origin at the control's top-left
    Rect item;          // the control's rectangle in that surface
    bool pressed;
    bool focused;
};

// ---------------------------------------------------------------------------------------
// The vertical scroll bar of a window
// ---------------------------------------------------------------------------------------

enum ScrollInfoMask : uint32_t {
    ScrollRange = 0x1, ScrollPage = 0x2, ScrollPos = 0x4, ScrollTrackPos = 0x10,
    ScrollDisableNoScroll = 0x8,  // keep the bar shown, disabled, when there is nothing to scroll
                                  // (this bar never hides, with or without the flag)
    ScrollAll = 0x17,
};

struct ScrollInfo {
    uint32_t mask;
    int32_t minimum;
    int32_t maximum;
    int32_t page;
    int32_t position;       // kept within minimum .. maximum - page + 1
    int32_t trackPosition;  // while the thumb is dragged
};
// Sets the parts of the scroll bar that mask names; returns the position now in force.
int32_t SetScrollInfo(WindowId window, const ScrollInfo& info, bool redraw);
ScrollInfo GetScrollInfo(WindowId window);

// Scrolls the pixels of rect (clipped to clip) by dy (negative: upwards), moves the child
// windows with them, and invalidates, with erasing, the strip that was uncovered.
void ScrollWindow(WindowId window, int32_t dy, const Rect& rect, const Rect& clip);

// ---------------------------------------------------------------------------------------
// The command bar and the soft input panel
// ---------------------------------------------------------------------------------------

// Creates the command bar of the window from menu-bar resource menuBarId (which names its
// menu and buttons) and the button image strip bitmapId holding imageCount 16 x 16 images.
// Its buttons and menu items arrive as MsgCommand at the window; MsgSetButtonState shows or
// hides a button, and a hidden button takes no room. Returns NoWindow when a resource is
// missing or malformed or the window cannot be made.
WindowId CreateMenuBar(WindowId window, int32_t menuBarId, int32_t bitmapId, int32_t imageCount);

enum InputPanelFlag : uint32_t { PanelShown = 1, PanelDocked = 2, PanelLocked = 4 };
inline constexpr uintptr_t SettingInputPanel = 224;  // MsgSettingChange's wParam
struct InputPanelInfo {
    uint32_t flags;       // docked, and shown while it is up; this panel is never locked
    Rect visibleDesktop;  // the screen less the taskbar, and while the panel is shown, less
                          // the panel and the command bar's strip below it
};
InputPanelInfo GetInputPanelInfo();
// Raises or lowers the on-screen keyboard, docked above the command bar; it types into the
// focused window. A change is posted to every top-level window as MsgSettingChange, so a
// window that follows the panel refits at once.
void ShowInputPanel(bool show);

// ---------------------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------------------

enum MessageBoxButtons : uint32_t { BoxOk = 0, BoxYesNo = 4 };
enum MessageBoxAnswer : int32_t { AnswerOk = 1, AnswerYes = 6, AnswerNo = 7 };
// Shows a modal message box (caption null: the system's default caption, "Error") and
// returns the button pressed. Other windows get no input until it is answered.
int32_t MessageBox(WindowId owner, const char16_t* text, const char16_t* caption, uint32_t buttons);

// ---------------------------------------------------------------------------------------
// Timers, sound, clock, random numbers, version
// ---------------------------------------------------------------------------------------

// Starts (or restarts) timer id on the window: a MsgTimer every periodMs (10 at least) until
// stopped; false for an unknown window or when the timer table is full.
bool SetTimer(WindowId window, uint32_t id, uint32_t periodMs);
bool KillTimer(WindowId window, uint32_t id);

// Starts playing the WAVE resource of that name once, asynchronously, replacing any sound
// that plays; false when there is no such resource (nothing plays). Returns at once.
bool PlayWaveResource(const char16_t* name);
void StopSound();

// Milliseconds since the system started (wraps after 49 days).
uint32_t TickCount();

void SeedRandom(uint32_t seed);
// A pseudo-random number from 0 to 32767 at least (the generator gives 31 bits).
int32_t NextRandom();

struct Version {
    int32_t major, minor;
};
Version PlatformVersion();

// ---------------------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------------------

// Files have names without a directory; they live in the reader's own data folder.
bool FileExists(const char16_t* name);
// Opens the file for reading and writing, creating it when create is true and it does not
// exist, for this program alone: a second open, here or in another process, fails while
// this one is held. Returns 0 on failure.
FileId OpenExclusive(const char16_t* name, bool create);
// Reads up to size bytes at the file position; returns the bytes read (0 at the end).
int32_t ReadFile(FileId file, void* buffer, int32_t size);
bool SeekToStart(FileId file);
// Writes size bytes at the file position; true when all were written and flushed to disk.
bool WriteFile(FileId file, const void* buffer, int32_t size);
bool CloseFile(FileId file);

}  // namespace plat
