// Hotwords through the scanner and the command set: every kind's reading and activation,
// the random draws at their boundaries, typed answers, restore offers, the full table, and
// whole paragraphs of the fixture book interp_book.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/assembly.h"
#include "book/tables.h"
#include "book/variables.h"
#include "markup/hotwords.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/navigation.h"

namespace {

// Variables of interp_book.
constexpr int Lantern = 0;  // item
constexpr int Coins = 1;    // number 0..500
constexpr int Luck = 2;     // number -1..10
constexpr int Weapon = 3;   // text: Staff; Knife; Sling
constexpr int Moon = 4;     // picture: 5; 6; 7
constexpr int Rope = 5;     // item

constexpr int16_t FirstButton = page::FirstButtonId;
constexpr int16_t FirstEditBox = page::FirstEditBoxId;

// Builds a page from markup the way the rebuild does.
void Build(const char* text) {
    page::ResetDisplayList();
    page::ResetControls();
    headless::ClearMessageBoxes();
    markup::MarkupScanner(text);
}

void BuildParagraph(int16_t n) {
    book::AssembleParagraph(n, book::ParagraphText);
    Build(book::ParagraphText);
}

const markup::HotwordEntry& Hotword(int i) { return markup::HotwordTable[i]; }

std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : headless::MessageBoxes()) texts.emplace_back(box.text.begin(), box.text.end());
    return texts;
}

std::u16string Caption(int button) { return page::ButtonTable[button].caption; }

// Makes the next draw of RandomNumber come out as roll (1..sides) after "% sides + 1":
// consumes the one seeding of the run, then seeds the generator with a seed found to give
// that roll first.
void NextRollIs(int sides, int roll) {
    markup::RandomNumber();
    for (uint32_t seed = 0; seed < 1000000; ++seed) {
        plat::SeedRandom(seed);
        if (plat::NextRandom() % sides + 1 == roll) {
            plat::SeedRandom(seed);
            return;
        }
    }
    FAIL() << "no seed gives roll " << roll;
}

class HotwordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        book::ResetStoryVariables();
        book::ClearSnapshotFlags();
        shell::InStory = true;
        shell::CurrentParagraph = shell::StoryParagraph = 100;
    }
};

