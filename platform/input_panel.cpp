// The soft input panel's state: docked below the page, shown or hidden, and the part of the
// screen it leaves visible. This first cut keeps the state; the on-screen keyboard that
// draws into the panel's place comes later.
#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr int32_t PanelHeight = 80;  // above the command bar when shown

uint32_t PanelFlags = PanelDocked;

}  // namespace

void ResetInputPanel() { PanelFlags = PanelDocked; }

}  // namespace ws

using namespace ws;

InputPanelInfo GetInputPanelInfo() {
    InputPanelInfo info{PanelFlags, Rect{0, TaskbarHeight, ScreenWidth, ScreenHeight}};
    if ((PanelFlags & PanelShown) != 0) info.visibleDesktop.bottom = ScreenHeight - CommandBarHeight - PanelHeight;
    return info;
}

void ShowInputPanel(bool show) {
    if (show) {
        PanelFlags |= PanelShown;
    } else {
        PanelFlags &= ~static_cast<uint32_t>(PanelShown);
    }
}

}  // namespace plat
