// Paragraph assembly over the core_text fixture book: the words joined with one blank each,
// the missing and out-of-range paragraphs, and the length limit of ParagraphText.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/assembly.h"
#include "book/tables.h"
#include "platform/headless/headless.h"

namespace {

std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : headless::MessageBoxes()) texts.emplace_back(box.text.begin(), box.text.end());
    return texts;
}

// A text buffer followed by guard bytes, so that a write past ParagraphTextSize shows.
struct GuardedText {
    static constexpr int Guard = 64;
    char bytes[book::ParagraphTextSize + Guard];

    GuardedText() { std::memset(bytes, '#', sizeof bytes); }
    bool GuardIntact() const {
        for (int i = book::ParagraphTextSize; i < book::ParagraphTextSize + Guard; ++i) {
            if (bytes[i] != '#') return false;
        }
        return true;
    }
};

class Assembly : public testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
};

struct AssemblyCase {
    int16_t paragraph;
    std::string expected;
    const char* checks;
};

TEST_F(Assembly, JoinsEveryWordWithOneBlank) {
    const AssemblyCase cases[] = {
        {2, "word ", "one word gets its trailing blank"},
        {8, "", "an empty paragraph is the empty text"},
        {3, "<H>Quoted<J><F>Wade <M \"Wade in   deep\" 245> now<G> ",
         "a quoted caption keeps its inner blanks; blanks between words become one"},
        {4, "lantern and rope ", "paragraph of a chunk"},
        {5, "the lantern again at the caf\xE9 ", "a shared pool word in full; a byte above 127 as is"},
    };
    for (const auto& c : cases) {
        GuardedText text;
        book::AssembleParagraph(c.paragraph, text.bytes);
        EXPECT_EQ(std::string(text.bytes), c.expected) << c.checks;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Assembly, SharedWordIsStoredOnceAndYieldedToBoth) {
    const auto& four = book::ParagraphIndex[3];
    const auto& five = book::ParagraphIndex[4];
    ASSERT_EQ(four.chunk, five.chunk);
    const auto* offsets = book::WordChunks[four.chunk].offsets;
    EXPECT_EQ(offsets[four.firstWord], offsets[five.firstWord + 1]) << "\"lantern\" shares one pool entry";
}

TEST_F(Assembly, MissingOrOutOfRangeParagraphIsReportedAndLeavesTheText) {
    const int16_t numbers[] = {1, 0, -5, 714, 30000};
    for (int16_t n : numbers) {
        headless::ClearMessageBoxes();
        GuardedText text;
        std::strcpy(text.bytes, "kept");
        book::AssembleParagraph(n, text.bytes);
        EXPECT_STREQ(text.bytes, "kept") << n;
        EXPECT_EQ(Messages(), std::vector<std::string>{"Paragraph " + std::to_string(n) + " does not exist"});
    }
}

TEST_F(Assembly, TextOfExactly6419CharactersFits) {
    GuardedText text;
    book::AssembleParagraph(22, text.bytes);
    EXPECT_EQ(std::strlen(text.bytes), 6419u);
    EXPECT_EQ(std::string(text.bytes + 6410), "abcdefgh ");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Assembly, TextReachingTheLimitIsCutAndReportedPerWordBeyond) {
    struct {
        int16_t paragraph;
        size_t messages;
        const char* message;
    } const cases[] = {
        {20, 1, "642 is Too many words"},  // the last word's blank makes 6420
        {21, 9, "650 is Too many words"},  // and once for each of the eight words after it
    };
    for (const auto& c : cases) {
        headless::ClearMessageBoxes();
        GuardedText text;
        book::AssembleParagraph(c.paragraph, text.bytes);
        EXPECT_EQ(std::strlen(text.bytes), 6419u) << c.paragraph;
        EXPECT_EQ(std::string(text.bytes + 6410), "abcdefghi") << "cut at the limit";
        EXPECT_TRUE(text.GuardIntact()) << "nothing written beyond the buffer";
        EXPECT_EQ(Messages(), std::vector<std::string>(c.messages, c.message));
    }
}

TEST_F(Assembly, ParagraphTextIsTheSharedBuffer) {
    book::AssembleParagraph(2, book::ParagraphText);
    EXPECT_STREQ(book::ParagraphText, "word ");
}

}  // namespace
