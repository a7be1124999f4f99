// The roundtrip fixture book compiled by bookc and read back: every paragraph assembles to
// its source with whitespace normalised and writing aids resolved, the word chunks keep
// their dictionary properties, and the other tables hold the records or their padding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "book/tables.h"

namespace {

using namespace book;

// Joins the paragraph's words as the reader does: each word followed by one blank.
std::string Assemble(int paragraph) {
    const ParagraphEntry& entry = ParagraphIndex[paragraph - 1];
    std::string text;
    if (entry.chunk < 0) return text;
    const WordChunk& chunk = WordChunks[entry.chunk];
    for (int32_t i = entry.firstWord; i < entry.endWord; ++i) {
        text += chunk.pool + chunk.offsets[i];
        text += ' ';
    }
    return text;
}

TEST(BookcRoundTrip, ParagraphsAssembleToTheirNormalisedSource) {
    // Windows-1252: 0x85 ellipsis, 0x91 and 0x92 single quotes, 0xE7 c cedilla, 0xE9 e acute,
    // 0xEF i diaeresis. Targets are stored minus one, names as their numbers.
    struct Case {
        int paragraph;
        const char* text;
        const char* what;
    } cases[] = {
        {2,
         "<H>The Drowned Chapel<J><F>A bell tolls under the water. <B>Something<D> moves\x85 "
         "\x91quietly\x92 in the caf\xE9. <U><M \"Wade  in\" 245> <M \"Turn back\" 243><G> ",
         "blank runs and line ends, Windows-1252, quoted captions with inner blanks, targets"},
        {245,
         "<O ((X %0) | (X %3)   )>{The lamp shows the way.} <S %5 5> <Q (the old well | the well) 299> "
         "<R %88 \"a  (b\" (50 11 50 12)><G> ",
         "parentheses over lines, names, %88 as written, a parenthesis in a quote, targets in parentheses"},
        {300, "Plain \"quotes\" and (parentheses) outside commands stay words: @12 %lantern. <G> ",
         "no writing aids and no grouping outside commands"},
        {5,
         "Na\xEFve fa\xE7"
         "ade, the lantern again. <M \"Go @2 %lantern\" 1><G> ",
         "leading and trailing blanks dropped, no aids inside a caption"},
        {246, "<G> ", "a single word"},
        {8, "", "an empty paragraph"},
    };
    for (const Case& c : cases) EXPECT_EQ(Assemble(c.paragraph), c.text) << c.what;
}

TEST(BookcRoundTrip, IndexMarksMissingEmptyAndWrittenParagraphs) {
    EXPECT_EQ(ParagraphIndex[0].chunk, -1);  // paragraph 1 never has text
    EXPECT_EQ(ParagraphIndex[3].chunk, -1);  // 4 was not written
    const ParagraphEntry& empty = ParagraphIndex[8 - 1];
    EXPECT_EQ(empty.chunk, 0);
    EXPECT_EQ(empty.firstWord, 0);
    EXPECT_EQ(empty.endWord, 0);

    // Writing order, not numbers, decides the chunks: the first file's 2, 245, 300 come
    // before the second file's 5 and 246.
    auto place = [](int p) {
        return std::pair(ParagraphIndex[p - 1].chunk, ParagraphIndex[p - 1].firstWord);
    };
    EXPECT_LT(place(2), place(245));
    EXPECT_LT(place(245), place(300));
    EXPECT_LT(place(300), place(5));
    EXPECT_LT(place(5), place(246));
}

TEST(BookcRoundTrip, ChunksKeepTheirDictionaryProperties) {
    for (int c = 0; c < ChunkCount; ++c) {
        SCOPED_TRACE("chunk " + std::to_string(c));
        // The non-empty ranges of the chunk, in word order, cover 0..end without gaps.
        std::vector<std::pair<int32_t, int32_t>> ranges;
        for (const ParagraphEntry& e : ParagraphIndex)
            if (e.chunk == c && e.endWord > e.firstWord) ranges.emplace_back(e.firstWord, e.endWord);
        std::sort(ranges.begin(), ranges.end());
        int32_t end = 0;
        for (auto [first, last] : ranges) {
            EXPECT_EQ(first, end);
            end = last;
        }

        // Pool strings in first-use order, each distinct and non-empty, and each used: the
        // pool ends right after the last new word.
        const WordChunk& chunk = WordChunks[c];
        std::set<uint16_t> starts;
        std::set<std::string> words;
        size_t next = 0;
        for (int32_t i = 0; i < end; ++i) {
            uint16_t offset = chunk.offsets[i];
            if (starts.contains(offset)) continue;
            ASSERT_EQ(offset, next) << "word " << i << " is neither known nor the next in the pool";
            const char* word = chunk.pool + offset;
            EXPECT_GT(std::strlen(word), 0u);
            EXPECT_TRUE(words.insert(word).second) << word << " stored twice";
            starts.insert(offset);
            next += std::strlen(word) + 1;
        }
        EXPECT_EQ(chunk.pool[next], '\0') << "unused words after the last one used";
    }
}

TEST(BookcRoundTrip, VariablesAreRecordsOrPlainItems) {
    const StoryVariable& pennies = StoryVariableTable[5];
    EXPECT_STREQ(pennies.name, "Silver Pennies");
    EXPECT_EQ(pennies.kind, NumberValue);
    EXPECT_EQ(pennies.lowerBound, -1);
    EXPECT_EQ(pennies.upperBound, 11);
    EXPECT_EQ(pennies.descriptionParagraph, 12);
    EXPECT_EQ(pennies.values, nullptr);

    const StoryVariable& weapon = StoryVariableTable[7];
    EXPECT_EQ(weapon.kind, TextChoice);
    ASSERT_EQ(weapon.upperBound, 3);
    auto texts = static_cast<const char* const*>(weapon.values);
    EXPECT_STREQ(texts[0], "Staff");
    EXPECT_STREQ(texts[2], "Sling");
    EXPECT_STREQ(static_cast<const char* const*>(StoryVariableTable[12].values)[0], "Caf\xE9");
    EXPECT_EQ(StoryVariableTable[12].descriptionParagraph, 178);

    const StoryVariable& moon = StoryVariableTable[9];
    EXPECT_EQ(moon.kind, PictureChoice);
    ASSERT_EQ(moon.upperBound, 3);
    EXPECT_EQ(static_cast<const int16_t*>(moon.values)[2], 164);

    // Numbers the book left out are plain items named "" that describe themselves at 11.
    const StoryVariable& padded = StoryVariableTable[178];
    EXPECT_STREQ(padded.name, "");
    EXPECT_EQ(padded.kind, TextChoice);
    EXPECT_EQ(padded.upperBound, 0);
    EXPECT_EQ(padded.lowerBound, 0);
    EXPECT_EQ(padded.descriptionParagraph, 10);
    EXPECT_EQ(padded.values, nullptr);

    for (const StoryVariable& v : StoryVariableTable) EXPECT_EQ(v.state[0] | v.state[1], 0);
}

TEST(BookcRoundTrip, FactsSlotsSoundsAndPictures) {
    EXPECT_STREQ(BookInfo.title, "The Mirewood Vow");
    EXPECT_STREQ(BookInfo.author, "Edwin Talloway");
    EXPECT_STREQ(BookInfo.extraLine, " ");
    EXPECT_STREQ(BookInfo.webAddress, "");  // left out of a fixture: empty
    EXPECT_EQ(BookInfo.titlePicture, 1);

    EXPECT_EQ(SnapshotSlot[0].paragraph, 179);
    EXPECT_STREQ(SnapshotSlot[0].label, "");
    EXPECT_EQ(SnapshotSlot[7].paragraph, 1);
    EXPECT_STREQ(SnapshotSlot[7].label, "Home");
    EXPECT_EQ(SnapshotSlot[4].paragraph, 1);  // padded: paragraph 2
    for (const SnapshotSlotRecord& slot : SnapshotSlot) EXPECT_EQ(slot.saved, 0);

    EXPECT_EQ(std::u16string(SoundTable[0]), u"BELL_UNDERWATER");
    EXPECT_EQ(std::u16string(SoundTable[38]), u"LAST_SOUND");
    EXPECT_EQ(std::u16string(SoundTable[5]), u"SOUND_5");

    EXPECT_EQ(PictureTable[0].bitmapId, 1100);
    EXPECT_EQ(PictureTable[0].width, 159);
    EXPECT_EQ(PictureTable[0].height, 134);
    EXPECT_EQ(PictureTable[164].bitmapId, 1863);
    EXPECT_EQ(PictureTable[80].bitmapId, 0);
}

}  // namespace
