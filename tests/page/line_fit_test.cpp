// Line fitting and line drawing: FitWords and FitCharacters against the page fonts'
// measurements, FlushLine's alignment, control placement and advances, and the pending
// line's overflow rules.
#include <gtest/gtest.h>

#include <string>

#include "page/controls.h"
#include "page/display_list.h"
#include "page/line_fit.h"
#include "tests/page/page_harness.h"

namespace pagetest {
namespace {

using page::FitWords;

class LineFitTest : public PageTest {};

TEST_F(LineFitTest, ThePageFontsLiveAsLongAsTheWindowAndClosingItEndsTheLoop) {
    EXPECT_NE(page::BoldFont, 0);
    EXPECT_NE(page::NormalFont, 0);
    EXPECT_NE(page::BoldFont, page::NormalFont);
    EXPECT_GT(Width("bold text", true), Width("bold text")) << "weights 700 and 300";
    EXPECT_EQ(page::ClientArea.right, plat::GetClientRect(window).right) << "the client area captured at creation";
    EXPECT_FALSE(page::LayoutBold);

    plat::DestroyWindow(window);
    EXPECT_EQ(page::BoldFont, 0);
    EXPECT_EQ(page::NormalFont, 0);
    plat::MessageRecord message = {};
    EXPECT_FALSE(plat::GetMessage(message)) << "the quit message ends the loop";
    EXPECT_EQ(message.wParam, 0u);
}

// Width in which a fit is to be made, relative to the width of a reference text.
struct FitRow {
    const char* text;
    const char* reference;  // the width is this text's width plus slack
    int32_t slack;
    bool title;
    bool layoutBold;
    int16_t expected;  // characters fitted
    const char* what;
};

TEST_F(LineFitTest, FitWordsBreaksOnlyAfterBlanksThatFitStrictly) {
    const FitRow rows[] = {
        {"alpha beta gamma", "alpha ", 0, false, false, 0, "first word with its blank exactly as wide: nothing fits"},
        {"alpha beta gamma", "alpha ", -1, false, false, 0, "first word with its blank wider: nothing fits"},
        {"alpha beta gamma", "alpha ", 1, false, false, 6, "one word and its blank"},
        {"alpha beta gamma", "alpha beta ", 1, false, false, 11, "up to the blank after the last word that fits"},
        {"alpha beta gamma", "alpha beta gamma", 0, false, false, 11, "a whole text as wide as the width does not fit"},
        {"alpha beta gamma", "alpha beta gamma", 1, false, false, 16, "a text without a trailing blank fits whole"},
        {"alpha beta ", "alpha beta ", 1, false, false, 11, "a trailing blank is part of the fit"},
        {"", "", 100, false, false, 0, "an empty text fits nothing"},
        {"alpha beta gamma", "alpha beta ", 1, true, false, 6, "a title is measured in bold"},
        {"alpha beta gamma", "alpha beta ", 1, false, true, 6, "bold text is measured in bold"},
    };
    for (const FitRow& row : rows) {
        SCOPED_TRACE(row.what);
        page::LayoutBold = row.layoutBold;
        int32_t width = Width(row.reference) + row.slack;
        int32_t lineHeight = 0;
        int16_t fit = FitWords(page::FitBuffer, row.text, lineHeight, width, measure, row.title);
        EXPECT_EQ(fit, row.expected);
        std::string piece(row.text, static_cast<size_t>(fit));
        EXPECT_EQ(Narrow(page::FitBuffer), piece);
        if (fit > 0) {
            bool bold = row.title || row.layoutBold;
            EXPECT_EQ(width, Width(piece.c_str(), bold)) << "width becomes the piece's width, trailing blank included";
            EXPECT_EQ(lineHeight, Height(piece.c_str(), bold)) << "a taller piece raises the line height";
        } else {
            EXPECT_EQ(width, Width(row.reference) + row.slack) << "width unchanged";
            EXPECT_EQ(lineHeight, 0) << "line height unchanged";
        }
    }
    page::LayoutBold = false;
}

TEST_F(LineFitTest, FitWordsKeepsATallerLineHeight) {
    int32_t width = 1000;
    int32_t lineHeight = 40;
    EXPECT_EQ(FitWords(page::FitBuffer, "alpha beta", lineHeight, width, measure, false), 10);
    EXPECT_EQ(lineHeight, 40);
}

TEST_F(LineFitTest, FitWordsLooksAtMostAtOneBufferOfALongStretch) {
    std::string stretch(700, 'i');
    int32_t width = 1 << 30;
    int32_t lineHeight = 0;
    EXPECT_EQ(FitWords(page::FitBuffer, stretch.c_str(), lineHeight, width, measure, false), page::FitBufferSize - 1)
        << "a stretch longer than the buffer is measured in pieces of the buffer's size";
    width = 50;
    EXPECT_EQ(FitWords(page::FitBuffer, stretch.c_str(), lineHeight, width, measure, false), 0);
}

TEST_F(LineFitTest, FitCharactersBreaksAWordWhereItStopsFittingAndAlwaysAdvances) {
    struct Row {
        const char* text;
        int32_t width;
        int16_t expected;
        const char* what;
    } rows[] = {
        {"abcdefgh", Width("abc") + 1, 3, "the longest prefix narrower than the width"},
        {"abcdefgh", Width("abc"), 2, "strictly narrower"},
        {"abcdefgh", 1, 1, "at least one character, however narrow the line"},
        {"abc", 1000, 3, "a short word whole"},
        {"", 1000, 0, "nothing of an empty text"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        int32_t width = row.width;
        int32_t lineHeight = 0;
        EXPECT_EQ(page::FitCharacters(page::FitBuffer, row.text, lineHeight, width, measure, false), row.expected);
        EXPECT_EQ(Narrow(page::FitBuffer), std::string(row.text, static_cast<size_t>(row.expected)));
        if (row.expected > 0) {
            EXPECT_EQ(width, Width(std::string(row.text, static_cast<size_t>(row.expected)).c_str()));
        }
    }
}

// Draws pending lines straight onto the window, with RightLimit 232, client left 0, the
// line at PenY 10 and 20 high.
class FlushLineTest : public LineFitTest {
protected:
    void SetUp() override {
        LineFitTest::SetUp();
        plat::InvalidateWindow(window, true);
        surface = plat::BeginPaint(window);
        StartLine();
    }
    void TearDown() override {
        plat::EndPaint(window, surface);
        LineFitTest::TearDown();
    }
    void StartLine() {
        page::RightLimit = 232;
        page::LeftMargin = page::PageMargin;
        page::PenY = 10;
        page::LineHeight = 20;
    }
    void Run(int32_t kind, int16_t index, int16_t width) { page::AppendRun(window, surface, kind, index, width); }
    void TextRun(const char16_t* text, int16_t count, int16_t width) {
        page::AppendTextRun(window, surface, text, count, width);
    }
    void Flush() { page::FlushLine(window, surface); }

    plat::SurfaceId surface = 0;
};

TEST_F(FlushLineTest, AlignmentPlacesTheLineBetweenTheClientEdgeAndRightLimit) {
    struct Row {
        int16_t alignment;
        int32_t x;
    } rows[] = {{page::Left, 4}, {page::Center, 66}, {page::Right, 132}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.alignment);
        StartPage();
        StartLine();
        plat::WindowId button = AddButton(100, 20);
        page::Alignment = row.alignment;
        Run(page::Button, 0, 100);
        Flush();
        EXPECT_EQ(ControlRect(button).left, row.x);
        EXPECT_EQ(ControlRect(button).top, 10);
        EXPECT_EQ(page::LineRunCount, 0);
        EXPECT_EQ(page::LineStoreLength, 0);
        EXPECT_EQ(page::PenY, 10) << "FlushLine leaves PenY";
        EXPECT_EQ(page::LineHeight, 20) << "and LineHeight";
    }
    page::Alignment = page::Left;
}

TEST_F(FlushLineTest, RunsAdvanceByTheirWidthAndTheGapsAfterTextButtonsAndEditBoxes) {
    plat::WindowId text = AddButton(30, 20);
    plat::WindowId picture = AddButton(20, 20, true);
    plat::WindowId box = AddEditBox(40, 19);
    plat::WindowId last = AddButton(10, 20);
    Run(page::Button, 0, 30);
    Run(page::Button, 1, 20);
    Run(page::Picture, 2002, 12);
    Run(page::EditBox, 0, 40);
    Run(page::Button, 2, 10);
    Flush();
    EXPECT_EQ(ControlRect(text).left, 4);
    EXPECT_EQ(ControlRect(picture).left, 4 + 32) << "a text button advances by its width plus 2";
    auto bitmaps = Bitmaps();
    ASSERT_EQ(bitmaps.size(), 1u);
    EXPECT_EQ(bitmaps[0].x, 4 + 32 + 20) << "a picture button by its width alone";
    EXPECT_EQ(bitmaps[0].y, 10);
    EXPECT_EQ(ControlRect(box).left, 4 + 32 + 20 + 12) << "a picture by its width alone";
    EXPECT_EQ(ControlRect(last).left, 4 + 32 + 20 + 12 + 42) << "an edit box by its width plus 2";
    EXPECT_TRUE(page::InputPanelWanted);
    EXPECT_EQ(plat::GetFocus(), box) << "the edit box gets the focus";
}

TEST_F(FlushLineTest, AControlEndingAtOrBelowTheBottomIsHidden) {
    struct Row {
        int32_t penY;
        bool shown;
        const char* what;
    } rows[] = {
        {page::ClientArea.bottom - 21, true, "ends one pixel above the bottom"},
        {page::ClientArea.bottom - 20, false, "ends at the bottom"},
        {page::ClientArea.bottom + 5, false, "below the bottom"},
        {-15, true, "partly above the top"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartPage();
        StartLine();
        plat::WindowId button = AddButton(50, 20);
        plat::WindowId box = AddEditBox(50, 20);
        page::PenY = row.penY;
        Run(page::Button, 0, 50);
        Run(page::EditBox, 0, 50);
        Flush();
        EXPECT_EQ(plat::IsWindowVisible(button), row.shown);
        EXPECT_EQ(plat::IsWindowVisible(box), row.shown);
        EXPECT_EQ(ControlRect(button).top, row.penY);
    }
}

TEST_F(FlushLineTest, AFullLineIsDrawnEarlyAndGoesOnLeftAlignedFromWhereItStopped) {
    // Fifteen one-letter runs: two more than a pending line holds. Centred, so the split is seen.
    page::Alignment = page::Center;
    const char16_t* letters = u"abcdefghijklmno";
    int32_t x = 4;
    std::vector<int32_t> expected;
    for (int i = 0; i < 15; ++i) {
        int16_t w = static_cast<int16_t>(5 + i);
        expected.push_back(x);
        TextRun(letters + i, 1, w);
        x += w;
    }
    EXPECT_TRUE(page::LineSplit);
    EXPECT_EQ(page::LineRunCount, 2);
    Flush();
    EXPECT_FALSE(page::LineSplit);
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(texts[i].text, std::u16string(1, letters[i]));
        EXPECT_EQ(texts[i].rect.left, expected[i]) << "run " << i;
        EXPECT_EQ(texts[i].rect.top, 10);
    }
    page::Alignment = page::Left;
}

TEST_F(FlushLineTest, TextThatWouldOverflowTheLineStoreIsDrawnEarlyAndNothingIsLost) {
    std::u16string first(150, u'a'), second(100, u'b'), huge(250, u'c');
    TextRun(first.c_str(), 150, 60);
    TextRun(second.c_str(), 100, 40);  // 151 + 101 > 200: the first goes early
    EXPECT_EQ(page::LineStoreLength, 101);
    TextRun(huge.c_str(), 250, 30);  // never fits a LineStore
    EXPECT_EQ(page::LineStoreLength, 0);
    Flush();
    std::vector<plat::record::Record> drawn;
    for (int32_t i = 0; i < plat::record::Count(); ++i) drawn.push_back(plat::record::At(i));
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].length, 150);
    EXPECT_EQ(drawn[1].length, 100);
    EXPECT_EQ(drawn[2].length, 250);
    EXPECT_EQ(drawn[0].rect.left - origin.left, 4);
    EXPECT_EQ(drawn[1].rect.left - origin.left, 64);
    EXPECT_EQ(drawn[2].rect.left - origin.left, 104);
}

TEST_F(FlushLineTest, BoldSwitchesChangeTheFontOfTheRunsAfterThem) {
    TextRun(u"a", 1, 5);
    Run(page::BoldStart, 0, 0);
    TextRun(u"b", 1, 5);
    Run(page::BoldEnd, 0, 0);
    TextRun(u"c", 1, 5);
    Flush();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].font, page::NormalFont);
    EXPECT_EQ(texts[1].font, page::BoldFont);
    EXPECT_EQ(texts[2].font, page::NormalFont);
    EXPECT_EQ(texts[1].rect.left, 9) << "a bold switch takes no room";
    EXPECT_FALSE(page::FlushBold);
}

}  // namespace
}  // namespace pagetest
