// The built-in pages as the reader builds them: the button guide, support, sound and hints
// pages item by item, the sound setting kept by Ok and the back button only, and the
// fallback inventory page with its character, its items and their buttons. (The pages of
// the start sequence are in navigation_test.cpp.)
#include <string>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "page/controls.h"
#include "shell/builtin_pages.h"
#include "shell/navigation.h"
#include "tests/shell_nav/nav_harness.h"

namespace navtest {
namespace {

constexpr int Lantern = 0, Hero = 1, Coins = 2, Moon = 3, Weapon = 4, Nameless = 5;

std::string SupportText() {
    const plat::Version version = plat::PlatformVersion();
    return "<W1><V1100><U><B>www.example.org<U> 1.0<D><U><W0><U>For more information (FAQs) please visit our "
           "web site. If you have a query about \"The Mirewood Vow\" email help@example.org giving the title and "
           "the following alphanumerical code<U><U><U>A 2.9.4; B 203; C 3.56; O " +
           std::to_string(version.major) + "." + std::to_string(version.minor) + "; P 1.10";
}

TEST_F(NavTest, EachBuiltInPageHoldsItsTextsAndPicturesInOrder) {
    struct Case {
        int32_t command;
        std::string text;
    };
    const Case cases[] = {
        {Guide,
         "The buttons below the Horizontal line at the bottom of the screen have the following actions. <U><U>"
         "<v1101><v1102><U>The RESTART screen enables the reader to go back to an earlier screen. <U><U>"
         "<v1103><v1105><v1106><v1104><U>The above three Arrows only appear if the function is available. <U><U>"
         "Further information can be found on the hints page selected from the menu."},
        {About, SupportText()},
        {Sounds, "<U><U><U><W1>[Sound]<U><U><U><U><U><U>[Ok]<U><W0>"},
        // Paragraph 7 has no text in this book; the brand word's third letter is bold each
        // time, and the double blanks are the page's own.
        {Hints,
         "<W0>The idea of an ta<B>l<D>ewick  is that you decide how the story ends by the choices you make along "
         "the way.  You can run the story as many times as you like to try out different scenarios.<P>"
         "You interact with the ta<B>l<D>ewick by using your stylus to select boxes on the screen containing a word "
         "(or words) or by pressing arrows in the icon bar at the bottom of the screen.  To understand what these "
         "arrows mean, tap the help icon '?' in the bottom left hand corner of your screen.<P>"
         "You may also collect items during the story which you can check any time by selecting inventory from the "
         "menu or the 'i' on the icon bar.  The inventory page lists all your items and tells you their status "
         "where they have one.  If you select an item from the list you will see further details about the item "
         "and you may be able to make changes.  This can be an important way of finding  clues to help you along, "
         "so remember to keep checking the inventory.<P>"
         "Some ta<B>l<D>ewicks may contain a random element at some points.  This means that even when you make "
         "identical choices the story may not go exactly the same way each time - just to make it more exciting "
         "for you!<P>If you get totally stuck, you can always e-mail us at  help@example.org<P>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Open(WadingParagraph);
        Command(c.command);
        EXPECT_EQ(PageText(), c.text);
    }
}

TEST_F(NavTest, TheSupportPageShowsThePlatformsVersionCode) {
    Open(WadingParagraph);
    Command(About);
    PressKey(plat::KeyEnd);  // the code line is below the logo
    const plat::Version version = plat::PlatformVersion();
    // The line is one run; at this font's width its last code wraps onto a line of its own.
    const std::string code = "A 2.9.4; B 203; C 3.56; O " + std::to_string(version.major) + "." +
                             std::to_string(version.minor) + "; P ";
    EXPECT_TRUE(Drawn(std::u16string(code.begin(), code.end())));
    EXPECT_TRUE(Drawn(u"1.10"));
}

// ---------------------------------------------------------------------------------------
// The sound page
// ---------------------------------------------------------------------------------------

class SoundPageTest : public NavTest {
protected:
    plat::WindowId CheckBox() const { return page::ButtonHandles[page::SoundCheckBox]; }
    bool Ticked() const { return plat::SendMessage(CheckBox(), plat::MsgGetCheck, 0, 0) == 1; }
    // Shows the sound page from paragraph 20 and taps the check box once.
    void ChangeTheSetting() {
        Open(WadingParagraph);
        Command(Sounds);
        ASSERT_TRUE(shell::SoundPageShown);
        ASSERT_GE(page::SoundCheckBox, 0);
        EXPECT_EQ(Ticked(), book::SoundOn() == 1);
        Tap(CheckBox());
        EXPECT_EQ(Ticked(), book::SoundOn() != 1) << "the box ticks itself";
    }
};

TEST_F(SoundPageTest, OkAndTheBackButtonStoreTheSettingAMenuCommandDropsIt) {
    struct Case {
        const char* what;
        int8_t before;
        int32_t leave;
        int8_t after;
    };
    const Case cases[] = {
        {"Ok stores it", 1, SoundOk, 0},
        {"Ok stores it the other way too", 0, SoundOk, 1},
        {"the back button stores it", 1, Back, 0},
        {"a menu command drops it", 1, Objective, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        book::SetSoundOn(c.before);
        ChangeTheSetting();
        if (c.leave == SoundOk) {
            TapButton(1);  // the page's "Ok" button
        } else {
            Command(c.leave);
        }
        EXPECT_EQ(book::SoundOn(), c.after);
        EXPECT_EQ(shell::StoryParagraph, WadingParagraph);
        EXPECT_EQ(shell::InStory, c.leave != Objective) << "Ok and back return to the story";
    }
}

TEST_F(SoundPageTest, SoundsStaySilentOnceTheSoundIsTurnedOff) {
    book::SetSoundOn(1);
    ChangeTheSetting();
    TapButton(1);  // "Ok"
    Open(22);
    TapButton(0);  // "Listen": the bell's paragraph
    EXPECT_EQ(shell::CurrentParagraph, BellParagraph);
    EXPECT_TRUE(headless::PlayedSounds().empty());

    book::SetSoundOn(1);
    Open(22);
    TapButton(0);
    EXPECT_EQ(headless::PlayedSounds(), std::vector<std::string>{"BELL"}) << "and play again once it is on";
}

// ---------------------------------------------------------------------------------------
// The fallback inventory page
// ---------------------------------------------------------------------------------------

class InventoryTest : public NavTest {
protected:
    void ShowInventory() {
        Open(WadingParagraph);
        Command(Information);
        ASSERT_TRUE(shell::InventoryPageShown);
    }
};

TEST_F(InventoryTest, ListsTheCharacterThenEveryHeldVariable) {
    book::SetVariableValue(Hero, 1);
    book::SetHeld(Lantern, 1);
    book::SetVariableValue(Coins, 257);  // a number whose low byte is 1 counts as held
    book::SetHeld(Moon, 1);               // a picture variable: its name, never its numbers as text
    book::SetVariableValue(Moon, 1);
    book::SetHeld(Weapon, 1);
    book::SetVariableValue(Weapon, 1);
    book::SetHeld(Nameless, 1);           // a "Character" without a list is an ordinary item
    ShowInventory();
    EXPECT_EQ(PageText(),
              "You are : [Bard]<U>You have the following items<U>[Lantern]<U>[Silver Coins]<U>[The Moon]<U>"
              "[Weapon] : Knife<U>[Character]");
    const int16_t ids[] = {5001, 5000, 5002, 5003, 5004, 5005};
    for (int v = 0; v < book::VariableCount; ++v) {
        EXPECT_EQ(shell::InventoryButtonIds[v], v < 6 ? ids[v] : -1) << v;
    }
}

TEST_F(InventoryTest, WithoutAVariableNamedExactlyCharacterThereIsNoCharacterLine) {
    const char* name = book::StoryVariableTable[Hero].name;
    book::StoryVariableTable[Hero].name = "character";  // the name is compared case and all
    book::SetHeld(Hero, 1);
    ShowInventory();
    book::StoryVariableTable[Hero].name = name;
    EXPECT_EQ(PageText(), "You have the following items<U>[character] : Knight");
}

TEST_F(InventoryTest, AValueOutsideItsListShowsNoValue) {
    book::StoryVariableTable[Hero].state[1] = 7;  // as a damaged state file could leave them
    book::SetHeld(Weapon, 1);
    book::StoryVariableTable[Weapon].state[1] = 200;
    ShowInventory();
    EXPECT_EQ(PageText(), "You are : []<U>You have the following items<U>[Weapon]");
}

TEST_F(InventoryTest, AnItemsButtonShowsItsDescriptionAsideAndBackReturnsToTheStory) {
    book::SetHeld(Lantern, 1);
    ShowInventory();
    TapButton(1);  // "Lantern"; button 0 is the character
    EXPECT_EQ(shell::CurrentParagraph, 11);
    EXPECT_EQ(shell::StoryParagraph, WadingParagraph);
    EXPECT_FALSE(shell::InStory);
    EXPECT_NE(PageText().find("A tin lantern with a cracked pane."), std::string::npos) << PageText();
    Command(Back);
    EXPECT_EQ(shell::CurrentParagraph, WadingParagraph);
    EXPECT_TRUE(shell::InStory);
}

TEST_F(InventoryTest, AnIdOfNoItemDoesNothing) {
    ShowInventory();
    for (int32_t id : {5099, 0xFFFF}) {
        SCOPED_TRACE(id);
        shell::SelectInventoryItem(id);
        EXPECT_EQ(shell::CurrentParagraph, 6);
        EXPECT_FALSE(shell::RebuildNeeded);
    }
}

}  // namespace
}  // namespace navtest
