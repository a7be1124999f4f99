// The layout pass and the rebuild: display lists laid out and drawn, asserted on the draws
// the headless device recorded and on where the controls went; fixture paragraphs where
// the rebuild itself is under test.
#include <gtest/gtest.h>

#include <string>

#include "page/controls.h"
#include "page/display_list.h"
#include "page/layout.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "platform/device.h"
#include "shell/navigation.h"
#include "tests/page/page_harness.h"
#include "tools/screenshot/page_window.h"

namespace pagetest {
namespace {

class LayoutTest : public PageTest {
protected:
    // The height of a line holding text of the normal font.
    int32_t TextLine() const { return std::max(page::TextHeight, Height("x")); }
};

// ---------------------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------------------

TEST_F(LayoutTest, TextThatFitsIsOneRunAndTheNextItemContinuesTheLine) {
    page::AppendWords("Short words ");
    page::BoldOn();
    page::AppendWords("bold ");
    page::BoldOff();
    page::AppendWords("tail");
    Paint();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"Short words ");
    EXPECT_EQ(texts[0].rect.left, 4);
    EXPECT_EQ(texts[1].rect.left, 4 + Width("Short words ")) << "PenX advanced by the width, trailing blank included";
    EXPECT_EQ(texts[2].rect.left, 4 + Width("Short words ") + Width("bold ", true));
    EXPECT_EQ(texts[0].font, page::NormalFont);
    EXPECT_EQ(texts[1].font, page::BoldFont);
    EXPECT_EQ(texts[2].font, page::NormalFont);
    for (const DrawnText& t : texts) {
        EXPECT_EQ(t.rect.top, 0) << "one line";
        EXPECT_EQ(t.flags & (plat::TextVCenter | plat::TextSingleLine | plat::TextNoPrefix),
                  plat::TextVCenter | plat::TextSingleLine | plat::TextNoPrefix);
    }
}

TEST_F(LayoutTest, LongTextWrapsAtBlanksWithLinesOneLineHeightPlusOneApart) {
    const std::string text =
        "The causeway runs out into the mire on stones that were laid before anyone now living was "
        "born. Some of them rock underfoot, and some are not stones at all but the backs of old timbers.";
    page::AppendWords(text.c_str());
    Paint();
    auto texts = Texts();
    ASSERT_GE(texts.size(), 3u);
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string line = Narrow(texts[i].text);
        joined += line;
        EXPECT_EQ(texts[i].rect.left, 4);
        EXPECT_EQ(texts[i].rect.top, static_cast<int32_t>(i) * (TextLine() + 1));
        EXPECT_LT(Width(line.c_str()), page::RightLimit - 4) << line;
        if (i + 1 < texts.size()) {
            EXPECT_EQ(line.back(), ' ') << "lines break only after a blank";
            std::string next = Narrow(texts[i + 1].text);
            std::string firstWord = next.substr(0, next.find(' ') == std::string::npos ? next.size() : next.find(' ') + 1);
            EXPECT_GE(Width((line + firstWord).c_str()), page::RightLimit - 4) << "the next word did not fit";
        }
    }
    EXPECT_EQ(joined, text) << "every character drawn once, in order";
}

TEST_F(LayoutTest, AWordWiderThanTheLineIsBrokenWhereItStopsFitting) {
    std::string word(604, 'm');
    page::AppendWords(("a " + word + " z").c_str());
    Paint();
    auto texts = Texts();
    std::string joined;
    for (const DrawnText& t : texts) {
        std::string piece = Narrow(t.text);
        joined += piece;
        EXPECT_LT(Width(piece.c_str()), page::RightLimit - 4);
    }
    EXPECT_EQ(joined, "a " + word + " z");
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(Narrow(texts[0].text), "a ") << "the wide word starts a line of its own";
    EXPECT_GT(texts[1].rect.top, texts[0].rect.top);
}

