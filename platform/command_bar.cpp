// The command bar strip along the bottom of the pocket screen, owned by the window it
// serves. This first cut reserves the strip and keeps the states of its buttons; its
// menu and image buttons come with the menu-bar resources.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr uint32_t BarColour = 0xD6D3CE;
constexpr int32_t MaxCommandBarButtons = 16;

struct ButtonState {
    uint32_t command;
    intptr_t state;
};

ButtonState Buttons[MaxCommandBarButtons];
int32_t ButtonCount = 0;

intptr_t StateOf(uint32_t command) {
    for (int32_t i = 0; i < ButtonCount; ++i) {
        if (Buttons[i].command == command) return Buttons[i].state;
    }
    return 0;
}

void RememberState(uint32_t command, intptr_t state) {
    for (int32_t i = 0; i < ButtonCount; ++i) {
        if (Buttons[i].command == command) {
            Buttons[i].state = state;
            return;
        }
    }
    if (ButtonCount < MaxCommandBarButtons) Buttons[ButtonCount++] = ButtonState{command, state};
}

intptr_t CommandBarProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case MsgSetButtonState:
        RememberState(static_cast<uint32_t>(wParam), lParam);
        InvalidateWindow(window, true);
        return 1;
    case MsgGetButtonState:
        return StateOf(static_cast<uint32_t>(wParam));
    case MsgPaint: {
        const SurfaceId surface = BeginPaint(window);
        FillRect(surface, Rect{0, 0, ScreenWidth, CommandBarHeight}, BarColour);
        FillRect(surface, Rect{0, 0, ScreenWidth, 1}, 0x808080);
        EndPaint(window, surface);
        return 0;
    }
    default:
        return DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace
}  // namespace ws

using namespace ws;

WindowId CreateMenuBar(WindowId window, int32_t /*menuBarId*/, int32_t /*bitmapId*/, int32_t /*imageCount*/) {
    if (Find(window) == nullptr) {
        SetLastError(ErrorInvalidWindow);
        return NoWindow;
    }
    const WindowId bar = NewWindow(WindowKind::CommandBar, NoWindow, CommandBarRect, StyleVisible, CommandBarProc, u"");
    WindowRecord* r = Find(bar);
    if (r == nullptr) return NoWindow;
    r->owner = window;
    r->topmost = true;
    ButtonCount = 0;
    ShowWindow(bar, ShowNoActivate);
    return bar;
}

}  // namespace plat
