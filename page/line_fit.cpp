// Line fitting and line drawing: the page fonts, the pen, the pending line, FitWords and
// FlushLine. The layout pass (page/layout.cpp) drives them; the main window's create and
// destroy handling makes and deletes the fonts.
#include "page/line_fit.h"

#include <cstring>

#include "page/controls.h"
#include "page/display_list.h"

namespace page {

plat::FontId BoldFont = 0;
plat::FontId NormalFont = 0;
plat::Rect ClientArea = {0, 0, 0, 0};

int32_t LeftMargin = PageMargin;
int32_t RightLimit = 0;
int32_t PenX = PageMargin;
int32_t PenY = 0;
int32_t LineHeight = 0;
int16_t Alignment = Left;
bool LayoutBold = false;
bool FlushBold = false;

LineRun LineRuns[LineRunCapacity];
int16_t LineRunCount = 0;
char16_t LineStore[LineStoreSize];
int16_t LineStoreLength = 0;
bool LineSplit = false;
int32_t SplitX = 0;

char16_t FitBuffer[FitBufferSize];

bool InputPanelWanted = false;

namespace {

constexpr uint32_t RunTextFlags = plat::TextLeft | plat::TextVCenter | plat::TextSingleLine | plat::TextNoPrefix;

plat::FontId MeasuringFont(bool forTitle) {
    return forTitle || LayoutBold ? BoldFont : NormalFont;
}

// Widens the first characters of text into buffer, at most FitBufferSize - 1 of them, and
// returns how many; the buffer is not terminated.
int32_t WidenWindow(char16_t* buffer, const char* text) {
    int32_t length = 0;
    while (length < FitBufferSize - 1 && text[length] != 0) ++length;
    plat::WidenCount(text, length, buffer);
    return length;
}

// Records a fitted piece of count characters with the given extent: ends it in the buffer
// and updates the caller's line height and width.
int16_t TakePiece(char16_t* buffer, int32_t count, plat::Size extent, int32_t& lineHeight, int32_t& width) {
    buffer[count] = 0;
    if (count > 0) {
        if (extent.height > lineHeight) lineHeight = extent.height;
        width = extent.width;
    }
    return static_cast<int16_t>(count);
}

// Shows a control if it ends above the bottom of the client area, else hides it, and moves
// it to (x, PenY) in the given size without repainting it.
void PlaceControl(plat::WindowId control, int32_t x, int32_t width, int32_t height) {
    if (control == plat::NoWindow) return;
    plat::ShowWindow(control, PenY + height < ClientArea.bottom ? plat::ShowPlain : plat::ShowHide);
    plat::MoveWindow(control, {x, PenY, x + width, PenY + height}, false);
}

// Draws the pending runs from x on and returns where the last one ended.
int32_t DrawRuns(plat::SurfaceId surface, int32_t clientLeft, int32_t x) {
    for (int i = 0; i < LineRunCount; ++i) {
        const LineRun& run = LineRuns[i];
        switch (run.kind) {
        case Text:
            plat::SelectFont(surface, FlushBold ? BoldFont : NormalFont);
            plat::DrawText(surface, run.text, run.index,
                           {x + clientLeft, PenY, RightLimit, PenY + LineHeight}, RunTextFlags);
            x += run.width;
            break;
        case Tab:
            x += run.width;
            break;
        case BoldStart:
            FlushBold = true;
            break;
        case BoldEnd:
            FlushBold = false;
            break;
        case Picture: {
            // An unreadable bitmap is not drawn; its run keeps the width the layout gave it.
            plat::BitmapId bitmap = plat::LoadBitmap(run.index);
            if (bitmap != 0) {
                plat::DrawBitmap(surface, bitmap, x, PenY);
                plat::ReleaseBitmap(bitmap);
            }
            x += run.width;
            break;
        }
        case EditBox: {
            if (run.index < 0 || run.index >= EditBoxCapacity) break;
            const EditBoxEntry& entry = EditBoxTable[run.index];
            plat::WindowId box = EditBoxHandles[run.index];
            PlaceControl(box, x, run.width, entry.height);
            InputPanelWanted = true;
            x += run.width + 2;
            // Every pass focuses its edit boxes in turn, so the last one keeps the focus.
            if (box != plat::NoWindow) plat::SetFocus(box);
            break;
        }
        case Button: {
            if (run.index < 0 || run.index >= ButtonCapacity) break;
            const ButtonEntry& entry = ButtonTable[run.index];
            PlaceControl(ButtonHandles[run.index], x, run.width, entry.height);
            x += run.width + (entry.bitmap != 0 ? 0 : 2);
            break;
        }
        default:
            break;
        }
    }
    return x;
}

// Draws the pending runs now as one segment of a split line and empties the pending line;
// the rest of the line continues where the segment ended.
void FlushSegment(plat::WindowId window, plat::SurfaceId surface) {
    int32_t clientLeft = plat::GetClientRect(window).left;
    SplitX = DrawRuns(surface, clientLeft, LineSplit ? SplitX : LeftMargin);
    LineSplit = true;
    LineRunCount = 0;
    LineStoreLength = 0;
}

}  // namespace

int16_t FitWords(char16_t* buffer, const char* text, int32_t& lineHeight, int32_t& width,
                 plat::SurfaceId surface, bool forTitle) {
    plat::SelectFont(surface, MeasuringFont(forTitle));
    int32_t length = WidenWindow(buffer, text);
    int32_t fit = 0;
    plat::Size best = {0, 0};
    bool stopped = false;
    for (int32_t i = 0; i < length; ++i) {
        if (buffer[i] != u' ') continue;
        plat::Size extent = plat::GetTextExtent(surface, buffer, i + 1);
        if (extent.width >= width) {
            stopped = true;
            break;
        }
        fit = i + 1;
        best = extent;
    }
    if (!stopped && fit < length) {
        plat::Size extent = plat::GetTextExtent(surface, buffer, length);
        if (extent.width < width) {
            fit = length;
            best = extent;
        }
    }
    return TakePiece(buffer, fit, best, lineHeight, width);
}

int16_t FitCharacters(char16_t* buffer, const char* text, int32_t& lineHeight, int32_t& width,
                      plat::SurfaceId surface, bool forTitle) {
    plat::SelectFont(surface, MeasuringFont(forTitle));
    int32_t length = WidenWindow(buffer, text);
    if (length == 0) return TakePiece(buffer, 0, {0, 0}, lineHeight, width);
    // Extents grow with the prefix: search for the longest prefix narrower than width.
    int32_t low = 1, high = length;
    while (low < high) {
        int32_t middle = (low + high + 1) / 2;
        if (plat::GetTextExtent(surface, buffer, middle).width < width) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return TakePiece(buffer, low, plat::GetTextExtent(surface, buffer, low), lineHeight, width);
}

void AppendRun(plat::WindowId window, plat::SurfaceId surface, int32_t kind, int16_t index, int16_t width) {
    if (LineRunCount == LineRunCapacity) FlushSegment(window, surface);
    LineRuns[LineRunCount++] = {kind, index, width, nullptr};
}

void AppendTextRun(plat::WindowId window, plat::SurfaceId surface, const char16_t* text, int16_t count,
                   int16_t width) {
    if (LineRunCount == LineRunCapacity || LineStoreLength + count + 1 > LineStoreSize) {
        FlushSegment(window, surface);
    }
    if (count + 1 > LineStoreSize) {
        // Too long for any LineStore: it becomes a segment of its own, drawn from here.
        int32_t clientLeft = plat::GetClientRect(window).left;
        plat::SelectFont(surface, FlushBold ? BoldFont : NormalFont);
        plat::DrawText(surface, text, count, {SplitX + clientLeft, PenY, RightLimit, PenY + LineHeight},
                       RunTextFlags);
        SplitX += width;
        return;
    }
    char16_t* copy = LineStore + LineStoreLength;
    std::memcpy(copy, text, sizeof(char16_t) * static_cast<size_t>(count));
    copy[count] = 0;
    LineStoreLength = static_cast<int16_t>(LineStoreLength + count + 1);
    LineRuns[LineRunCount++] = {Text, count, width, copy};
}

bool RunsPending() {
    return LineRunCount > 0 || LineSplit;
}

void EmptyPendingLine() {
    LineRunCount = 0;
    LineStoreLength = 0;
    LineSplit = false;
}

void FlushLine(plat::WindowId window, plat::SurfaceId surface) {
    int32_t total = 0;
    for (int i = 0; i < LineRunCount; ++i) total += LineRuns[i].width;
    int32_t clientLeft = plat::GetClientRect(window).left;
    int32_t x = LeftMargin;
    if (LineSplit) {
        x = SplitX;
    } else if (Alignment == Center) {
        x = (RightLimit + clientLeft - total) / 2;
    } else if (Alignment == Right) {
        x = RightLimit - total;
    }
    DrawRuns(surface, clientLeft, x);
    EmptyPendingLine();
}

void InvertTitleBand(plat::SurfaceId surface, const plat::Rect& rectangle) {
    plat::InvertRect(surface, rectangle);
}

bool CreatePageFonts(plat::WindowId window) {
    ClientArea = plat::GetClientRect(window);
    // 10 points at the screen's resolution, a half pixel rounding up: 13 pixels at 96 dpi.
    int32_t height = (plat::ScreenDpiY() * PageFontPoints * 2 + 72) / 144;
    plat::FontDescription description = plat::SystemFontDescription();
    description.height = height;
    description.weight = BoldWeight;
    BoldFont = plat::CreateFont(description);
    description = plat::SystemFontDescription();
    description.height = height;
    description.weight = NormalWeight;
    NormalFont = plat::CreateFont(description);
    LayoutBold = false;
    return true;
}

void DeletePageFonts() {
    plat::DeleteFont(NormalFont);
    plat::DeleteFont(BoldFont);
    NormalFont = 0;
    BoldFont = 0;
    plat::PostQuitMessage(0);
}

}  // namespace page