TEST_F(LayoutTest, BreaksAndBlankLinesAdvanceByTheLineHeight) {
    struct Row {
        int32_t startHeight;  // LineHeight left by the previous pass
        std::vector<int32_t> kinds;
        const char* what;
        int32_t expectedTop;  // of the text "b" after the items
    };
    page::TextHeight = plat::DefaultFontMetrics().height;
    const int32_t line = TextLine(), th = page::TextHeight;
    const Row rows[] = {
        {th, {page::Text, page::LineBreak, page::LineBreak}, "two breaks after text leave one empty line", line + th},
        {th, {page::Text, page::BlankLine}, "a blank line after text: twice that line's height", 2 * line},
        {th, {page::Text, page::LineBreak}, "one break", line},
        {0, {page::BlankLine}, "the first paint after start-up: no height yet", 0},
        {0, {page::LineBreak, page::LineBreak}, "the first break leaves TextHeight for the next", th},
        {th, {page::BlankLine}, "later passes: the line height the last pass left", 2 * th},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartPage();
        page::LineHeight = row.startHeight;
        for (int32_t kind : row.kinds) {
            if (kind == page::Text) page::AppendWords("a");
            if (kind == page::LineBreak) page::AppendLineBreak();
            if (kind == page::BlankLine) page::AppendBlankLine();
        }
        page::AppendWords("b");
        Paint();
        auto texts = Texts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back().text, u"b");
        EXPECT_EQ(texts.back().rect.top, row.expectedTop);
    }
}

TEST_F(LayoutTest, TabsMoveToTheNextStopUnlessItReachesRightLimit) {
    page::ClientArea.right = 236;  // RightLimit 232
    page::TabWidth = 10;
    struct Row {
        int16_t before;  // a button this wide (+2) puts PenX at 6 + before
        int32_t expectedX;
        const char* what;
    } rows[] = {
        {34, 50, "from 40 to 50"},
        {38, 50, "from 44 to 50"},
        {44, 60, "standing on a stop: to the next one"},
        {222, 230, "from 228 to 230, just inside RightLimit"},
        {224, 230, "from 230 the stop would be 240: ignored"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartPage();
        page::ClientArea.right = 236;
        page::TabWidth = 10;
        AddButton(row.before, 10);
        page::AppendTab();
        plat::WindowId after = AddButton(1, 10);
        Paint();
        EXPECT_EQ(ControlRect(after).left, row.expectedX);
        EXPECT_EQ(ControlRect(after).top, 0);
    }
}

TEST_F(LayoutTest, AnAlignmentInTheMiddleOfALineDecidesTheWholeLine) {
    page::AppendWords("left ");
    page::SetAlignment(2);
    page::AppendWords("right");
    page::AppendLineBreak();
    page::AppendWords("next");
    Paint();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    int32_t total = Width("left ") + Width("right");
    EXPECT_EQ(texts[0].rect.left, page::RightLimit - total);
    EXPECT_EQ(texts[1].rect.left, page::RightLimit - Width("right"));
    EXPECT_EQ(texts[2].rect.left, page::RightLimit - Width("next")) << "the next line is still right-aligned";
}

TEST_F(LayoutTest, APieceThatFillsALineIsDrawnAtOnceWithTheAlignment) {
    page::SetAlignment(1);
    std::string text = "The causeway runs out into the mire on stones that were laid before anyone was born.";
    page::AppendWords(text.c_str());
    Paint();
    auto texts = Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.left, 4) << "drawn in the rest of the line";
    EXPECT_EQ(texts[0].rect.right, page::RightLimit);
    EXPECT_EQ(texts[0].flags & 3u, plat::TextCenter);
    int32_t last = Width(Narrow(texts.back().text).c_str());
    EXPECT_EQ(texts.back().rect.left, (page::RightLimit - last) / 2) << "the last piece goes through FlushLine";
}

// ---------------------------------------------------------------------------------------
// Pictures and controls
// ---------------------------------------------------------------------------------------

TEST_F(LayoutTest, APictureThatIsNotInlineEndsItsLine) {
    page::AppendWords("a");
    page::AppendBookPicture(2, false);  // bitmap 2001, 96 x 48
    page::AppendWords("b");
    Paint();
    auto bitmaps = Bitmaps();
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].resourceId, 2001);
    EXPECT_EQ(bitmaps[0].x, 4 + Width("a"));
    EXPECT_EQ(bitmaps[0].y, 0) << "pictures hang from the top of the line";
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.bottom, 48) << "text is centred in the picture's line";
    EXPECT_EQ(texts[1].rect.top, 48) << "the next text starts below the picture";
    EXPECT_EQ(texts[1].rect.left, 4);
}

