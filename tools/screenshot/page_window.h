// A bare page window on the headless device: the page's messages handled as the reader's
// own window handles them (page fonts, page size, BuildPage, button drawing), without the
// command bar and the rest of the reader around the page. Used by the screenshot tool, the
// page and controls tests and the page benchmark.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace screenshot {

// The main window's outer size on the pocket screen with the command bar: its client area
// is 268 high and as wide as the screen less the scroll bar.
inline constexpr int32_t PageWindowWidth = plat::ScreenWidth;
inline constexpr int32_t PageWindowHeight = 268;

// Starts the headless device afresh with the framebuffer at scale (1..3) and opens the
// page window, with the layout's carried state as the reader has it at start-up; NoWindow
// when the window cannot be made.
plat::WindowId OpenPageWindow(int32_t scale);
// Destroys the window (which deletes the page fonts) and drops the quit message it posts.
void ClosePageWindow(plat::WindowId window);

// Shows paragraph n from its top as navigation does: rebuilt and painted before returning.
void ShowParagraph(plat::WindowId window, int16_t paragraph);
// Paints the window again without rebuilding the page.
void Repaint(plat::WindowId window);

// The window's client area in screen coordinates.
plat::Rect ClientOnScreen(plat::WindowId window);

}  // namespace screenshot
