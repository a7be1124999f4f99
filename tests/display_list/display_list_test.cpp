// The display list and the page buffer: the text rule (joining runs of one kind), the
// buffer and list limits, the formatting items, and the error box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/display_list.h"
#include "platform/headless/headless.h"

namespace {

using page::DisplayList;

std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : headless::MessageBoxes()) texts.emplace_back(box.text.begin(), box.text.end());
    return texts;
}

const page::DisplayItem& Item(int i) {
    return DisplayList.items[i];
}

// Every text item points at stored characters: inside the used part of the page buffer.
bool TextsInsideBuffer() {
    for (int i = 0; i < DisplayList.count; ++i) {
        const auto& item = Item(i);
        if (item.kind != page::Text && item.kind != page::Title) continue;
        const char* end = page::PageBuffer + page::PageBufferLength;
        if (item.text < page::PageBuffer || item.text + std::string(item.text).size() >= end) return false;
    }
    return true;
}

class DisplayListTest : public testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        page::ResetDisplayList();
    }
};

TEST_F(DisplayListTest, RunsOfOneKindJoinIntoOneItem) {
    page::AppendWords("Once upon ");
    page::AppendWords("a time");
    ASSERT_EQ(DisplayList.count, 1);
    EXPECT_STREQ(Item(0).text, "Once upon a time");
    EXPECT_EQ(page::PageBufferLength, 10 + 6 + 1);

    page::BoldOn();
    page::AppendWords("bold");
    page::AppendTitle("Title");
    page::AppendTitle(" more");
    page::AppendWords("after");
    ASSERT_EQ(DisplayList.count, 5);
    EXPECT_EQ(Item(1).kind, page::BoldStart);
    EXPECT_EQ(Item(2).kind, page::Text) << "a switch in between starts a new run";
    EXPECT_STREQ(Item(2).text, "bold");
    EXPECT_EQ(Item(3).kind, page::Title);
    EXPECT_STREQ(Item(3).text, "Title more");
    EXPECT_EQ(Item(4).kind, page::Text) << "text after a title is a new item";
    EXPECT_STREQ(Item(0).text, "Once upon a time") << "earlier texts stay intact";
    EXPECT_TRUE(TextsInsideBuffer());
}

TEST_F(DisplayListTest, EmptyTextAfterAnotherKindAddsAnEmptyTextItem) {
    page::AppendTab();
    page::AppendWords("");
    ASSERT_EQ(DisplayList.count, 2);
    EXPECT_EQ(Item(1).kind, page::Text);
    EXPECT_STREQ(Item(1).text, "");
}