TEST_F(LayoutTest, AnInlinePictureThatDoesNotFitAfterOtherThingsStartsANewLine) {
    AddButton(150, 20);
    page::AppendBookPicture(3, true);  // 12 x 12: fits after the button
    page::AppendBookPicture(2, true);  // 96 wide: does not fit after them
    page::AppendWords("after");
    Paint();
    auto bitmaps = Bitmaps();
    ASSERT_EQ(bitmaps.size(), 2u);
    EXPECT_EQ(bitmaps[0].x, 4 + 152);
    EXPECT_EQ(bitmaps[0].y, 0);
    EXPECT_EQ(bitmaps[1].x, 4);
    EXPECT_EQ(bitmaps[1].y, 20) << "the line ended by a picture advances by its height alone";
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.left, 4 + 96) << "an inline picture keeps its line going";
    EXPECT_EQ(texts[0].rect.top, 20);
}

TEST_F(LayoutTest, APictureWiderThanTheLineIsPlacedAtTheStartOfALine) {
    page::ClientArea.right = 60;  // RightLimit 56: the 96-pixel picture is wider
    page::AppendBookPicture(2, true);
    page::AppendWords("x");
    Paint();
    auto bitmaps = Bitmaps();
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].x, 4);
    EXPECT_EQ(bitmaps[0].y, 0);
}

TEST_F(LayoutTest, APictureThatCannotBeReadTakesTheLineAndOneTextHeight) {
    page::LineHeight = 0;
    page::AppendBookPicture(4, false);  // bitmap 2099 does not exist
    page::AppendWords("below");
    Paint();
    EXPECT_TRUE(Bitmaps().empty()) << "nothing drawn";
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.top, page::TextHeight);
}

TEST_F(LayoutTest, AButtonWiderThanTheRestOfTheLineStartsANewLineEvenOnAnEmptyLine) {
    plat::WindowId wide = AddButton(400, 20);
    plat::WindowId next = AddButton(30, 20);
    Paint();
    EXPECT_EQ(ControlRect(wide).left, 4);
    EXPECT_EQ(ControlRect(wide).top, page::TextHeight) << "an empty line of TextHeight above it";
    EXPECT_EQ(ControlRect(next).top, page::TextHeight + 20) << "nothing else fits after it";
}

TEST_F(LayoutTest, ControlsShareALineAndTheTallestSetsItsHeight) {
    plat::WindowId first = AddButton(40, 30);
    plat::WindowId box = AddEditBox(50, 19);
    page::AppendLineBreak();
    page::AppendWords("below");
    Paint();
    EXPECT_EQ(ControlRect(first).left, 4);
    EXPECT_EQ(ControlRect(box).left, 46);
    EXPECT_EQ(ControlRect(box).top, 0);
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rect.top, 30);
}

TEST_F(LayoutTest, AControlOnALowerLineIsHiddenWhenItEndsAtTheBottom) {
    const int16_t bottom = static_cast<int16_t>(page::ClientArea.bottom);
    AddButton(200, static_cast<int16_t>(bottom - 21));  // fills the page down to 21 pixels above the bottom
    plat::WindowId low = AddButton(200, 20);            // on the next line
    Paint();
    EXPECT_EQ(ControlRect(low).top, bottom - 21);
    EXPECT_TRUE(plat::IsWindowVisible(low)) << "ends one pixel above the bottom";

    StartPage();
    AddButton(200, static_cast<int16_t>(bottom - 20));
    low = AddButton(200, 20);
    Paint();
    EXPECT_FALSE(plat::IsWindowVisible(low)) << "ends at the bottom";
}

TEST_F(LayoutTest, APageWithAnEditBoxRaisesTheInputPanelAndTheNextPageLowersIt) {
    AddEditBox(60, 19);
    page::InputPanelWanted = false;
    Paint();
    EXPECT_TRUE(page::InputPanelShown);
    EXPECT_NE(plat::GetInputPanelInfo().flags & plat::PanelShown, 0u);
    Show(201);  // a rebuilt page without edit boxes
    EXPECT_FALSE(page::InputPanelWanted);
    EXPECT_FALSE(page::InputPanelShown);
    EXPECT_EQ(plat::GetInputPanelInfo().flags & plat::PanelShown, 0u);
}