TEST_F(HotwordsTest, CaptionForms) {
    struct Case {
        const char* markup;
        int16_t controlId;
        const char16_t* caption;  // null: a picture button or none
        int16_t picture;
        int16_t target;
        const char* what;
    };
    book::SetVariableValue(Weapon, 1);
    book::SetVariableValue(Coins, 7);
    book::SetVariableValue(Moon, 2);
    const Case cases[] = {
        {"<M \"Wade in\" 693>", FirstButton, u"Wade in", -1, 693, "quoted"},
        {"<M\"Wade in\"693>", FirstButton, u"Wade in", -1, 693, "no blanks"},
        {"<M \"\" 5>", FirstButton, u"", -1, 5, "an empty caption"},
        {"<M $155 12>", FirstButton, nullptr, 155, 12, "a picture"},
        {"<M %3 7>", FirstButton, u"Knife", -1, 7, "a text variable shows its current text"},
        {"<M %1 7>", FirstButton, u" 7", -1, 7, "a number variable shows \" %d\""},
        {"<M %4 7>", FirstButton, nullptr, 7, 7, "a picture variable shows its current picture"},
        {"<M %0 7>", 0, nullptr, -1, 7, "an item has nothing to show: no control"},
        {"<M %200 7>", 0, nullptr, -1, 7, "a variable outside the table: no control"},
        {"<M $999 7>", 0, nullptr, -1, 7, "a picture outside the table: no control"},
        {"<M 45>", 0, nullptr, -1, 45, "no caption: no control"},
        {"<M \"Wade in>", FirstButton, u"Wade in", -1, 0, "a quote never closed ends with the command"},
    };
    for (const Case& c : cases) {
        Build((std::string(c.markup) + "<G>").c_str());
        ASSERT_EQ(markup::HotwordCount, 1) << c.what;
        EXPECT_EQ(Hotword(0).kind, 'M') << c.what;
        EXPECT_EQ(Hotword(0).controlId, c.controlId) << c.what;
        EXPECT_EQ(Hotword(0).target, c.target) << c.what;
        if (c.controlId == 0) {
            EXPECT_EQ(page::ButtonCount, 0) << c.what;
            continue;
        }
        ASSERT_EQ(page::ButtonCount, 1) << c.what;
        EXPECT_EQ(page::ButtonTable[0].picture, c.picture) << c.what;
        if (c.caption != nullptr) {
            EXPECT_EQ(Caption(0), c.caption) << c.what;
        }
        const page::DisplayItem& item = page::DisplayList.items[page::DisplayList.count - 1];
        EXPECT_EQ(item.kind, page::Button) << c.what;
        EXPECT_EQ(item.index, 0) << c.what;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HotwordsTest, ButtonsAreNumberedInOrderAndCaptionsCut) {
    std::string text = "<M \"one\" 1><M \"" + std::string(250, 'w') + "\" 2><g $5 3><G>";
    Build(text.c_str());
    ASSERT_EQ(markup::HotwordCount, 3);
    EXPECT_EQ(Hotword(0).controlId, FirstButton);
    EXPECT_EQ(Hotword(1).controlId, FirstButton + 1);
    EXPECT_EQ(Hotword(2).controlId, FirstButton + 2);
    EXPECT_EQ(page::ButtonTable[1].captionLength, 199);
    EXPECT_EQ(Caption(1), std::u16string(199, u'w'));
}

TEST_F(HotwordsTest, NavigationModes) {
    struct Case {
        const char* markup;
        bool inStory;
        int16_t current, story;
        bool inStoryAfter;
        const char* what;
    };
    const Case cases[] = {
        {"<M \"Go\" 693><G>", true, 694, 694, true, "M in the story moves the story"},
        {"<M \"Go\" 693><G>", false, 694, 100, false, "M on an aside page stays aside"},
        {"<g \"Map\" 20><G>", true, 21, 100, false, "g visits aside, the story position stays"},
        {"<m \"Back\" 30><G>", false, 31, 31, true, "m returns to the story at its target"},
    };
    for (const Case& c : cases) {
        SetUp();
        shell::InStory = c.inStory;
        Build(c.markup);
        markup::ActivateHotword(FirstButton, nullptr);
        EXPECT_EQ(shell::CurrentParagraph, c.current) << c.what;
        EXPECT_EQ(shell::StoryParagraph, c.story) << c.what;
        EXPECT_EQ(shell::InStory, c.inStoryAfter) << c.what;
    }
}

TEST_F(HotwordsTest, VariableHotwordsActOnlyWhenTapped) {
    book::SetVariableValue(Coins, 100);
    book::SetHeld(Lantern, 1);
    Build("<N %5 \"Take the rope\" 50><Q %0 \"Drop the lantern\" 51>"
          "<r %1 -1 \"Spend one\" 52><R %2 600 \"Lucky\" 53><G>");
    ASSERT_EQ(markup::HotwordCount, 4);
    EXPECT_EQ(book::HeldByte(Rope), 0);
    EXPECT_EQ(book::HeldByte(Lantern), 1);
    EXPECT_EQ(book::VariableValue(Coins), 100);
    EXPECT_EQ(Hotword(2).kind, 'R');
    EXPECT_EQ(Hotword(2).value, 99) << "r computes its value when the page is built";
    EXPECT_EQ(Hotword(3).value, 10) << "clamped to Luck's bounds";

    markup::ActivateHotword(FirstButton, nullptr);
    EXPECT_EQ(book::HeldByte(Rope), 1);
    EXPECT_EQ(shell::CurrentParagraph, 51);

    markup::ActivateHotword(FirstButton + 1, nullptr);
    EXPECT_EQ(book::HeldByte(Lantern), 0);
    EXPECT_EQ(shell::CurrentParagraph, 52);

    book::SetVariableValue(Coins, 10);
    markup::ActivateHotword(FirstButton + 2, nullptr);
    EXPECT_EQ(book::VariableValue(Coins), 99) << "the precomputed value, not 10 - 1";
    EXPECT_EQ(shell::CurrentParagraph, 53);

    markup::ActivateHotword(FirstButton + 3, nullptr);
    EXPECT_EQ(book::VariableValue(Luck), 10);
    EXPECT_EQ(shell::CurrentParagraph, 54);
}

TEST_F(HotwordsTest, ChanceReading) {
    struct Case {
        const char* markup;
        int32_t value;
        int8_t chance2, chance3;
        int16_t target, target2, target3, elseTarget;
    };
    const Case cases[] = {
        {"<d \"Swim\" (50) 100 (30) 200 300>", 50, 80, 0, 100, 200, 0, 300},
        {"<d \"Swim\" (80) 100 300>", 80, 0, 0, 100, 0, 0, 300},
        {"<d \"Swim\" (10) 1 (20) 2 (30) 3 4>", 10, 30, 60, 1, 2, 3, 4},
        {"<L \"Climb\" (12) 62 63>", 12, 0, 0, 62, 0, 0, 63},
        {"<d\"Swim\"(50)100(30)200 300>", 50, 80, 0, 100, 200, 0, 300},
        {"<d \"Swim\" (100) 1 (100) 2 9>", 100, -56, 0, 1, 2, 0, 9},  // cut to 8 bits
    };
    for (const Case& c : cases) {
        Build((std::string(c.markup) + "<G>").c_str());
        ASSERT_EQ(markup::HotwordCount, 1) << c.markup;
        const markup::HotwordEntry& e = Hotword(0);
        EXPECT_EQ(e.controlId, FirstButton) << c.markup;
        EXPECT_EQ(Caption(0), e.kind == 'L' ? u"Climb" : u"Swim") << c.markup;
        EXPECT_EQ(e.value, c.value) << c.markup;
        EXPECT_EQ(e.chance2, c.chance2) << c.markup;
        EXPECT_EQ(e.chance3, c.chance3) << c.markup;
        EXPECT_EQ(e.target, c.target) << c.markup;
        EXPECT_EQ(e.target2, c.target2) << c.markup;
        EXPECT_EQ(e.target3, c.target3) << c.markup;
        EXPECT_EQ(e.elseTarget, c.elseTarget) << c.markup;
    }
}

TEST_F(HotwordsTest, DrawsAtTheirBoundaries) {
    struct Case {
        const char* markup;
        int sides;
        int roll;
        int16_t paragraph;
    };
    const Case cases[] = {
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 1, 101},
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 50, 101},
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 51, 201},
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 80, 201},
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 81, 301},
        {"<d \"Swim\" (50) 100 (30) 200 300>", 100, 100, 301},
        {"<d \"Swim\" (80) 100 300>", 100, 80, 101},
        {"<d \"Swim\" (80) 100 300>", 100, 81, 301},
        {"<d \"Swim\" (10) 1 (20) 2 (30) 3 4>", 100, 30, 3},
        {"<d \"Swim\" (10) 1 (20) 2 (30) 3 4>", 100, 31, 4},
        {"<d \"Swim\" (10) 1 (20) 2 (30) 3 4>", 100, 60, 4},
        {"<d \"Swim\" (10) 1 (20) 2 (30) 3 4>", 100, 61, 5},
        {"<L \"Climb\" (12) 62 63>", 20, 12, 63},
        {"<L \"Climb\" (12) 62 63>", 20, 13, 64},
        {"<L \"Climb\" (20) 62 63>", 20, 20, 63},
        {"<L \"Climb\" (0) 62 63>", 20, 1, 64},
    };
    for (const Case& c : cases) {
        Build((std::string(c.markup) + "<G>").c_str());
        NextRollIs(c.sides, c.roll);
        markup::ActivateHotword(FirstButton, nullptr);
        EXPECT_EQ(shell::CurrentParagraph, c.paragraph) << c.markup << " roll " << c.roll;
    }
}

