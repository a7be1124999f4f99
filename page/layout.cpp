// Page layout and painting: BuildPage with the page rebuild and the layout pass, and the
// scroll range that follows the content's height. Called for every paint of the main
// window; drives the line fitting of page/line_fit.cpp.
#include "page/layout.h"

#include "book/assembly.h"
#include "book/tables.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "shell/builtin_pages.h"
#include "shell/navigation.h"
#include "shell/toolbar.h"

namespace page {

int32_t TextHeight = 0;
int32_t AverageCharWidth = 0;
int32_t TabWidth = 0;

int32_t LastContentHeight = 0;
int32_t LastPageSize = 0;
bool RepaintPending = false;
bool InputPanelShown = false;

namespace {

constexpr int16_t InventoryParagraph = 6;
constexpr int16_t HintsParagraph = 7;
constexpr uint32_t PieceFlags = plat::TextVCenter | plat::TextSingleLine | plat::TextNoPrefix;
constexpr uint32_t TitleFlags = plat::TextCenter | plat::TextTop | plat::TextSingleLine | plat::TextNoPrefix;

bool RebuildRunning = false;
bool PaintDropped = false;

// What one layout pass draws with.
struct Pass {
    plat::WindowId window;
    plat::SurfaceId surface;
    plat::Rect client;
};

int16_t ClampWidth(int32_t width) {
    return static_cast<int16_t>(width < INT16_MIN ? INT16_MIN : width > INT16_MAX ? INT16_MAX : width);
}

// ---------------------------------------------------------------------------------------
// Rebuild
// ---------------------------------------------------------------------------------------

// Interprets what the navigation state names into the display list and the controls.
void InterpretContent() {
    int16_t paragraph = shell::CurrentParagraph;
    bool inBook = paragraph >= 1 && paragraph <= book::ParagraphCount;
    if (inBook && book::ParagraphIndex[paragraph - 1].chunk == -1) {
        if (paragraph == InventoryParagraph) {
            shell::InventoryPageShown = true;
            shell::BuildInventoryPage();
        } else if (paragraph == HintsParagraph) {
            shell::BuildHintsPage();
        } else {
            // A paragraph without text shows the text assembled last once more.
            markup::MarkupScanner(book::ParagraphText);
        }
    } else if (shell::SpecialPage != 0) {
        shell::BuildSpecialPage();
    } else {
        // A number outside the book is reported by the assembly and leaves the text as it was.
        book::AssembleParagraph(paragraph, book::ParagraphText);
        markup::MarkupScanner(book::ParagraphText);
    }
}

void Rebuild(plat::WindowId window) {
    InputPanelWanted = false;
    ResetControls();
    shell::ChoiceTaken = false;
    shell::InventoryPageShown = false;
    shell::SoundPageShown = false;

    plat::ScrollInfo position = {};
    position.mask = plat::ScrollPos;
    plat::SetScrollInfo(window, position, true);

    TakeFontMetrics();
    ResetDisplayList();
    EmptyPendingLine();
    LastContentHeight = 0;  // so the scroll range is set again at the end of this paint
    shell::NextArrow.mode = 0;
    shell::PreviousArrow.mode = 0;

    InterpretContent();
    shell::UpdateToolbar(!shell::InStory, shell::NextArrow.mode, shell::PreviousArrow.mode);
}

// ---------------------------------------------------------------------------------------
// Layout pass
// ---------------------------------------------------------------------------------------

// Ends the current line: draws what is pending and moves the pen advance pixels down to
// the start of a new line of TextHeight.
void EndLine(const Pass& pass, int32_t advance) {
    if (RunsPending()) FlushLine(pass.window, pass.surface);
    PenY += advance;
    LineHeight = TextHeight;
    PenX = LeftMargin;
}

void LayOutText(const Pass& pass, const char* text) {
    const char* rest = text;
    while (*rest != 0) {
        int32_t width = RightLimit - PenX - pass.client.left;
        int16_t count = FitWords(FitBuffer, rest, LineHeight, width, pass.surface, false);
        if (count == 0 && PenX != LeftMargin) {
            EndLine(pass, LineHeight + 1);
            continue;
        }
        if (count == 0) {
            // A word wider than an empty line is broken where it stops fitting.
            count = FitCharacters(FitBuffer, rest, LineHeight, width, pass.surface, false);
        }
        rest += count;
        if (PenX == LeftMargin && *rest != 0) {
            // The piece fills a line by itself: draw it at once in the font it was measured in.
            static constexpr uint32_t Horizontal[] = {plat::TextLeft, plat::TextCenter, plat::TextRight};
            uint32_t align = Alignment >= Left && Alignment <= Right ? Horizontal[Alignment] : plat::TextLeft;
            plat::DrawText(pass.surface, FitBuffer, count,
                           {PenX + pass.client.left, PenY, RightLimit, PenY + LineHeight}, align | PieceFlags);
        } else {
            AppendTextRun(pass.window, pass.surface, FitBuffer, count, ClampWidth(width));
        }
        if (*rest == 0) {
            PenX += width;  // the next item continues this line
        } else {
            EndLine(pass, LineHeight + 1);
        }
    }
}

void LayOutTitle(const Pass& pass, const char* text) {
    plat::FontId previous = plat::SelectFont(pass.surface, BoldFont);
    int32_t width = RightLimit - pass.client.left;
    int16_t count = FitWords(FitBuffer, text, LineHeight, width, pass.surface, true);
    if (count == 0) count = FitCharacters(FitBuffer, text, LineHeight, width, pass.surface, true);
    // Only the first line of a title is shown.
    plat::Rect band = {pass.client.left, PenY, pass.client.right, PenY + LineHeight};
    plat::DrawText(pass.surface, FitBuffer, count, band, TitleFlags);
    if (shell::ScrollOffset == 0) InvertTitleBand(pass.surface, band);
    PenY += LineHeight;
    plat::SelectFont(pass.surface, previous);
    LineHeight = TextHeight;
    PenX = LeftMargin;
}

void LayOutPicture(const Pass& pass, const DisplayItem& item) {
    // A bitmap that cannot be read takes the whole line and one line of text in height, so
    // the missing picture leaves a gap without covering what follows.
    int32_t width = RightLimit - pass.client.left;
    int32_t height = TextHeight;
    plat::BitmapId bitmap = plat::LoadBitmap(item.index);
    plat::Size size;
    if (bitmap != 0 && plat::GetBitmapSize(bitmap, size)) {
        width = size.width;
        height = size.height;
    }
    if (bitmap != 0) plat::ReleaseBitmap(bitmap);

    if (width > RightLimit - PenX && PenX > LeftMargin) EndLine(pass, LineHeight);
    AppendRun(pass.window, pass.surface, Picture, item.index, ClampWidth(width));
    PenX += width;
    if (height > LineHeight) LineHeight = height;
    if (item.inline_ == 0) EndLine(pass, LineHeight);
}

void LayOutControl(const Pass& pass, const DisplayItem& item) {
    int32_t width, height;
    bool pictureButton = false;
    if (item.kind == EditBox) {
        if (item.index < 0 || item.index >= EditBoxCount) return;
        width = EditBoxTable[item.index].width;
        height = EditBoxTable[item.index].height;
    } else {
        if (item.index < 0 || item.index >= ButtonCount) return;
        width = ButtonTable[item.index].width;
        height = ButtonTable[item.index].height;
        pictureButton = ButtonTable[item.index].bitmap != 0;
    }
    // Also on an empty line, which then stays empty above the control.
    if (RightLimit - PenX < width) EndLine(pass, LineHeight);
    AppendRun(pass.window, pass.surface, item.kind, item.index, ClampWidth(width));
    if (height > LineHeight) LineHeight = height;
    PenX += width + (pictureButton ? 0 : 2);
}

void LayOutTab(const Pass& pass) {
    if (TabWidth <= 0) return;
    int32_t advance = TabWidth - PenX % TabWidth;
    if (PenX + advance >= RightLimit) return;  // a stop at the right edge is ignored
    PenX += advance;
    AppendRun(pass.window, pass.surface, Tab, 0, ClampWidth(advance));
}

void LayOutBoldSwitch(const Pass& pass, bool bold) {
    LayoutBold = bold;
    if (LineRunCount > 0) {
        AppendRun(pass.window, pass.surface, bold ? BoldStart : BoldEnd, 0, 0);
    } else {
        FlushBold = bold;
    }
}

void LayOutItems(const Pass& pass) {
    for (int i = 0; i < DisplayList.count && i < DisplayListCapacity; ++i) {
        const DisplayItem& item = DisplayList.items[i];
        switch (item.kind) {
        case Text: LayOutText(pass, item.text); break;
        case AlignLeft: Alignment = Left; break;
        case AlignCenter: Alignment = Center; break;
        case AlignRight: Alignment = Right; break;
        case BoldStart: LayOutBoldSwitch(pass, true); break;
        case BoldEnd: LayOutBoldSwitch(pass, false); break;
        case LineBreak: EndLine(pass, LineHeight); break;
        case BlankLine: EndLine(pass, 2 * LineHeight); break;
        case Tab: LayOutTab(pass); break;
        case Title: LayOutTitle(pass, item.text); break;
        case Picture: LayOutPicture(pass, item); break;
        case EditBox:
        case Button: LayOutControl(pass, item); break;
        default: break;
        }
    }
    if (RunsPending()) EndLine(pass, LineHeight + 1);
}

// Sets the scroll range when the content's height or the page size changed since it was
// last set; that brings the page back to its top.
void SetScrollRange(plat::WindowId window) {
    int32_t contentHeight = PenY - shell::ScrollOffset;
    if (contentHeight == LastContentHeight && PageSize == LastPageSize) return;
    LastContentHeight = contentHeight;
    LastPageSize = PageSize;
    if (shell::ScrollOffset != 0) RepaintPending = true;

    int32_t maximum;
    if (PageSize < 1) {
        maximum = contentHeight;  // no page to round to before the first size message
    } else if (contentHeight > PageSize) {
        maximum = (contentHeight + PageSize - 1) / PageSize * PageSize;
    } else {
        maximum = PageSize - 1;
    }
    shell::ScrollOffset = 0;
    ScrollMax = maximum;
    plat::ScrollInfo info = {};
    info.mask = plat::ScrollRange | plat::ScrollPage | plat::ScrollPos | plat::ScrollDisableNoScroll;
    info.minimum = 0;
    info.maximum = maximum;
    info.page = PageSize;
    info.position = 0;
    plat::SetScrollInfo(window, info, true);
}

void LayOutPage(plat::WindowId window) {
    shell::RebuildNeeded = false;
    PenY = shell::ScrollOffset;
    LeftMargin = PageMargin;
    RightLimit = ClientArea.right - PageMargin;
    PenX = LeftMargin;

    Pass pass = {window, plat::BeginPaint(window), plat::GetClientRect(window)};
    LayOutItems(pass);
    SetScrollRange(window);
    plat::EndPaint(window, pass.surface);

    if (RepaintPending) {
        // The page went back to its top: lay it out again from there, at once.
        RepaintPending = false;
        plat::InvalidateWindow(window, true);
        plat::UpdateWindow(window);
    }
    if (InputPanelWanted != InputPanelShown) {
        InputPanelShown = InputPanelWanted;
        plat::ShowInputPanel(InputPanelShown);
    }
}

}  // namespace

bool Rebuilding() {
    return RebuildRunning;
}

void TakeFontMetrics() {
    const plat::TextMetrics metrics = plat::DefaultFontMetrics();
    TextHeight = metrics.height;
    AverageCharWidth = metrics.averageWidth;
    TabWidth = 2 * AverageCharWidth;
}

void ResetLayoutState() {
    LineHeight = 0;
    Alignment = Left;
    LayoutBold = false;
    FlushBold = false;
    BuildBold = false;
    InputPanelWanted = false;
    InputPanelShown = false;
    LastContentHeight = 0;
    LastPageSize = 0;
    RepaintPending = false;
    ScrollMax = StartScrollMax;
}

void BuildPage(plat::WindowId window) {
    if (RebuildRunning) {
        // Laying out a half-built page would place its controls and set its scroll range
        // too early; the paint only validates, and the rebuild's paint redraws everything.
        plat::EndPaint(window, plat::BeginPaint(window));
        PaintDropped = true;
        return;
    }
    if (shell::RebuildNeeded) {
        RebuildRunning = true;
        PaintDropped = false;
        Rebuild(window);
        RebuildRunning = false;
        if (PaintDropped) plat::InvalidateWindow(window, true);
    }
    LayOutPage(window);
}

}  // namespace page