// ---------------------------------------------------------------------------------------
// The title
// ---------------------------------------------------------------------------------------

TEST_F(LayoutTest, TheTitleIsInvertedAtTheTopPlainWhenScrolledAndShowsOnlyItsFirstLine) {
    const char* title = "The Drowned Chapel of the Long Mire and of All Its Sunken Bells ";
    page::AppendTitle(title);
    page::AppendWords("text");
    Paint();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    std::string shown = Narrow(texts[0].text);
    EXPECT_EQ(std::string(title).substr(0, shown.size()), shown);
    EXPECT_LT(shown.size(), std::string(title).size()) << "only the first line";
    EXPECT_EQ(texts[0].font, page::BoldFont);
    EXPECT_EQ(texts[0].flags & 3u, plat::TextCenter);
    const int32_t band = std::max(page::TextHeight, Height(title, true));
    plat::Rect expected = {0, 0, page::ClientArea.right, band};
    auto inverted = Inversions();
    ASSERT_EQ(inverted.size(), 1u);
    EXPECT_EQ(inverted[0].top, expected.top);
    EXPECT_EQ(inverted[0].bottom, expected.bottom);
    EXPECT_EQ(inverted[0].left, 0);
    EXPECT_EQ(inverted[0].right, plat::GetClientRect(window).right);
    EXPECT_EQ(texts[1].rect.top, band) << "the title's line advances by its height alone";

    // The same page scrolled: the content height is unchanged, so the offset is kept.
    shell::ScrollOffset = -5;
    Paint();
    EXPECT_TRUE(Inversions().empty());
    texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect.top, -5);
    EXPECT_EQ(shell::ScrollOffset, -5);
}

TEST_F(LayoutTest, ATitleWordWiderThanTheLineShowsWhatFits) {
    std::string title(80, 'W');
    page::AppendTitle(title.c_str());
    Paint();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_GT(texts[0].text.size(), 0u);
    EXPECT_LT(Width(Narrow(texts[0].text).c_str(), true), page::RightLimit);
}

// ---------------------------------------------------------------------------------------
// The scroll range
// ---------------------------------------------------------------------------------------

TEST_F(LayoutTest, TheScrollRangeFollowsTheContentHeight) {
    struct Row {
        int16_t buttonHeight;  // the content is one line of it, plus 1
        int32_t maximum;
        const char* what;
    } rows[] = {
        {499, 726, "500: raised to the next multiple of the page"},
        {483, 484, "484: a multiple already"},
        {199, 241, "200: less than a page, nothing to scroll"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartPage();
        page::PageSize = 242;
        AddButton(50, row.buttonHeight);
        Paint();
        EXPECT_EQ(page::LastContentHeight, row.buttonHeight + 1);
        EXPECT_EQ(page::ScrollMax, row.maximum);
        plat::ScrollInfo info = plat::GetScrollInfo(window);
        EXPECT_EQ(info.minimum, 0);
        EXPECT_EQ(info.maximum, row.maximum);
        EXPECT_EQ(info.page, 242);
        EXPECT_EQ(info.position, 0);
    }
}

TEST_F(LayoutTest, ARepaintKeepsTheScrollPositionAndAChangedPageGoesBackToItsTop) {
    page::PageSize = 242;
    AddButton(50, 499);
    Paint();
    plat::ScrollInfo position = {};
    position.mask = plat::ScrollPos;
    position.position = 100;
    plat::SetScrollInfo(window, position, true);
    shell::ScrollOffset = -100;
    Paint();
    EXPECT_EQ(shell::ScrollOffset, -100) << "same content, same page: kept";
    EXPECT_EQ(plat::GetScrollInfo(window).position, 100);

    page::ButtonTable[0].height = 300;  // the content changes height while scrolled
    Paint();
    EXPECT_EQ(shell::ScrollOffset, 0);
    EXPECT_FALSE(page::RepaintPending);
    auto texts = Texts();
    EXPECT_EQ(ControlRect(page::ButtonHandles[0]).top, 0) << "the nested repaint laid the page out from its top";
    EXPECT_EQ(page::ScrollMax, 484);
}

// ---------------------------------------------------------------------------------------
// Overflow of the pending line, through the whole rebuild
// ---------------------------------------------------------------------------------------

TEST_F(LayoutTest, ALineOfMoreRunsThanThePendingLineHoldsIsDrawnWhole) {
    Show(202);  // seven bold words: about 4 runs each (switch, word, switch, blank) on one line
    auto texts = Texts();
    std::string joined;
    int32_t x = 4;
    for (const DrawnText& t : texts) {
        std::string piece = Narrow(t.text);
        EXPECT_EQ(t.rect.top, 0) << piece;
        EXPECT_EQ(t.rect.left, x) << piece;
        bool bold = piece != " ";
        EXPECT_EQ(t.font, bold ? page::BoldFont : page::NormalFont) << piece;
        x += Width(piece.c_str(), bold);
        joined += piece;
    }
    EXPECT_EQ(joined, "one two six ten elm oak ash");
    EXPECT_FALSE(page::LineSplit);
}

TEST_F(LayoutTest, AParagraphOfOneHugeWordIsLaidOutInBrokenLines) {
    Show(203);
    auto texts = Texts();
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) {
        joined += Narrow(texts[i].text);
        if (i > 0) {
            EXPECT_GT(texts[i].rect.top, texts[i - 1].rect.top);
        }
    }
    std::string word;
    for (int i = 0; i < 3 * 8; ++i) word += "abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(joined, word);
}