TEST_F(HotwordsTest, CertainAndImpossibleChances) {
    for (int i = 0; i < 50; ++i) {
        Build("<L \"Sure\" (20) 10 20><L \"Never\" (0) 30 40><G>");
        markup::ActivateHotword(FirstButton, nullptr);
        EXPECT_EQ(shell::CurrentParagraph, 11);
        markup::ActivateHotword(FirstButton + 1, nullptr);
        EXPECT_EQ(shell::CurrentParagraph, 41);
    }
}

TEST_F(HotwordsTest, TypedAnswers) {
    Build("<S (the old well) 41 (moon) 42 (a b) 43 44><G>");
    ASSERT_EQ(markup::HotwordCount, 1);
    const markup::HotwordEntry& e = Hotword(0);
    EXPECT_EQ(e.kind, 'S');
    EXPECT_STREQ(e.answer1, "the old well");
    EXPECT_STREQ(e.answer2, "moon");
    EXPECT_STREQ(e.answer3, "a b");
    EXPECT_EQ(e.controlId, FirstEditBox);
    ASSERT_EQ(page::EditBoxCount, 1);
    EXPECT_EQ(page::EditBoxTable[0].maxChars, 12) << "the longest answer";
    const page::DisplayItem& item = page::DisplayList.items[page::DisplayList.count - 1];
    EXPECT_EQ(item.kind, page::EditBox);
    EXPECT_EQ(item.index, 0);

    struct Typed {
        const char* text;
        int16_t paragraph;
    };
    const Typed cases[] = {
        {"the old well", 42},       {"THE OLD WELL", 42},  {"theoldwell", 42},
        {"  the  old   well  ", 42}, {"The Old Well", 42}, {"moon", 43},
        {"MOON ", 43},               {"ab", 44},            {"A B", 44},
        {"", 45},                    {"   ", 45},           {nullptr, 45},
        {"the old", 45},             {"the old wells", 45}, {"old well the", 45},
    };
    for (const Typed& c : cases) {
        shell::CurrentParagraph = 100;
        markup::ActivateHotword(FirstEditBox, c.text);
        EXPECT_EQ(shell::CurrentParagraph, c.paragraph) << (c.text ? c.text : "(null)");
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(HotwordsTest, AnswerReadingEdgeCases) {
    // One answer: the others stay empty and never match a typed text.
    Build("<S (yes) 7 8><G>");
    EXPECT_STREQ(Hotword(0).answer2, "");
    EXPECT_EQ(Hotword(0).target, 7);
    EXPECT_EQ(Hotword(0).elseTarget, 8);
    markup::ActivateHotword(FirstEditBox, "no");
    EXPECT_EQ(shell::CurrentParagraph, 9);

    // A parenthesis never closed ends with the command.
    Build("<S (old well><G>");
    EXPECT_STREQ(Hotword(0).answer1, "old well");
    EXPECT_EQ(Hotword(0).target, 0);
    EXPECT_EQ(page::EditBoxTable[0].maxChars, 8);

    // Doubled parentheses around an answer are passed over.
    Build("<S ((gate)) 3 4><G>");
    EXPECT_STREQ(Hotword(0).answer1, "(gate");
    EXPECT_EQ(Hotword(0).target, 3);
}

TEST_F(HotwordsTest, LongAnswersKeepNineteenCharactersAndSaySoOnce) {
    Build("<S (abcdefghijklmnopqrstuvwxyz) 1 (0123456789012345678901) 2 3><G>");
    ASSERT_EQ(markup::HotwordCount, 1);
    EXPECT_STREQ(Hotword(0).answer1, "abcdefghijklmnopqrs");
    EXPECT_STREQ(Hotword(0).answer2, "0123456789012345678");
    EXPECT_EQ(Hotword(0).target2, 2) << "the targets are read after the whole answer";
    EXPECT_EQ(Hotword(0).elseTarget, 3);
    EXPECT_EQ(page::EditBoxTable[0].maxChars, 19);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Answer too long"});
    markup::ActivateHotword(FirstEditBox, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(shell::CurrentParagraph, 2);
}

TEST_F(HotwordsTest, RestoreOfferGoesBackToTheSavedPoint) {
    book::SetVariableValue(Coins, 250);
    book::SetHeld(Rope, 1);
    book::SaveSnapshot(3, 560);
    book::ResetStoryVariables();
    book::SetVariableValue(Coins, 3);

    Build("<u *3 \"The ford\" 7>{ in the reeds. }<u *4 \"Never\" 8>{ gone }<G>");
    ASSERT_EQ(markup::HotwordCount, 1) << "slot 4 is not saved: no hotword";
    EXPECT_EQ(Hotword(0).kind, 'u');
    EXPECT_EQ(Hotword(0).variable, 3);
    EXPECT_EQ(book::VariableValue(Coins), 3) << "nothing restored before the tap";

    shell::InStory = false;
    markup::ActivateHotword(FirstButton, nullptr);
    EXPECT_EQ(book::VariableValue(Coins), 250);
    EXPECT_EQ(book::HeldByte(Rope), 1);
    EXPECT_EQ(shell::CurrentParagraph, 560) << "the slot's paragraph, not the written target";
    EXPECT_EQ(shell::StoryParagraph, 560);
    EXPECT_TRUE(shell::InStory);
}

TEST_F(HotwordsTest, FullTableDropsFurtherHotwords) {
    std::string text;
    for (int i = 0; i < markup::HotwordCapacity + 3; ++i) text += "<M \"x\" " + std::to_string(i) + ">";
    text += "<S (late) 1 2><G>";
    Build(text.c_str());
    EXPECT_EQ(markup::HotwordCount, markup::HotwordCapacity);
    EXPECT_EQ(page::ButtonCount, markup::HotwordCapacity);
    EXPECT_EQ(page::EditBoxCount, 0) << "a dropped hotword makes no control";
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().front(), "Hotwords structure array overflow");

    markup::ActivateHotword(FirstButton + 99, nullptr);
    EXPECT_EQ(shell::CurrentParagraph, 100) << "the hundredth hotword works (target 99 + 1)";

    // The pending entry of a full table is a spare record outside it, and reading into it
    // makes no control.
    const markup::HotwordEntry* pending = &markup::PendingHotword();
    EXPECT_TRUE(pending < markup::HotwordTable || pending >= markup::HotwordTable + markup::HotwordCapacity);
    std::snprintf(markup::CommandBuffer, sizeof markup::CommandBuffer, "M \"late\" 5");
    markup::CommandPosition = 3;
    markup::ParseHotwordCaption(true);
    EXPECT_EQ(page::ButtonCount, markup::HotwordCapacity);
}

TEST_F(HotwordsTest, ActivationThatFindsNothingChangesNothing) {
    Build("<M 45><M \"Go\" 46><G>");
    markup::ActivateHotword(0, nullptr);  // the first entry has no control: id 0
    markup::ActivateHotword(FirstButton + 1, nullptr);
    markup::ActivateHotword(FirstEditBox, "x");
    EXPECT_EQ(shell::CurrentParagraph, 100);

    markup::HotwordCount = 30000;  // damaged: the search still stops at the table's end
    markup::ActivateHotword(4999, nullptr);
    markup::HotwordCount = -5;
    markup::ActivateHotword(FirstButton, nullptr);
    EXPECT_EQ(shell::CurrentParagraph, 100);
    markup::HotwordCount = 0;
}

TEST_F(HotwordsTest, CompareLoosely) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"river", "river", true},   {"river", "RIVER", true},  {"a river", "ARIVER", true},
        {" a  river ", "a river", true}, {"", "", true},       {"", "   ", true},
        {"A1-b", "a1-B", true},     {"river", "rive", false},  {"rive", "river", false},
        {"river", "rivet", false},  {"", "x", false},          {"\xe9t\xe9", "\xc9T\xc9", false},
        {"[x]", "{x}", false},      {"river", nullptr, false}, {nullptr, "river", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(markup::CompareLoosely(c.a, c.b) == 0, c.equal)
            << (c.a ? c.a : "(null)") << " / " << (c.b ? c.b : "(null)");
    }
    EXPECT_LT(markup::CompareLoosely("a", "b"), 0);
    EXPECT_GT(markup::CompareLoosely("ab", "a"), 0);
}

