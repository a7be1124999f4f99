// The command set, letter by letter, driven through the scanner: what each command puts on
// the page, what it changes in the story, the hotwords it records, the conditional chain,
// sounds, and the messages of its failure cases.
#include <string>
#include <vector>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "markup/hotwords.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "platform/headless/headless.h"
#include "page_text.h"
#include "shell/navigation.h"

namespace {

using markup::HotwordTable;
using markup_test::Messages;
using markup_test::Scan;
using CommandTest = markup_test::MarkupTest;

// The fixture's variables.
constexpr int Lantern = 0;  // item
constexpr int Coins = 1;    // number 0..500
constexpr int Weapon = 2;   // text: Staff, Knife, Sling
constexpr int Moon = 3;     // picture: 5, 6, 7 (bitmaps 1705 to 1707)
constexpr int Luck = 4;     // number -1..10
constexpr int Rope = 5;     // item

TEST_F(CommandTest, PageCommands) {
    struct {
        const char* input;
        const char* expected;
    } const cases[] = {
        {"<B>", "B"},          {"<D>", "/B"},          {"<P>", "P"},
        {"<T>", "TAB"},        {"<U>", "BR"},          {"<V 5>", "pic1705"},
        {"<v6>", "pic1706i"},  {"<V 165>", ""},        {"<W 0>", "L"},
        {"<W1>", "C"},         {"<W 2>", "R"},         {"<W 3>", ""},
        {"x<a>y<G> ", "[x y]"}, {"<l %2>", "[Staff]"}, {"<l %1>", "[ 0]"},
        {"<l %3>", "pic1705i"}, {"<l %0>", ""},        {"<l %300>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Scan(c.input), c.expected) << c.input;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandTest, ShowCommandUsesTheCurrentValue) {
    book::SetVariableValue(Weapon, 2);
    book::SetVariableValue(Moon, 1);
    book::SetVariableValue(Luck, -1);
    EXPECT_EQ(Scan("<l %2><l %3><l %4>"), "[Sling] | pic1706i | [ -1]");
    EXPECT_EQ(Scan("<H><l %3><J>"), "T[]") << "no picture in the title";
    EXPECT_EQ(Messages(), std::vector<std::string>{"Images not allowed in title"});
}

TEST_F(CommandTest, LettersWithoutAnEntryChangeNothingAndAreTrue) {
    const std::string letters = "FGIKXYZbcefhijkqt[\\]^_`wxyz~!0";
    for (char letter : letters) {
        const std::string input = std::string("<") + letter + " 5 %1 *2>shown<G> ";
        EXPECT_EQ(Scan(input.c_str()), "[shown]") << letter;
    }
    EXPECT_EQ(book::VariableValue(Coins), 0);
    EXPECT_EQ(markup::HotwordCount, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandTest, EveryCommandStartsByClearingThePendingHotword) {
    HotwordTable[0].controlId = 77;
    HotwordTable[0].target = 9;
    Scan("<Y>");
    EXPECT_EQ(HotwordTable[0].controlId, 0);
    EXPECT_EQ(HotwordTable[0].target, 0);
}

TEST_F(CommandTest, ArrowsLeadToTargetPlusOne) {
    Scan("<n 5><p7>");
    EXPECT_EQ(shell::NextArrow.mode, 1);
    EXPECT_EQ(shell::NextArrow.target, 5);
    EXPECT_EQ(shell::PreviousArrow.mode, 1);
    EXPECT_EQ(shell::PreviousArrow.target, 7);
}

TEST_F(CommandTest, HeldCommandsSetAtOnceWithoutACaption) {
    Scan("<N %5>");
    EXPECT_EQ(book::HeldByte(Rope), 1);
    Scan("<Q %5 >");
    EXPECT_EQ(book::HeldByte(Rope), 0);
    book::SetVariableValue(Coins, 300);
    Scan("<N %1>");
    EXPECT_EQ(book::VariableValue(Coins), 257) << "the held byte of a number is its low byte";
}

TEST_F(CommandTest, SetAndChangeCommands) {
    struct {
        const char* command;
        int variable;
        int32_t before;
        int32_t after;
        const char* checks;
    } const cases[] = {
        {"<R %1 600>", Coins, 7, 500, "clamped to upperBound - 1"},
        {"<R %1 -3>", Coins, 7, 0, "clamped to lowerBound"},
        {"<R %4 -3>", Luck, 7, -1, "a lower bound of -1"},
        {"<R %2 2>", Weapon, 0, 2, "a list index"},
        {"<R %2 9>", Weapon, 0, 2, "a list index stays in the list"},
        {"<R %0 4>", Lantern, 0, 0, "a plain item always ends at 0"},
        {"<R %1 %4>", Coins, 7, 3, "R copies another variable (Luck is 3)"},
        {"<R %1 -%4>", Coins, 7, 0, "R negates too: -3, clamped"},
        {"<R %4 -%4>", Luck, 3, -1, "R negates: -3, clamped to -1"},
        {"<r %1 5>", Coins, 7, 12, "r adds"},
        {"<r %1 -5>", Coins, 7, 2, "r with a negative literal subtracts"},
        {"<r %1 %4>", Coins, 7, 10, "r adds a variable"},
        {"<r %1 -%4>", Coins, 7, 4, "r subtracts a variable"},
        {"<r %1 900>", Coins, 7, 500, "the sum is clamped"},
        {"<r%1 1>", Coins, 7, 8, "no blank before the %"},
    };
    for (const auto& c : cases) {
        markup_test::ResetAll();
        book::SetVariableValue(Luck, 3);
        book::SetVariableValue(c.variable, c.before);
        Scan(c.command);
        EXPECT_EQ(book::VariableValue(c.variable), c.after) << c.command << ": " << c.checks;
        EXPECT_EQ(markup::HotwordCount, 0);
    }
}

TEST_F(CommandTest, RandomValueStaysWithinTheBounds) {
    headless::FixRandomSeed(7);
    for (int i = 0; i < 50; ++i) {
        Scan("<R %2 z><R %1 z>");
        EXPECT_LE(book::VariableValue(Weapon), 2);
        EXPECT_GE(book::VariableValue(Weapon), 0);
        EXPECT_LE(book::VariableValue(Coins), 500);
        EXPECT_GE(book::VariableValue(Coins), 0);
    }
}

TEST_F(CommandTest, SaveSnapshotRecordsTheCurrentParagraph) {
    shell::CurrentParagraph = 44;
    book::SetHeld(Rope, 1);
    Scan("<s *3>");
    EXPECT_TRUE(book::SlotSaved(3));
    EXPECT_EQ(book::SlotParagraph(3), 43);
    EXPECT_EQ(book::SnapshotStates[3][2 * Rope], 1);
}

TEST_F(CommandTest, ConditionalChainShowsTheFirstBlockThatHolds) {
    book::SetHeld(Rope, 1);
    const struct {
        const char* input;
        const char* expected;
    } cases[] = {
        {"<O (X %0)>{a}<o (X %5)>{b}<E>{c}<G> ", "[b]"},
        {"<O (X %5)>{a}<o (X %5)>{b}<E>{c}<G> ", "[a]"},
        {"<O (X %0)>{a}<o (X %0)>{b}<E>{c}<G> ", "[c]"},
        {"<E>{c}x<G> ", "[x]"},  // no O before it: false
        {"<o (X %5)>{b}x<G> ", "[x]"},
    };
    for (const auto& c : cases) EXPECT_EQ(Scan(c.input), c.expected) << c.input;
}

TEST_F(CommandTest, RestoreOfferShowsButtonLabelAndBlockOnlyForASavedSlot) {
    EXPECT_EQ(Scan("<u *0 \"Back\" 2>{at the bridge}after<G> "), "[after]");
    EXPECT_EQ(markup::HotwordCount, 0);

    book::SaveSnapshot(0, shell::CurrentParagraph);
    EXPECT_EQ(Scan("<u *0 \"Back\" 2>{at the bridge}<G> "), "btn[Back] | [Before the bridge at the bridge]");
    ASSERT_EQ(markup::HotwordCount, 1);
    EXPECT_EQ(HotwordTable[0].kind, 'u');
    EXPECT_EQ(HotwordTable[0].variable, 0);
    EXPECT_EQ(HotwordTable[0].controlId, page::FirstButtonId);
    EXPECT_EQ(HotwordTable[0].target, 2);

    EXPECT_EQ(Scan("<u *9 \"Back\" 2>{x}<G> "), "") << "a slot outside the table is not saved";
}

TEST_F(CommandTest, HotwordCommandsRecordTheirEntry) {
    book::SetVariableValue(Coins, 100);
    book::SetVariableValue(Weapon, 1);
    EXPECT_EQ(Scan("<M \"Go on\" 693><g \"Aside\" 4><m %2 3><M $5 12><M ?? 8>"),
              "btn[Go on] | btn[Aside] | btn[Knife] | btn$5");
    ASSERT_EQ(markup::HotwordCount, 5);
    const char kinds[] = {'M', 'g', 'm', 'M', 'M'};
    const int16_t targets[] = {693, 4, 3, 12, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(HotwordTable[i].kind, kinds[i]) << i;
        EXPECT_EQ(HotwordTable[i].target, targets[i]) << i;
    }
    EXPECT_EQ(HotwordTable[4].controlId, 0) << "an unknown caption form makes no control";

    EXPECT_EQ(Scan("<N %5 \"Take\" 10><Q %0 Drop 11><r %1 -1 \"Pay\" 9><R %2 z \"Arm\" 8>"),
              "btn[Take] | btn[Pay] | btn[Arm]");
    ASSERT_EQ(markup::HotwordCount, 4);
    EXPECT_EQ(HotwordTable[0].kind, 'N');
    EXPECT_EQ(HotwordTable[0].variable, Rope);
    EXPECT_EQ(HotwordTable[0].target, 10);
    EXPECT_EQ(HotwordTable[1].kind, 'Q');
    EXPECT_EQ(HotwordTable[2].kind, 'R');
    EXPECT_EQ(HotwordTable[2].value, 99) << "computed when the page is built";
    EXPECT_EQ(HotwordTable[3].kind, 'R');
    EXPECT_EQ(book::HeldByte(Rope), 0) << "the variables wait for the tap";
    EXPECT_EQ(book::VariableValue(Coins), 100);
    EXPECT_EQ(book::VariableValue(Weapon), 1);

    EXPECT_EQ(Scan("<L \"Try\" (12) 5 6><d \"Roll\" (50) 5 (30) 6 7><S (the well) 5 (rope) 6 7>"),
              "btn[Try] | btn[Roll] | edit8");
    ASSERT_EQ(markup::HotwordCount, 3);
    EXPECT_EQ(HotwordTable[0].kind, 'L');
    EXPECT_EQ(HotwordTable[0].value, 12);
    EXPECT_EQ(HotwordTable[0].elseTarget, 6);
    EXPECT_EQ(HotwordTable[1].kind, 'd');
    EXPECT_EQ(HotwordTable[1].chance2, 80);
    EXPECT_EQ(HotwordTable[1].elseTarget, 7);
    EXPECT_EQ(HotwordTable[2].kind, 'S');
    EXPECT_STREQ(HotwordTable[2].answer1, "the well");
    EXPECT_EQ(HotwordTable[2].target2, 6);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CommandTest, FullHotwordTableDropsFurtherHotwordsAndSaysSo) {
    std::string page;
    for (int i = 0; i < markup::HotwordCapacity; ++i) page += "<M \"x\" 1>";
    page += "<M \"lost\" 2><N %5 \"Take\" 3><B><O (X %0)>{}<G> ";
    Scan(page.c_str());
    EXPECT_EQ(markup::HotwordCount, markup::HotwordCapacity);
    EXPECT_EQ(page::ButtonCount, markup::HotwordCapacity) << "no control for a dropped hotword";
    EXPECT_EQ(book::HeldByte(Rope), 0);
    // The hundredth M, the two dropped hotwords, B and G; O checks nothing.
    EXPECT_EQ(Messages(), std::vector<std::string>(5, "Hotwords structure array overflow"));
}

TEST_F(CommandTest, SoundsPlayOnlyWhenOnAndInTheTable) {
    Scan("<A 0><A38><A 39><A -1>");
    EXPECT_EQ(headless::PlayedSounds(), (std::vector<std::string>{"BELL", "LAST_BELL"}));
    Scan("<C>");
    EXPECT_EQ(headless::PlayingSound(), "");
    Scan("<C>");  // nothing playing: nothing happens

    headless::ClearPlayedSounds();
    book::SetSoundOn(0);
    Scan("<A 0>");
    EXPECT_TRUE(headless::PlayedSounds().empty());
}

}  // namespace