TEST_F(DisplayListTest, PageBufferHoldsExactly6819CharactersAndATerminator) {
    page::AppendWords(std::string(6819, 'x').c_str());
    EXPECT_EQ(page::PageBufferLength, page::PageBufferSize);
    EXPECT_TRUE(Messages().empty());

    page::ResetDisplayList();
    page::AppendWords(std::string(6820, 'x').c_str());
    EXPECT_EQ(DisplayList.count, 0) << "a text that does not fit makes no item";
    EXPECT_EQ(page::PageBufferLength, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Page buffer Overflow"});
}

TEST_F(DisplayListTest, TextThatDoesNotFitIsDroppedAndShorterLaterTextsStillFit) {
    page::AppendWords(std::string(6800, 'a').c_str());
    page::AppendTab();
    page::AppendWords(std::string(30, 'b').c_str());  // would need 6831
    page::AppendTitle(std::string(30, 'c').c_str());
    page::AppendWords("short");                       // 6801 + 5 + 1 fits
    page::AppendWords(std::string(20, 'd').c_str());  // joining would pass the end
    EXPECT_EQ(Messages(), std::vector<std::string>(3, "Page buffer Overflow"));
    ASSERT_EQ(DisplayList.count, 3);
    EXPECT_EQ(Item(1).kind, page::Tab);
    EXPECT_STREQ(Item(2).text, "short");
    EXPECT_EQ(page::PageBufferLength, 6801 + 6);
    EXPECT_TRUE(TextsInsideBuffer());
}

TEST_F(DisplayListTest, ItemsBeyondTheListAreDroppedWithOneMessagePerPage) {
    for (int i = 0; i < page::DisplayListCapacity; ++i) page::AppendTab();
    EXPECT_TRUE(Messages().empty());
    page::AppendLineBreak();
    page::AppendWords("lost");
    EXPECT_FALSE(page::AppendItem(page::Button, 0));
    EXPECT_EQ(DisplayList.count, page::DisplayListCapacity);
    EXPECT_EQ(page::PageBufferLength, 0) << "the text of a dropped item is not stored";
    EXPECT_EQ(Messages(), std::vector<std::string>{"Display list overflow"});

    page::ResetDisplayList();
    for (int i = 0; i <= page::DisplayListCapacity; ++i) page::AppendTab();
    EXPECT_EQ(Messages().size(), 2u) << "a new page reports again";
}

TEST_F(DisplayListTest, TextStillJoinsTheLastItemOfAFullList) {
    for (int i = 0; i < page::DisplayListCapacity - 1; ++i) page::AppendTab();
    page::AppendWords("last ");
    page::AppendWords("run");
    EXPECT_STREQ(Item(page::DisplayListCapacity - 1).text, "last run");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DisplayListTest, FormattingItems) {
    struct {
        void (*append)();
        int32_t kind;
    } const cases[] = {
        {page::AppendLineBreak, page::LineBreak},
        {page::AppendBlankLine, page::BlankLine},
        {page::AppendTab, page::Tab},
        {[] { page::SetAlignment(0); }, page::AlignLeft},
        {[] { page::SetAlignment(1); }, page::AlignCenter},
        {[] { page::SetAlignment(2); }, page::AlignRight},
    };
    for (const auto& c : cases) {
        page::ResetDisplayList();
        c.append();
        ASSERT_EQ(DisplayList.count, 1);
        EXPECT_EQ(Item(0).kind, c.kind);
    }
    page::ResetDisplayList();
    page::SetAlignment(-1);
    page::SetAlignment(3);
    EXPECT_EQ(DisplayList.count, 0) << "alignments other than 0..2 are refused";
}

TEST_F(DisplayListTest, BoldSwitchesSetBuildBoldWhichOutlivesAReset) {
    page::BoldOn();
    EXPECT_TRUE(page::BuildBold);
    page::ResetDisplayList();
    EXPECT_TRUE(page::BuildBold);
    page::BoldOff();
    EXPECT_FALSE(page::BuildBold);
    EXPECT_EQ(Item(0).kind, page::BoldEnd);
}

TEST_F(DisplayListTest, PicturesTakeTheirBitmapFromThePictureTable) {
    page::AppendBookPicture(5, false);
    page::AppendBookPicture(164, true);
    page::AppendBitmap(421);
    page::AppendBookPicture(-1, true);
    page::AppendBookPicture(165, true);
    ASSERT_EQ(DisplayList.count, 3) << "numbers outside the table append nothing";
    EXPECT_EQ(Item(0).kind, page::Picture);
    EXPECT_EQ(Item(0).index, 1705);
    EXPECT_EQ(Item(0).inline_, 0);
    EXPECT_EQ(Item(1).index, 1864);
    EXPECT_EQ(Item(1).inline_, 1);
    EXPECT_EQ(Item(2).index, 421);
    EXPECT_EQ(Item(2).inline_, 1) << "a bitmap is always inline";
}

TEST_F(DisplayListTest, FlushWordBufferHandsOnAndEmptiesTheBuffer) {
    char buffer[32] = "twelve chars";
    EXPECT_EQ(page::FlushWordBuffer(buffer), 12);
    EXPECT_STREQ(buffer, "");
    EXPECT_STREQ(Item(0).text, "twelve chars");
}

TEST_F(DisplayListTest, ControlItemsButNeverTextThroughAppendItem) {
    EXPECT_TRUE(page::AppendItem(page::Button, 3));
    EXPECT_FALSE(page::AppendItem(page::Text, 0));
    ASSERT_EQ(DisplayList.count, 1);
    EXPECT_EQ(Item(0).kind, page::Button);
    EXPECT_EQ(Item(0).index, 3);
}

TEST_F(DisplayListTest, ErrorMessageIsAnOkBoxWithTheDefaultCaptionCutAt99) {
    page::ShowErrorMessage("Page buffer Overflow");
    page::ShowErrorMessage(std::string(150, 'm').c_str());
    page::ShowErrorMessage("caf\xE9");
    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Page buffer Overflow");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].buttons, plat::BoxOk);
    EXPECT_EQ(boxes[1].text, std::u16string(99, u'm'));
    EXPECT_EQ(boxes[2].text, u"caf\u00E9");
}

}  // namespace