TEST_F(HotwordsTest, RandomNumberSeedsOnceAndStaysNonNegative) {
    markup::RandomNumber();
    plat::SeedRandom(42);
    const int32_t first = markup::RandomNumber();
    plat::SeedRandom(42);
    EXPECT_EQ(first, plat::NextRandom()) << "no second seeding from the clock";
    for (int i = 0; i < 1000; ++i) EXPECT_GE(markup::RandomNumber(), 0);
}

TEST_F(HotwordsTest, ParagraphOfButtonHotwords) {
    BuildParagraph(50);
    ASSERT_EQ(markup::HotwordCount, 10);
    EXPECT_TRUE(Messages().empty());
    const char kinds[] = {'N', 'Q', 'R', 'R', 'g', 'm', 'M', 'M', 'd', 'L'};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Hotword(i).kind, kinds[i]) << i;
        EXPECT_EQ(Hotword(i).controlId, FirstButton + i) << i;
    }
    EXPECT_EQ(Hotword(0).target, 50) << "@51 is stored minus one";
    EXPECT_EQ(Caption(6), u"Staff") << "%weapon at its first value";
    EXPECT_EQ(page::ButtonTable[7].picture, 155);
    EXPECT_EQ(book::HeldByte(Rope), 0);

    markup::ActivateHotword(FirstButton + 3, nullptr);
    EXPECT_EQ(book::VariableValue(Weapon), 2);
    EXPECT_EQ(shell::CurrentParagraph, 54);
}

