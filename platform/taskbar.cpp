// The taskbar along the top of the pocket screen: a band that shows the caption of the
// active top-level window. The window system creates it, and the input panel's window with
// it, along with the first top-level window.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr uint32_t TaskbarColour = 0x0A246A;
constexpr uint32_t CaptionColour = 0xFFFFFF;
constexpr int32_t CaptionLeft = 6;

WindowId TaskbarWindow = NoWindow;

intptr_t TaskbarProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message != MsgPaint) return DefaultWindowProc(window, message, wParam, lParam);
    const SurfaceId surface = BeginPaint(window);
    const Rect band{0, 0, ScreenWidth, TaskbarHeight};
    FillRect(surface, band, TaskbarColour);
    char16_t caption[MaxWindowText];
    GetWindowText(ActiveWindow(), caption, MaxWindowText);
    const uint32_t previous = SetTextColor(surface, CaptionColour);
    DrawText(surface, caption, -1, Rect{CaptionLeft, 0, ScreenWidth - CaptionLeft, TaskbarHeight},
             TextLeft | TextVCenter | TextSingleLine | TextNoPrefix);
    SetTextColor(surface, previous);
    EndPaint(window, surface);
    return 0;
}

}  // namespace

WindowId Taskbar() {
    if (Find(TaskbarWindow) != nullptr) return TaskbarWindow;
    TaskbarWindow = NewWindow(WindowKind::Taskbar, NoWindow, TaskbarRect, StyleVisible, TaskbarProc, u"");
    if (WindowRecord* r = Find(TaskbarWindow)) {
        r->topmost = true;
        ShowWindow(TaskbarWindow, ShowNoActivate);
    }
    MakeInputPanel();
    return TaskbarWindow;
}

void InvalidateTaskbar() {
    if (Find(TaskbarWindow) != nullptr) InvalidateWindow(TaskbarWindow, true);
}

}  // namespace ws
}  // namespace plat
