// Scrolling and screen fitting: PageSize, ScrollMax, the input panel check, the size
// handling, the scroll messages and the scroll keys. Called by the main window's message
// handling; the page moves under the window by ScrollOffset, which mirrors the scroll bar.
#include "page/scrolling.h"

#include "page/line_fit.h"
#include "shell/navigation.h"

namespace page {

int32_t PageSize = 0;
int32_t ScrollMax = StartScrollMax;
uint32_t InputPanelFlags = 0;

namespace {

constexpr int32_t LineStep = 16;  // pixels of one line up or down

struct ScrollKey {
    uint32_t key;
    uint32_t code;
};

constexpr ScrollKey ScrollKeyTable[] = {
    {plat::KeyPageUp, plat::ScrollPageUp}, {plat::KeyPageDown, plat::ScrollPageDown},
    {plat::KeyEnd, plat::ScrollBottom},    {plat::KeyHome, plat::ScrollTop},
    {plat::KeyUp, plat::ScrollLineUp},     {plat::KeyDown, plat::ScrollLineDown},
};

}  // namespace

plat::Size FitToInputPanel(const plat::InputPanelInfo& panel) {
    InputPanelFlags = panel.flags;
    const plat::Rect& visible = panel.visibleDesktop;
    PageSize = visible.bottom - visible.top - (panel.flags == plat::PanelDocked ? CommandBarAllowance : 0);
    return {visible.right - visible.left, PageSize};
}

void CheckInputPanel(plat::WindowId window) {
    const plat::InputPanelInfo panel = plat::GetInputPanelInfo();
    if (panel.flags == InputPanelFlags) return;
    const plat::Size size = FitToInputPanel(panel);
    plat::ScrollInfo info = {};
    info.mask = plat::ScrollRange | plat::ScrollPage;
    info.maximum = ScrollMax;
    info.page = PageSize;
    plat::SetScrollInfo(window, info, true);
    // The size message this sends sets PageSize again, from the new client height.
    plat::ResizeTopmost(window, size.width, size.height);
    plat::InvalidateWindow(window, true);
    plat::UpdateWindow(window);
}

void ResizePage(plat::WindowId window, int32_t /*width*/, int32_t height) {
    PageSize = height - CommandBarAllowance;
    plat::ScrollInfo info = {};
    info.mask = plat::ScrollRange | plat::ScrollPage | plat::ScrollDisableNoScroll;
    info.minimum = 0;
    info.maximum = ScrollMax;
    info.page = PageSize;
    plat::SetScrollInfo(window, info, true);
}

void ScrollPage(plat::WindowId window, uint32_t code) {
    const plat::ScrollInfo bar = plat::GetScrollInfo(window);
    int32_t position = bar.position;
    switch (code) {
    case plat::ScrollLineUp: position -= LineStep; break;
    case plat::ScrollLineDown: position += LineStep; break;
    case plat::ScrollPageUp: position -= bar.page; break;
    case plat::ScrollPageDown: position += bar.page; break;
    case plat::ScrollThumbTrack: position = bar.trackPosition; break;
    case plat::ScrollTop: position = bar.minimum; break;
    case plat::ScrollBottom: position = bar.maximum; break;
    default: break;
    }
    plat::ScrollInfo set = {};
    set.mask = plat::ScrollPos | plat::ScrollDisableNoScroll;
    set.position = position;
    // The bar keeps the position within its range; what it kept is what counts.
    const int32_t now = plat::SetScrollInfo(window, set, true);
    if (now == bar.position) return;
    const int32_t moved = bar.position - now;
    plat::ScrollWindow(window, moved, ClientArea, ClientArea);
    shell::ScrollOffset += moved;
    plat::UpdateWindow(window);
}

intptr_t ScrollKeys(plat::WindowId window, uintptr_t key, intptr_t lParam) {
    for (const ScrollKey& k : ScrollKeyTable) {
        if (k.key != key) continue;
        plat::PostMessage(window, plat::MsgVScroll, k.code, 0);
        return 0;
    }
    return plat::DefaultWindowProc(window, plat::MsgKeyDown, key, lParam);
}

}  // namespace page
