// Story variables and snapshots: clamping, the two views of a variable's state, the lists,
// the restart points, and numbers outside the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "book/tables.h"
#include "book/variables.h"
#include "platform/headless/headless.h"

namespace {

// Variables of the fixture book interp_book.
constexpr int Lantern = 0;  // item
constexpr int Coins = 1;    // number 0..500
constexpr int Luck = 2;     // number -1..10
constexpr int Weapon = 3;   // text: Staff; Knife; Sling
constexpr int Moon = 4;     // picture: 5; 6; 7
constexpr int Fuel = 7;     // number 5..10

class VariablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        book::ResetStoryVariables();
        book::ClearSnapshotFlags();
    }
};

// Every variable's two state bytes, to see that nothing else changed.
std::vector<uint8_t> AllStates() {
    std::vector<uint8_t> bytes;
    for (const book::StoryVariable& v : book::StoryVariableTable) bytes.insert(bytes.end(), v.state, v.state + 2);
    return bytes;
}

TEST_F(VariablesTest, ClampKeepsValuesInsideTheBounds) {
    struct Case {
        int variable;
        int32_t x;
        int32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {Lantern, 5, 0, "a plain item always clamps to 0"},
        {Lantern, -3, 0, "also from below"},
        {Luck, 12, 10, "upper bound 11 is exclusive"},
        {Luck, -5, -1, "lower bound -1 is inclusive"},
        {Luck, 4, 4, "inside stays"},
        {Coins, 600, 500, "a number of 0..500 from above"},
        {Coins, -3, 0, "a number of 0..500 from below"},
        {Coins, 70000, 500, "compared at full width before narrowing"},
        {Weapon, 7, 2, "a list of three texts stops at its last"},
        {Weapon, -1, 0, "and at its first"},
        {Moon, 3, 2, "a picture list likewise"},
        {-1, 5, 0, "a variable below the table"},
        {book::VariableCount, 5, 0, "a variable beyond the table"},
    };
    for (const Case& c : cases) EXPECT_EQ(book::ClampValue(c.variable, c.x), c.expected) << c.what;
}

TEST_F(VariablesTest, LowerBoundWinsWhenTheBoundsCross) {
    book::StoryVariable& fuel = book::StoryVariableTable[Fuel];
    const int16_t upper = fuel.upperBound;
    fuel.upperBound = 3;  // upperBound - 1 below lowerBound 5
    EXPECT_EQ(book::ClampValue(Fuel, 0), 5);
    EXPECT_EQ(book::ClampValue(Fuel, 9), 5);
    fuel.upperBound = upper;
}

TEST_F(VariablesTest, NumberViewIsLittleEndianWithHeldAsItsLowByte) {
    book::SetVariableValue(Coins, 300);
    EXPECT_EQ(book::StoryVariableTable[Coins].state[0], 0x2C);
    EXPECT_EQ(book::StoryVariableTable[Coins].state[1], 0x01);
    EXPECT_EQ(book::VariableValue(Coins), 300);
    EXPECT_EQ(book::HeldByte(Coins), 0x2C);

    book::SetHeld(Coins, 1);
    EXPECT_EQ(book::VariableValue(Coins), 257) << "held replaces the number's low byte";

    book::SetVariableValue(Coins, 70000);
    EXPECT_EQ(book::VariableValue(Coins), 4464) << "the low 16 bits";
    book::SetVariableValue(Coins, -2);
    EXPECT_EQ(book::VariableValue(Coins), -2) << "signed";
    EXPECT_EQ(book::HeldByte(Coins), -2) << "the held byte is signed too";
}

TEST_F(VariablesTest, ListViewKeepsHeldAndIndexApart) {
    book::SetHeld(Weapon, 1);
    book::SetVariableValue(Weapon, 300);
    EXPECT_EQ(book::VariableValue(Weapon), 44) << "the low 8 bits";
    EXPECT_EQ(book::HeldByte(Weapon), 1) << "setting the value leaves held alone";
    book::SetVariableValue(Weapon, 200);
    EXPECT_EQ(book::VariableValue(Weapon), 200) << "the index is unsigned";
    book::SetHeld(Weapon, 0);
    EXPECT_EQ(book::VariableValue(Weapon), 200) << "clearing held leaves the index alone";
}

