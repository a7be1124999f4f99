// Scrolling and screen fitting: the scroll bar's page and range as the page layout and the
// size handling leave them. The main window's message handling calls ResizePage; the layout
// pass sets the range from the content's height.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

inline constexpr int32_t CommandBarAllowance = 26;  // pixels of the client area under the command bar

// The scroll bar's page in pixels: what the reader sees of the page at once.
extern int32_t PageSize;
// The scroll range's maximum as the layout last set it (the minimum is always 0).
extern int32_t ScrollMax;

// Handles the size message: PageSize becomes the new client height less the command bar's
// allowance, and the scroll bar gets the range 0..ScrollMax and that page, shown disabled
// when there is nothing to scroll. The width is not used.
void ResizePage(plat::WindowId window, int32_t width, int32_t height);

}  // namespace page