// ---------------------------------------------------------------------------------------
// The rebuild
// ---------------------------------------------------------------------------------------

// A device whose message boxes let the window paint while they are up, as a modal box does.
plat::device::Device PaintingDevice;
const plat::device::Device* HeadlessDevice = nullptr;
plat::WindowId PaintedWindow = plat::NoWindow;
int NestedPaints = 0;
bool RebuildingDuringBox = false;
int32_t RecordsDuringBox = 0;

int32_t AnswerAfterPainting(plat::WindowId owner, const char16_t* text, const char16_t* caption, uint32_t buttons) {
    RebuildingDuringBox = page::Rebuilding();
    int32_t before = plat::record::Count();
    plat::InvalidateWindow(PaintedWindow, true);
    plat::UpdateWindow(PaintedWindow);
    ++NestedPaints;
    RecordsDuringBox = plat::record::Count() - before;
    return HeadlessDevice->answerMessageBox(owner, text, caption, buttons);
}

TEST_F(LayoutTest, APaintDuringTheRebuildDrawsNothingAndTheRebuildDrawsTheWholePage) {
    Show(201);
    const size_t wholePage = Texts().size();

    HeadlessDevice = &plat::device::Current();
    PaintingDevice = *HeadlessDevice;
    PaintingDevice.answerMessageBox = AnswerAfterPainting;
    PaintedWindow = window;
    NestedPaints = 0;
    plat::device::Install(&PaintingDevice);
    // A paragraph outside the book: the rebuild reports it in a box and shows the text
    // assembled last, that of 201, again.
    headless::ClearMessageBoxes();
    Show(714);
    plat::device::Install(HeadlessDevice);

    ASSERT_EQ(NestedPaints, 1);
    EXPECT_TRUE(RebuildingDuringBox);
    EXPECT_EQ(RecordsDuringBox, 0) << "the paint during the rebuild drew nothing";
    ASSERT_EQ(headless::MessageBoxes().size(), 1u) << "the rebuild ran once";
    EXPECT_EQ(headless::MessageBoxes()[0].text, u"Paragraph 714 does not exist");
    EXPECT_FALSE(page::Rebuilding());
    EXPECT_FALSE(shell::RebuildNeeded);
    EXPECT_EQ(Texts().size(), wholePage) << "the rebuild's own paint drew the whole page";
}

TEST_F(LayoutTest, ARebuiltPageStartsAtItsTopWithTheScrollRangeSetAgain) {
    page::PageSize = 242;
    Show(201);
    const int32_t height = page::LastContentHeight;
    EXPECT_GT(height, 0);
    shell::ScrollOffset = -40;
    shell::RebuildNeeded = true;  // as the opening sequence's timer does: the offset is kept
    screenshot::Repaint(window);
    EXPECT_EQ(shell::ScrollOffset, 0) << "the rebuild sets the range again, back at the top";
    EXPECT_EQ(page::LastContentHeight, height);
    EXPECT_EQ(plat::GetScrollInfo(window).position, 0);
}

}  // namespace
}  // namespace pagetest
