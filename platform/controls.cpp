// The child controls: push buttons, owner-drawn buttons, self-ticking check boxes and edit
// boxes, created by CreateControl, with the behaviour the reader needs (a tap becomes
// MsgCommand at the parent, typed characters fill an edit box up to its limit). Their look
// follows the pocket screen: black frames on white, pressed buttons inverted.
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

void PaintEdit(WindowId window, WindowRecord& r, SurfaceId surface) {
    const Rect client = ClientOf(window);
    FillRect(surface, client, White);
    const int32_t length = TextLength(r.text);
    const Size extent = GetTextExtent(surface, r.text, length);
    // Keeps the end of the text, where typing goes on, in view.
    const int32_t room = client.right - 2 * EditPadding - 1;
    const int32_t left = EditPadding - std::max(0, extent.width - room);
    DrawText(surface, r.text, length, Rect{left, 0, left + extent.width + 1, client.bottom},
             TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
    if (GetFocus() == window) {
        const int32_t caretX = left + extent.width;
        const int32_t caretTop = std::max(0, (client.bottom - extent.height) / 2);
        FillRect(surface, Rect{caretX, caretTop, caretX + 1, std::min(client.bottom, caretTop + extent.height)}, Black);
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
    const auto x = static_cast<int16_t>(lParam & 0xFFFF);
    const auto y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    return Contains(ClientOf(window), x, y);
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
    switch (message) {
    case MsgChar: {
        int32_t length = TextLength(r->text);
        if (wParam == KeyBack) {
            if (length > 0) r->text[length - 1] = 0;
        } else if (wParam >= 0x20 && wParam != 0x7F && length < r->textLimit) {
            r->text[length] = static_cast<char16_t>(wParam);
            r->text[length + 1] = 0;
        } else {
            return 0;
        }
        Repaint(window);
        return 0;
    }
    case MsgLimitText:
        r->textLimit = wParam == 0 || wParam >= MaxWindowText ? MaxWindowText - 1 : static_cast<int32_t>(wParam);
        return 0;
    case MsgLButtonDown:
        SetFocus(window);
        return 0;
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
    Find(window)->controlId = id;
    return FinishCreation(window) ? window : NoWindow;
}

}  // namespace plat
