// The child controls: push buttons, owner-drawn buttons, self-ticking check boxes and edit
// boxes, created by CreateControl, with the behaviour the reader needs (a tap becomes
// MsgCommand at the parent; an edit box has a caret, a selection, editing keys, a text
// limit and horizontal scrolling). Their look follows the pocket screen: black frames on
// white, pressed buttons and selected text inverted.
#include <cstdlib>

#include "platform/draw_internal.h"
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr uint32_t Black = 0x000000;
constexpr uint32_t White = 0xFFFFFF;
constexpr int32_t CheckBoxSize = 13;
constexpr int32_t EditPadding = 2;

// 9 x 7 tick, two bytes a row.
constexpr uint8_t Tick[14] = {0x00, 0x80, 0x01, 0x80, 0x83, 0x00, 0xC6, 0x00, 0x6C, 0x00, 0x38, 0x00, 0x10, 0x00};

bool IsOwnerDraw(const WindowRecord& r) { return (r.style & 0xF) == ButtonOwnerDraw; }

int32_t TextLength(const char16_t* text) {
    int32_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

Rect ClientOf(WindowId window) { return GetClientRect(window); }

void Repaint(WindowId window) { InvalidateWindow(window, true); }

void PaintButton(WindowId window, WindowRecord& r, SurfaceId surface) {
    const Rect client = ClientOf(window);
    if (IsOwnerDraw(r)) {
        DrawItemRequest request{r.controlId, window, surface, client, r.pressed, GetFocus() == window};
        SendMessage(r.parent, MsgDrawItem, static_cast<uintptr_t>(r.controlId), reinterpret_cast<intptr_t>(&request));
        return;
    }
    if (r.kind == WindowKind::CheckBox) {
        const int32_t top = (Height(client) - CheckBoxSize) / 2;
        const Rect box{0, top, CheckBoxSize, top + CheckBoxSize};
        FillRect(surface, box, r.pressed ? 0xC0C0C0 : White);
        FrameRect(surface, box, Black);
        if (r.check != 0) draw::DrawMonoImage(surface, Tick, 9, 7, box.left + 2, box.top + 3, Black);
        const Rect label{CheckBoxSize + 4, 0, client.right, client.bottom};
        DrawText(surface, r.text, -1, label, TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
        return;
    }
    FillRect(surface, client, r.pressed ? Black : White);
    FrameRect(surface, client, Black);
    if ((r.style & 0xF) == ButtonDefaultPush) {
        FrameRect(surface, Rect{1, 1, client.right - 1, client.bottom - 1}, Black);
    }
    const uint32_t previous = SetTextColor(surface, r.pressed ? White : Black);
    DrawText(surface, r.text, -1, client, TextCenter | TextVCenter | TextSingleLine | TextNoPrefix);
    SetTextColor(surface, previous);
}

// ---- Edit boxes ------------------------------------------------------------------------------

// The editing state of an edit box, kept beside its window record (same slot).
struct EditState {
    int32_t caret;   // characters before the caret
    int32_t anchor;  // the selection's other end; equal to caret when nothing is selected
    int32_t scroll;  // pixels of the text scrolled out at the left
};

EditState Edits[MaxWindows];
// Shift as the focused edit box last saw it go down or up: Shift with a move selects.
bool ShiftHeld = false;

EditState& StateOf(WindowRecord& r) {
    EditState& s = Edits[&r - &Slot(0)];
    // SetWindowText may have shortened the text behind the box's back.
    const int32_t length = TextLength(r.text);
    s.caret = std::clamp(s.caret, 0, length);
    s.anchor = std::clamp(s.anchor, 0, length);
    return s;
}

// Measures the text's first count characters in the box's font; pixels.
int32_t PrefixWidth(const char16_t* text, int32_t count) {
    return count > 0 ? draw::MeasureText(draw::DefaultFont(), text, count).width : 0;
}

// Returns the pixels the text has for itself: the client area less the padding and the
// caret's column.
int32_t Room(WindowId window) { return Width(ClientOf(window)) - 2 * EditPadding - 1; }

bool AutoScrolls(const WindowRecord& r) { return (r.style & EditAutoHScroll) != 0; }

// Scrolls so that the caret is in view and no room is wasted after the text's end.
void KeepCaretInView(WindowId window, WindowRecord& r, EditState& s) {
    if (!AutoScrolls(r)) {
        s.scroll = 0;
        return;
    }
    const int32_t room = Room(window);
    const int32_t caretX = PrefixWidth(r.text, s.caret);
    s.scroll = std::min(s.scroll, std::max(0, PrefixWidth(r.text, TextLength(r.text)) - room));
    if (caretX < s.scroll) s.scroll = caretX;
    if (caretX - s.scroll > room) s.scroll = caretX - room;
}

// Removes count characters at position at.
void Erase(WindowRecord& r, int32_t at, int32_t count) {
    const int32_t length = TextLength(r.text);
    for (int32_t i = at; i + count <= length; ++i) r.text[i] = r.text[i + count];
}

bool DeleteSelection(WindowRecord& r, EditState& s) {
    if (s.caret == s.anchor) return false;
    const int32_t from = std::min(s.caret, s.anchor);
    Erase(r, from, std::abs(s.caret - s.anchor));
    s.caret = s.anchor = from;
    return true;
}

// Types one character at the caret over the selection. Refused beyond the text limit, and,
// in a box that does not scroll, when the text would no longer fit.
void Insert(WindowId window, WindowRecord& r, EditState& s, char16_t c) {
    DeleteSelection(r, s);
    const int32_t length = TextLength(r.text);
    if (length >= r.textLimit || length >= MaxWindowText - 1) return;
    char16_t typed[MaxWindowText];
    for (int32_t i = 0, j = 0; i <= length; ++i) {
        if (i == s.caret) typed[j++] = c;
        typed[j++] = r.text[i];
    }
    if (!AutoScrolls(r) && PrefixWidth(typed, length + 1) > Room(window)) return;
    for (int32_t i = 0; i <= length + 1; ++i) r.text[i] = typed[i];
    s.anchor = ++s.caret;
}

// Moves the caret; with extend the anchor stays, so the selection grows or shrinks.
void MoveCaret(EditState& s, int32_t to, bool extend) {
    s.caret = to;
    if (!extend) s.anchor = to;
}

// Handles an editing key; false for keys an edit box does not use.
bool EditKey(WindowRecord& r, EditState& s, uintptr_t key) {
    const int32_t length = TextLength(r.text);
    const bool selected = s.caret != s.anchor;
    switch (key) {
    case KeyLeft:
        // Without Shift an arrow first drops the selection at its own side.
        MoveCaret(s, selected && !ShiftHeld ? std::min(s.caret, s.anchor) : std::max(0, s.caret - 1), ShiftHeld);
        return true;
    case KeyRight:
        MoveCaret(s, selected && !ShiftHeld ? std::max(s.caret, s.anchor) : std::min(length, s.caret + 1), ShiftHeld);
        return true;
    case KeyHome:
        MoveCaret(s, 0, ShiftHeld);
        return true;
    case KeyEnd:
        MoveCaret(s, length, ShiftHeld);
        return true;
    case KeyDelete:
        if (!DeleteSelection(r, s) && s.caret < length) Erase(r, s.caret, 1);
        return true;
    default:
        return false;
    }
}

// Finds the character boundary nearest to x (client coordinates).
int32_t CaretAt(const WindowRecord& r, const EditState& s, int32_t x) {
    const int32_t textX = x - EditPadding + s.scroll;
    const int32_t length = TextLength(r.text);
    int32_t best = 0;
    for (int32_t i = 1; i <= length; ++i) {
        if (std::abs(PrefixWidth(r.text, i) - textX) < std::abs(PrefixWidth(r.text, best) - textX)) best = i;
    }
    return best;
}

void PaintEdit(WindowId window, WindowRecord& r, SurfaceId surface) {
    EditState& s = StateOf(r);
    const Rect client = ClientOf(window);
    FillRect(surface, client, White);
    const int32_t length = TextLength(r.text);
    const Size extent = draw::MeasureText(draw::DefaultFont(), r.text, length);
    const int32_t textHeight = extent.height > 0 ? extent.height : draw::FontMetrics(draw::DefaultFont()).height;
    const int32_t left = EditPadding - s.scroll;
    const int32_t top = std::max(0, (client.bottom - textHeight) / 2);
    const int32_t bottom = std::min(client.bottom, top + textHeight);
    DrawText(surface, r.text, length, Rect{left, 0, left + extent.width + 1, client.bottom},
             TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
    const bool focused = GetFocus() == window;
    // A box that keeps its selection shows it also while another window has the focus.
    if (s.caret != s.anchor && (focused || (r.style & EditNoHideSelection) != 0)) {
        const int32_t from = std::min(s.caret, s.anchor), to = std::max(s.caret, s.anchor);
        InvertRect(surface, Rect{left + PrefixWidth(r.text, from), top, left + PrefixWidth(r.text, to), bottom});
    }
    if (focused) {
        const int32_t caretX = left + PrefixWidth(r.text, s.caret);
        FillRect(surface, Rect{caretX, top, caretX + 1, bottom}, Black);
    }
}

// Reports a click to the parent; the parent may destroy this control while handling it.
void Click(WindowId window) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return;
    if (r->kind == WindowKind::CheckBox) {
        r->check = r->check != 0 ? 0 : 1;
        Repaint(window);
    }
    SendMessage(r->parent, MsgCommand, MakeCommandParam(0, static_cast<uint32_t>(r->controlId)),
                static_cast<intptr_t>(window));
}

bool PointerInside(WindowId window, intptr_t lParam) {
    return Contains(ClientOf(window), PointX(lParam), PointY(lParam));
}

}  // namespace

intptr_t ButtonProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return 0;
    switch (message) {
    case MsgLButtonDown:
        r->pressed = true;
        Repaint(window);
        SetFocus(window);
        return 0;
    case MsgMouseMove:
        if (PointerCapture() == window && r->pressed != PointerInside(window, lParam)) {
            r->pressed = !r->pressed;
            Repaint(window);
        }
        return 0;
    case MsgLButtonUp: {
        const bool clicked = r->pressed && PointerInside(window, lParam);
        r->pressed = false;
        Repaint(window);
        if (clicked) Click(window);
        return 0;
    }
    case MsgKeyDown:
        if (wParam == KeySpace) Click(window);
        return 0;
    case MsgGetCheck:
        return r->check;
    case MsgSetCheck:
        r->check = wParam != 0 ? 1 : 0;
        Repaint(window);
        return 0;
    case MsgSetFocus:
    case MsgKillFocus:
        if (IsOwnerDraw(*r)) Repaint(window);
        return 0;
    case MsgPaint: {
        const SurfaceId surface = BeginPaint(window);
        PaintButton(window, *r, surface);
        EndPaint(window, surface);
        return 0;
    }
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

intptr_t EditProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return 0;
    EditState& s = StateOf(*r);
    switch (message) {
    case MsgChar:
        if (wParam == KeyBack) {
            if (!DeleteSelection(*r, s) && s.caret > 0) {
                Erase(*r, s.caret - 1, 1);
                s.anchor = --s.caret;
            }
        } else if (wParam >= 0x20 && wParam != 0x7F && wParam <= 0xFFFF) {
            Insert(window, *r, s, static_cast<char16_t>(wParam));
        } else {
            return 0;
        }
        break;
    case MsgKeyDown:
        if (wParam == KeyShift) {
            ShiftHeld = true;
            return 0;
        }
        if (!EditKey(*r, s, wParam)) return DefaultWindowProc(window, message, wParam, lParam);
        break;
    case MsgKeyUp:
        if (wParam == KeyShift) ShiftHeld = false;
        return 0;
    case MsgLimitText:
        r->textLimit = wParam == 0 || wParam >= MaxWindowText ? MaxWindowText - 1 : static_cast<int32_t>(wParam);
        return 0;
    case MsgLButtonDown:
        SetFocus(window);
        MoveCaret(s, CaretAt(*r, s, PointX(lParam)), ShiftHeld);
        break;
    case MsgMouseMove:
        // A drag from a press in the box selects.
        if (PointerCapture() != window) return 0;
        MoveCaret(s, CaretAt(*r, s, PointX(lParam)), true);
        break;
    case MsgSetFocus:
    case MsgKillFocus:
        Repaint(window);
        return 0;
    case MsgPaint: {
        const SurfaceId surface = BeginPaint(window);
        PaintEdit(window, *r, surface);
        EndPaint(window, surface);
        return 0;
    }
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
    KeepCaretInView(window, *r, s);
    Repaint(window);
    return 0;
}

}  // namespace ws

using namespace ws;

WindowId CreateControl(ControlClass kind, const char16_t* text, uint32_t style, const Rect& rect, WindowId parent,
                       int32_t id) {
    if (Find(parent) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return NoWindow;
    }
    WindowKind windowKind = WindowKind::Edit;
    WindowProc procedure = EditProc;
    if (kind == ControlClass::Button) {
        windowKind = (style & 0xF) == ButtonAutoCheckBox ? WindowKind::CheckBox : WindowKind::Button;
        procedure = ButtonProc;
    }
    const WindowId window = NewWindow(windowKind, parent, rect, style | StyleChild, procedure, text);
    if (window == NoWindow) return NoWindow;
    WindowRecord& r = *Find(window);
    r.controlId = id;
    if (windowKind == WindowKind::Edit) {
        // The caret starts after the text the box was made with.
        Edits[&r - &Slot(0)] = EditState{TextLength(r.text), TextLength(r.text), 0};
        KeepCaretInView(window, r, Edits[&r - &Slot(0)]);
    }
    return FinishCreation(window) ? window : NoWindow;
}

}  // namespace plat
