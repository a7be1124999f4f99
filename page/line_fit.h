// Line fitting and line drawing: the page fonts, the pen that moves over the page while it
// is laid out, the pending line of runs, FitWords and FlushLine. Driven item by item by the
// layout pass (page/layout.cpp); the main window's create and destroy handling makes and
// deletes the fonts. Knows nothing of display items or paragraphs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace page {

inline constexpr int LineRunCapacity = 13;    // runs on one pending line
inline constexpr int LineStoreSize = 200;     // wide characters of the pending text runs
inline constexpr int FitBufferSize = 500;     // characters FitWords looks at, terminator included
inline constexpr int32_t PageMargin = 4;      // left margin, and the gap before the right edge
inline constexpr int32_t PageFontPoints = 10;
inline constexpr int32_t BoldWeight = 700;
inline constexpr int32_t NormalWeight = 300;

enum LineAlignment : int16_t { Left = 0, Center = 1, Right = 2 };

// One pending piece of the current line. kind is a DisplayKind (Text, BoldStart, BoldEnd,
// Tab, Picture, EditBox, Button).
struct LineRun {
    int32_t kind;
    int16_t index;         // Text: characters; Picture: bitmap id; controls: table index
    int16_t width;         // pixels; 0 for the bold switches
    const char16_t* text;  // Text: the run's characters in the LineStore
};

// The page fonts: the system face at 10 points, bold and normal. Live as long as the main
// window.
extern plat::FontId BoldFont;
extern plat::FontId NormalFont;

// The main window's client rectangle, captured when the window is created.
extern plat::Rect ClientArea;

// The pen. LeftMargin, RightLimit, PenX and PenY are set afresh by every layout pass;
// LineHeight, Alignment, LayoutBold and FlushBold carry over from one pass to the next.
extern int32_t LeftMargin;
extern int32_t RightLimit;
extern int32_t PenX;
extern int32_t PenY;
extern int32_t LineHeight;
extern int16_t Alignment;
extern bool LayoutBold;  // the bold state the layout has reached
extern bool FlushBold;   // the bold state at the start of the pending line

// The pending line. When it holds LineRunCapacity runs, or a text run would not fit the
// LineStore, the runs are drawn early as a segment and the line goes on at the same PenY:
// such a split line is drawn left-aligned whatever its Alignment, every later segment
// starting at SplitX, where the one before it ended. FlushLine ends the split.
extern LineRun LineRuns[LineRunCapacity];
extern int16_t LineRunCount;
extern char16_t LineStore[LineStoreSize];
extern int16_t LineStoreLength;
extern bool LineSplit;
extern int32_t SplitX;

extern char16_t FitBuffer[FitBufferSize];

// True once a layout pass has placed an edit box; the rebuild clears it and the end of each
// paint raises or lowers the input panel by it.
extern bool InputPanelWanted;

// Finds how many characters of the narrow text fit into width pixels on the current line,
// breaking only after a blank; the piece's width includes its trailing blank. Widens the
// characters it looks at into buffer (FitBufferSize) and ends the piece there with a zero.
// On a fit, raises lineHeight to the piece's height and sets width to the piece's width;
// returns 0 and changes neither when not even the first word fits. Measures in BoldFont for
// a title, otherwise in the font LayoutBold names, and leaves that font selected. Looks at
// no more than FitBufferSize - 1 characters: a longer stretch without a blank is measured
// as if it ended there.
int16_t FitWords(char16_t* buffer, const char* text, int32_t& lineHeight, int32_t& width,
                 plat::SurfaceId surface, bool forTitle);

// Breaks a word too wide for an empty line: fits as many characters as are narrower than
// width, and at least one, so the layout always advances. Same buffer, font and in-out
// rules as FitWords; returns 0 only for an empty text.
int16_t FitCharacters(char16_t* buffer, const char* text, int32_t& lineHeight, int32_t& width,
                      plat::SurfaceId surface, bool forTitle);

// Appends a run to the pending line (a text run through AppendTextRun), first drawing the
// pending runs as an early segment when the line is full.
void AppendRun(plat::WindowId window, plat::SurfaceId surface, int32_t kind, int16_t index,
               int16_t width);
// Appends a text run of count characters, copied into the LineStore. A run too long for
// even an empty LineStore is drawn at once as a segment of its own.
void AppendTextRun(plat::WindowId window, plat::SurfaceId surface, const char16_t* text,
                   int16_t count, int16_t width);
// True while the current line holds runs or was split: it must be flushed when it ends.
bool RunsPending();
// Forgets the pending line without drawing it.
void EmptyPendingLine();

// Draws the pending runs at PenY with the current Alignment (left from SplitX on a split
// line), moves and shows or hides the line's controls, then empties the pending line.
// Leaves PenY and LineHeight as they are.
void FlushLine(plat::WindowId window, plat::SurfaceId surface);

// Inverts every pixel of the rectangle: the title band's light text on a dark band.
void InvertTitleBand(plat::SurfaceId surface, const plat::Rect& rectangle);

// Captures ClientArea and creates the page fonts; clears LayoutBold. Called by the main
// window's create handling, which then creates the command bar. Always succeeds.
bool CreatePageFonts(plat::WindowId window);
// Deletes the page fonts and ends the message loop with exit code 0. Called when the main
// window is destroyed.
void DeletePageFonts();

}  // namespace page
