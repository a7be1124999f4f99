// The soft input panel: docked above the command bar, shown or hidden, and the part of the
// screen it leaves visible. ShowInputPanel (the page, the command bar's panel button) raises
// and lowers it at once and tells every top-level window; the keyboard inside it is
// keyboard.cpp's. GetInputPanelInfo answers the main window's CheckInputPanel.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr int32_t PanelHeight = 80;
constexpr Rect PanelRect{0, ScreenHeight - CommandBarHeight - PanelHeight, ScreenWidth, ScreenHeight - CommandBarHeight};

uint32_t PanelFlags = PanelDocked;
WindowId PanelWindow = NoWindow;


// Posts the change to every top-level window, as the shell announces a new panel state.
void AnnounceChange() {
    for (int32_t i = 0; i < MaxWindows; ++i) {
        const WindowRecord& r = Slot(i);
        if (r.kind == WindowKind::TopLevel && !r.destroying) PostMessage(IdOf(r), MsgSettingChange, SettingInputPanel, 0);
    }
}

}  // namespace

void MakeInputPanel() {
    if (Find(PanelWindow) != nullptr) return;
    PanelWindow = NewWindow(WindowKind::InputPanel, NoWindow, PanelRect, 0, KeyboardProc, u"");
    if (WindowRecord* r = Find(PanelWindow)) r->topmost = true;
}

void ResetInputPanel() {
    PanelFlags = PanelDocked;
    PanelWindow = NoWindow;
    ResetKeyboard();
}

}  // namespace ws

using namespace ws;

InputPanelInfo GetInputPanelInfo() {
    InputPanelInfo info{PanelFlags, Rect{0, TaskbarHeight, ScreenWidth, ScreenHeight}};
    if ((PanelFlags & PanelShown) != 0) info.visibleDesktop.bottom = PanelRect.top;
    return info;
}

void ShowInputPanel(bool show) {
    if (show == ((PanelFlags & PanelShown) != 0)) return;
    if (show) {
        // Without a window for the keyboard the panel stays down.
        MakeInputPanel();
        WindowRecord* panel = Find(PanelWindow);
        if (panel == nullptr) return;
        BringToTop(*panel);
        ShowWindow(PanelWindow, ShowNoActivate);
        PanelFlags |= PanelShown;
    } else {
        if (Find(PanelWindow) != nullptr) ShowWindow(PanelWindow, ShowHide);
        ResetKeyboard();
        PanelFlags &= ~static_cast<uint32_t>(PanelShown);
    }
    InvalidateCommandBar();
    AnnounceChange();
}

}  // namespace plat