TEST_F(VariablesTest, CurrentTextAndPictureStayInsideTheirLists) {
    book::SetVariableValue(Weapon, 1);
    EXPECT_STREQ(book::CurrentText(Weapon), "Knife");
    book::SetVariableValue(Moon, 2);
    EXPECT_EQ(book::CurrentPicture(Moon), 7);

    // An index beyond the list can come only from a damaged state file.
    book::SetVariableValue(Weapon, 3);
    EXPECT_EQ(book::CurrentText(Weapon), nullptr);
    book::SetVariableValue(Moon, 255);
    EXPECT_EQ(book::CurrentPicture(Moon), -1);

    EXPECT_EQ(book::CurrentText(Lantern), nullptr) << "an item has no list";
    EXPECT_EQ(book::CurrentText(Coins), nullptr) << "a number has no text";
    EXPECT_EQ(book::CurrentPicture(Weapon), -1) << "a text list has no picture";
    EXPECT_EQ(book::CurrentText(book::VariableCount), nullptr);
    EXPECT_EQ(book::CurrentPicture(-1), -1);
}

TEST_F(VariablesTest, NumbersOutsideTheTableReadZeroAndWriteNothing) {
    const std::vector<uint8_t> before = AllStates();
    for (int v : {-1, book::VariableCount, 32767}) {
        book::SetVariableValue(v, 7);
        book::SetHeld(v, 1);
        EXPECT_EQ(book::VariableValue(v), 0);
        EXPECT_EQ(book::HeldByte(v), 0);
        EXPECT_EQ(book::KindOf(v), -1);
    }
    book::SaveSnapshot(book::SlotCount, 2);
    book::RestoreSnapshot(-1);
    EXPECT_FALSE(book::SlotSaved(book::SlotCount));
    EXPECT_EQ(book::SlotParagraph(-1), -1);
    EXPECT_EQ(AllStates(), before);
}

TEST_F(VariablesTest, SnapshotRoundTripRestoresEveryStateByte) {
    book::SetVariableValue(Coins, 300);
    book::SetHeld(Lantern, 1);
    book::SetVariableValue(Weapon, 2);
    book::SetHeld(Weapon, 1);
    book::SetVariableValue(Luck, -1);
    const std::vector<uint8_t> saved = AllStates();

    book::SaveSnapshot(1, 471);
    EXPECT_TRUE(book::SlotSaved(1));
    EXPECT_EQ(book::SlotParagraph(1), 470) << "stored minus one";
    EXPECT_EQ(0, std::memcmp(book::SnapshotStates[1], saved.data(), saved.size()))
        << "the block holds the state bytes in table order";

    book::ResetStoryVariables();
    book::SetVariableValue(Coins, 12);
    book::SetHeld(5, 1);
    book::RestoreSnapshot(1);
    EXPECT_EQ(AllStates(), saved);
    EXPECT_EQ(book::VariableValue(Coins), 300);
    EXPECT_EQ(book::HeldByte(Weapon), 1);
}

TEST_F(VariablesTest, ClearingFlagsKeepsParagraphsAndStates) {
    book::SetVariableValue(Coins, 42);
    book::SaveSnapshot(0, 181);
    const int16_t paragraph = book::SlotParagraph(0);
    std::vector<uint8_t> block(book::SnapshotStates[0], book::SnapshotStates[0] + book::SnapshotBytes);

    book::ClearSnapshotFlags();
    for (int k = 0; k < book::SlotCount; ++k) EXPECT_FALSE(book::SlotSaved(k)) << k;
    EXPECT_EQ(book::SlotParagraph(0), paragraph);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), book::SnapshotStates[0]));

    book::SaveSnapshot(0, 300);
    EXPECT_EQ(book::SlotParagraph(0), 299) << "saved again, the slot takes the new paragraph";
}

TEST_F(VariablesTest, ResetZeroesEveryStateEvenOutsideTheBounds) {
    book::SetVariableValue(Fuel, 8);
    book::SetVariableValue(Coins, 300);
    book::SetHeld(Lantern, 1);
    book::SetVariableValue(Moon, 2);
    book::ResetStoryVariables();
    EXPECT_EQ(AllStates(), std::vector<uint8_t>(2 * book::VariableCount, 0));
    EXPECT_EQ(book::VariableValue(Fuel), 0) << "0 lies below Fuel's lower bound 5";
}

}  // namespace