TEST_F(HotwordsTest, ParagraphWithARiddle) {
    struct Typed {
        const char* text;
        int16_t paragraph;
    };
    const Typed cases[] = {{"A River", 41}, {"theriver", 41}, {"River Mouth", 42}, {"sea", 43}, {"", 43}};
    for (const Typed& c : cases) {
        BuildParagraph(40);
        ASSERT_EQ(markup::HotwordCount, 2);
        EXPECT_EQ(page::EditBoxTable[0].maxChars, 11);
        markup::ActivateHotword(FirstEditBox, c.text);
        EXPECT_EQ(shell::CurrentParagraph, c.paragraph) << c.text;
    }
    BuildParagraph(40);
    markup::ActivateHotword(FirstButton, nullptr);
    EXPECT_EQ(shell::CurrentParagraph, 44) << "the way out";
}

TEST_F(HotwordsTest, RestartParagraphOffersOnlySavedSlots) {
    shell::CurrentParagraph = 180;
    BuildParagraph(180);  // its markup saves slot 0
    EXPECT_TRUE(book::SlotSaved(0));
    book::SetVariableValue(Coins, 77);

    BuildParagraph(3);
    ASSERT_EQ(markup::HotwordCount, 1);
    EXPECT_EQ(Caption(0), u"The bridge");
    bool crossing = false, reeds = false;
    for (int i = 0; i < page::DisplayList.count; ++i) {
        const page::DisplayItem& item = page::DisplayList.items[i];
        if (item.kind != page::Text) continue;
        crossing |= std::string(item.text).find("before the crossing") != std::string::npos;
        reeds |= std::string(item.text).find("in the reeds") != std::string::npos;
    }
    EXPECT_TRUE(crossing);
    EXPECT_FALSE(reeds) << "slot 3 is not saved";

    markup::ActivateHotword(FirstButton, nullptr);
    EXPECT_EQ(book::VariableValue(Coins), 0) << "the state saved at paragraph 180";
    EXPECT_EQ(shell::CurrentParagraph, 180);
}

}  // namespace
