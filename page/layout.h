// Page layout and painting: BuildPage rebuilds the page when the navigation asks for it and
// then lays the display list out into lines and draws it on every paint. Called by the main
// window's paint handling; drives the line fitting of page/line_fit.h.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

// Metrics of the window's default font, taken at every rebuild.
extern int32_t TextHeight;        // cell height: every new line starts with it
extern int32_t AverageCharWidth;
extern int32_t TabWidth;          // 2 x AverageCharWidth; stops at its multiples

// Scroll bookkeeping: the content height and page size the scroll range was last set for,
// and whether a full repaint follows this paint.
extern int32_t LastContentHeight;
extern int32_t LastPageSize;
extern bool RepaintPending;

// The input panel state last asked of the platform.
extern bool InputPanelShown;

// Handles one paint of the main window. When RebuildNeeded is set, first throws the page's
// controls and display list away and interprets the current paragraph or built-in page
// again; then lays the display list out from ScrollOffset, draws it, places the controls,
// sets the scroll range for the content's height and raises or lowers the input panel.
// A paint that arrives while a rebuild runs (the platform may paint while the rebuild's
// message box is up) draws nothing; the rebuild's own paint then redraws the whole window.
void BuildPage(plat::WindowId window);

// True while BuildPage rebuilds the page.
bool Rebuilding();

// Takes TextHeight, AverageCharWidth and TabWidth from the default font's metrics, as every
// rebuild does first; also for tests that build a page by hand.
void TakeFontMetrics();

// Puts what the page carries from one page to the next (the line height, alignment and
// bold states, the scroll range last set, the input panel's state) back to the values of a
// freshly started reader. For tools and tests that open the page window more than once.
void ResetLayoutState();

}  // namespace page
