// Scrolling and screen fitting: the scroll bar's page and range, the scroll messages and
// keys, and the fit of the main window to what the soft input panel leaves of the screen.
// The main window's message handling calls these; the layout pass sets the range from the
// content's height.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

inline constexpr int32_t CommandBarAllowance = 26;  // pixels of the client area under the command bar
inline constexpr int32_t StartScrollMax = 400;      // the range before the first page is laid out

// The scroll bar's page in pixels: what the reader sees of the page at once.
extern int32_t PageSize;
// The scroll range's maximum as the layout last set it (the minimum is always 0).
extern int32_t ScrollMax;
// The input panel's flags (plat::InputPanelFlag) as last seen; start-up sets them first.
extern uint32_t InputPanelFlags;

// Takes the input panel's state as the page's: keeps its flags in InputPanelFlags and sets
// PageSize to the visible desktop's height, 26 pixels less while the panel is docked and
// hidden. Returns the window size that fits: the visible desktop's width by PageSize.
plat::Size FitToInputPanel(const plat::InputPanelInfo& panel);
// Runs before every message of the main window: when the input panel's flags changed since
// the last message, fits the window to the visible desktop (26 pixels shorter while the
// panel is docked and hidden), sets the scroll bar's page and repaints at once.
void CheckInputPanel(plat::WindowId window);

// Handles a vertical-scroll message with its scroll code (plat::ScrollCode): moves the
// position, scrolls the window's pixels and controls by the change, moves ScrollOffset with
// it and paints the uncovered strip at once. A code that changes nothing does nothing.
void ScrollPage(plat::WindowId window, uint32_t code);

// Handles a key-down: Page Up, Page Down, End, Home, Up and Down are posted to the window
// as scroll messages and answered 0; every other key goes to the default handling, whose
// result is returned.
intptr_t ScrollKeys(plat::WindowId window, uintptr_t key, intptr_t lParam);

// Handles the size message: PageSize becomes the new client height less the command bar's
// allowance, and the scroll bar gets the range 0..ScrollMax and that page, shown disabled
// when there is nothing to scroll. The width is not used.
void ResizePage(plat::WindowId window, int32_t width, int32_t height);

}  // namespace page
