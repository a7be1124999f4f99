// Input routing: device events become messages for the window they concern. A press goes
// to the topmost shown window under it, which then has the pointer until the release (or
// to the scroll bar under it), or to an open pop-up menu wherever it falls; keys and typed
// text go to the focused window, else to the active top-level window. While a modal box
// runs, other windows get no input.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

WindowId Capture = NoWindow;
WindowId ScrollBarHolder = NoWindow;  // the window whose scroll bar has the pointer
WindowId Modal = NoWindow;
WindowId Popup = NoWindow;            // gets every press while it is open (CapturePointer)

WindowId TopLevelOf(WindowId window) {
    WindowRecord* r = Find(window);
    while (r != nullptr && r->parent != NoWindow) r = Find(r->parent);
    return r != nullptr ? IdOf(*r) : NoWindow;
}

bool BlockedByModal(WindowId window) {
    return Find(Modal) != nullptr && TopLevelOf(window) != Modal;
}

void PostPointer(WindowId window, uint32_t message, int32_t x, int32_t y) {
    WindowRecord* r = Find(window);
    if (r == nullptr) return;
    const Rect client = ClientScreenRect(*r);
    PostMessage(window, message, 0, PointParam(x - client.left, y - client.top));
}

WindowId KeyTarget() {
    WindowId target = GetFocus();
    if (target == NoWindow) target = ActiveWindow();
    if (BlockedByModal(target)) target = Modal;
    return target;
}

void PointerDown(int32_t x, int32_t y) {
    if (Find(Popup) != nullptr && !BlockedByModal(Popup)) {
        Capture = Popup;
        PostPointer(Popup, MsgLButtonDown, x, y);
        return;
    }
    const WindowId hit = WindowAt(x, y);
    if (hit == NoWindow || BlockedByModal(hit)) return;
    WindowRecord* r = Find(hit);
    Activate(hit);
    if (Contains(ScrollBarScreenRect(*r), x, y)) {
        ScrollBarHolder = hit;
        ScrollBarPointer(*r, MsgLButtonDown, x, y);
        return;
    }
    Capture = hit;
    PostPointer(hit, MsgLButtonDown, x, y);
}

void PointerMoveOrUp(uint32_t message, int32_t x, int32_t y) {
    if (WindowRecord* bar = Find(ScrollBarHolder)) {
        if (message == MsgLButtonUp) ScrollBarHolder = NoWindow;
        ScrollBarPointer(*bar, message, x, y);
        return;
    }
    WindowId target = Find(Capture) != nullptr ? Capture : WindowAt(x, y);
    if (message == MsgLButtonUp) Capture = NoWindow;
    if (target == NoWindow || BlockedByModal(target)) return;
    PostPointer(target, message, x, y);
}

}  // namespace

void RouteEvent(const device::Event& event) {
    using device::EventKind;
    switch (event.kind) {
    case EventKind::PointerDown:
        PointerDown(event.x, event.y);
        break;
    case EventKind::PointerMove:
        PointerMoveOrUp(MsgMouseMove, event.x, event.y);
        break;
    case EventKind::PointerUp:
        PointerMoveOrUp(MsgLButtonUp, event.x, event.y);
        break;
    case EventKind::KeyDown:
    case EventKind::KeyUp: {
        const WindowId target = KeyTarget();
        if (target != NoWindow) PostMessage(target, event.kind == EventKind::KeyDown ? MsgKeyDown : MsgKeyUp, event.key, 0);
        break;
    }
    case EventKind::Text: {
        const WindowId target = KeyTarget();
        for (int32_t i = 0; i < device::EventTextCapacity && event.text[i] != 0 && target != NoWindow; ++i) {
            PostMessage(target, MsgChar, event.text[i], 0);
        }
        break;
    }
    case EventKind::Wheel: {
        const WindowId target = KeyTarget();
        const auto delta = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(event.wheelDelta)));
        if (target != NoWindow) PostMessage(target, MsgMouseWheel, static_cast<uintptr_t>(delta) << 16, PointParam(event.x, event.y));
        break;
    }
    case EventKind::CloseRequest: {
        const WindowId target = Find(Modal) != nullptr ? Modal : ActiveWindow();
        if (target != NoWindow) {
            PostMessage(target, MsgClose, 0, 0);
        } else {
            PostQuitMessage(0);
        }
        break;
    }
    case EventKind::WakeUp:
        break;
    }
}

void ForgetWindowInput(WindowId window) {
    if (Capture == window) Capture = NoWindow;
    if (ScrollBarHolder == window) ScrollBarHolder = NoWindow;
    if (Modal == window) Modal = NoWindow;
    if (Popup == window) Popup = NoWindow;
}

void ResetInput() {
    Capture = NoWindow;
    ScrollBarHolder = NoWindow;
    Modal = NoWindow;
    Popup = NoWindow;
}

WindowId PointerCapture() { return Find(Capture) != nullptr ? Capture : NoWindow; }
void CapturePointer(WindowId window) { Popup = window; }
void SetModalWindow(WindowId window) { Modal = window; }

}  // namespace ws
}  // namespace plat
