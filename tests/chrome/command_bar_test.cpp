// The command bar and its menu: buttons tapped at their places send their commands, states
// hide and show buttons (a hidden one takes no room), the menu opens, chooses and closes in
// every way, and a missing or malformed resource makes the bar fail.
#include <cstring>
#include <utility>

#include "platform/resources.h"
#include "tests/chrome/chrome_harness.h"

// Damaged command-bar resources beside the program's own (a test links no book, so this
// directory takes the book's place in the lookup).
namespace {

constexpr char MalformedBar[] = "menu 102\nbitmap 421 images 6\nbutton 401 text\n";
constexpr char BarOfAMissingMenu[] = "menu 950\nbitmap 421 images 6\nbutton 513 cell 0\n";
constexpr char BarOfAMissingString[] = "menu 102\nbitmap 421 images 6\nbutton 401 text 951 dropdown\n";
constexpr char BarOfACellPastTheBitmap[] = "menu 102\nbitmap 421 images 6\nbutton 513 cell 7\n";
constexpr char BarOfAMalformedMenu[] = "menu 952\nbitmap 421 images 6\nbutton 513 cell 0\n";
constexpr char MalformedMenu[] = "item 500 \"No popup line\"\n";

plat::ResourceEntry Entry(plat::ResourceType type, int32_t id, const char* text) {
    return {type, id, nullptr, reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text))};
}

const plat::ResourceEntry DamagedEntries[] = {
    Entry(plat::ResourceType::MenuBar, 901, MalformedBar),
    Entry(plat::ResourceType::MenuBar, 902, BarOfAMissingMenu),
    Entry(plat::ResourceType::MenuBar, 903, BarOfAMissingString),
    Entry(plat::ResourceType::MenuBar, 904, BarOfACellPastTheBitmap),
    Entry(plat::ResourceType::MenuBar, 905, BarOfAMalformedMenu),
    Entry(plat::ResourceType::Menu, 952, MalformedMenu),
};

}  // namespace

const plat::ResourceDirectory plat::BookResources{DamagedEntries, static_cast<int32_t>(std::size(DamagedEntries))};

namespace {

using chrometest::ChromeTest;
using testing_platform::Log;
using testing_platform::SeenOf;
using plat::ws::WindowKind;

constexpr uint32_t MenuButton = 401, Guide = 513, Restart = 502, Information = 501, Spacer = 516, Back = 510,
                   BackBlank = 514, Previous = 512, PreviousBlank = 515, Next = 511;

class CommandBarTest : public ChromeTest {
protected:
    void SetState(uint32_t command, intptr_t state) {
        EXPECT_EQ(plat::SendMessage(bar, plat::MsgSetButtonState, command, state), 1) << command;
    }
    // The states UpdateToolbar leaves on a story page with both arrows: back hidden.
    void StoryPageStates() {
        SetState(Back, plat::ButtonHidden);
        SetState(BackBlank, plat::ButtonEnabled);
        SetState(Next, plat::ButtonEnabled);
        SetState(Previous, plat::ButtonEnabled);
        SetState(PreviousBlank, plat::ButtonHidden);
        headless::PumpMessages();
    }
    static plat::Rect At(uint32_t command) { return plat::ws::CommandBarButtonRect(command); }
    void OpenMenu() {
        TapIn(At(MenuButton));
        ASSERT_TRUE(Shown(WindowKind::Menu));
    }
};

TEST_F(CommandBarTest, ButtonsTappedAtTheirPlacesSendTheirCommandsToTheOwner) {
    StoryPageStates();
    // The Menu button, then the eight shown image buttons side by side (two spacers).
    const plat::Rect menu = At(MenuButton);
    EXPECT_EQ(menu.left, 0);
    const std::pair<int32_t, uint32_t> images[] = {{0, Guide},  {1, Restart},  {2, Information}, {3, Spacer},
                                                    {5, BackBlank}, {6, Previous}, {7, Next}};
    for (const auto& [slot, command] : images) {
        const plat::Rect r = At(command);
        EXPECT_EQ(r.left, menu.right + 22 * slot) << command;
        EXPECT_EQ(r.right - r.left, 22) << command;
        EXPECT_EQ(r.top, 295) << command;
        EXPECT_EQ(r.bottom, 320) << command;
    }
    EXPECT_LE(At(Next).right, 240 - 22) << "room for the input panel's button";

    const uint32_t tapped[] = {Guide, Restart, Information, Spacer, BackBlank, Previous, Next};
    for (uint32_t command : tapped) TapIn(At(command));
    EXPECT_EQ(Commands(), std::vector<uint32_t>(std::begin(tapped), std::end(tapped)));
    for (const auto& seen : SeenOf(plat::MsgCommand, main)) EXPECT_EQ(seen.wParam >> 16, 0u) << "notification 0";
}

TEST_F(CommandBarTest, AButtonLooksPressedWhileHeldAndSendsNothingWhenReleasedOutside) {
    StoryPageStates();
    const plat::Rect r = At(Restart);
    const int32_t x = r.left + 1, y = r.top + 1;  // the button's face, outside its image
    ASSERT_EQ(headless::PixelAt(x, y), 0xFFFFFFu);
    headless::PointerDown(x, y);
    headless::PumpMessages();
    EXPECT_EQ(headless::PixelAt(x, y), 0x000000u) << "pressed";
    headless::PointerMove(x + 60, y);
    headless::PumpMessages();
    EXPECT_EQ(headless::PixelAt(x, y), 0xFFFFFFu) << "the pointer left it";
    headless::PointerUp(x + 60, y);
    headless::PumpMessages();
    EXPECT_TRUE(Commands().empty());
}

TEST_F(CommandBarTest, StatesHideAndShowButtonsAndAHiddenButtonTakesNoRoom) {
    StoryPageStates();
    const plat::Rect previous = At(Previous);
    EXPECT_EQ(At(Back).right, 0) << "hidden: no place at all";
    EXPECT_EQ(plat::SendMessage(bar, plat::MsgGetButtonState, Back, 0), plat::ButtonHidden);
    EXPECT_EQ(plat::SendMessage(bar, plat::MsgGetButtonState, BackBlank, 0), plat::ButtonEnabled);

    // Back shown in place of its blank: the buttons to its right stay where they were.
    SetState(Back, plat::ButtonEnabled);
    SetState(BackBlank, plat::ButtonHidden);
    EXPECT_EQ(At(Back).left, At(Spacer).right + 22) << "after the second spacer";
    EXPECT_EQ(At(Previous).left, previous.left);

    // Without the blank, hiding back pulls the arrows one button to the left.
    SetState(Back, plat::ButtonHidden);
    EXPECT_EQ(At(Previous).left, previous.left - 22);
    TapIn(plat::Rect{previous.left - 22, previous.top, previous.left, previous.bottom});
    EXPECT_EQ(Commands(), std::vector<uint32_t>{Previous});

    SetState(Next, plat::ButtonHidden);
    EXPECT_EQ(At(Next).right, 0);
    EXPECT_EQ(plat::SendMessage(bar, plat::MsgSetButtonState, 999, plat::ButtonHidden), 0) << "no such button";
    EXPECT_EQ(plat::SendMessage(bar, plat::MsgGetButtonState, 999, 0), 0);
}

TEST_F(CommandBarTest, TheMenuShowsItsNineItemsAboveTheBarAndATapChoosesOne) {
    StoryPageStates();
    plat::record::Clear();
    OpenMenu();
    const char16_t* items[] = {u"Start at the Beginning", u"Information", u"Restart", u"Objective", u"Sounds",
                               u"Hints", u"About ...", u"Credits", u"Exit"};
    int32_t top = 0;
    for (const char16_t* item : items) {
        const plat::Rect r = DrawnAt(item);
        EXPECT_GT(r.top, top) << "drawn without its '&', below the one before";
        EXPECT_LE(r.bottom, 294) << "above the bar";
        top = r.top;
    }
    EXPECT_TRUE(Commands().empty()) << "opening sends nothing";

    TapIn(DrawnAt(u"Credits"));
    EXPECT_EQ(Commands(), std::vector<uint32_t>{508});
    EXPECT_FALSE(Shown(WindowKind::Menu));
}

TEST_F(CommandBarTest, PressingMenuAndSlidingToAnItemChoosesItOnRelease) {
    plat::record::Clear();
    const plat::Rect button = chrometest::Middle(At(MenuButton));
    headless::PointerDown(button.left, button.top);
    headless::PumpMessages();
    ASSERT_TRUE(Shown(WindowKind::Menu)) << "the menu opens on the press";
    const plat::Rect exit = chrometest::Middle(DrawnAt(u"Exit"));
    headless::PointerMove(exit.left, exit.top);
    headless::PointerUp(exit.left, exit.top);
    headless::PumpMessages();
    EXPECT_EQ(Commands(), std::vector<uint32_t>{509});
    EXPECT_FALSE(Shown(WindowKind::Menu));
}

TEST_F(CommandBarTest, TheMenuClosesOnATapOutsideOnEscapeAndOnItsButtonAndSendsNothing) {
    struct Case {
        const char* how;
        void (*close)(CommandBarTest&);
    };
    const Case cases[] = {
        {"a tap on the page", [](CommandBarTest&) { TapIn({100, 60, 101, 61}); }},
        {"a tap on the bar's next arrow", [](CommandBarTest&) { TapIn(At(Next)); }},
        {"the Menu button again", [](CommandBarTest&) { TapIn(At(MenuButton)); }},
        {"Escape", [](CommandBarTest&) { Press(plat::KeyEscape); }},
    };
    StoryPageStates();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        OpenMenu();
        Log().clear();
        c.close(*this);
        EXPECT_FALSE(Shown(WindowKind::Menu));
        EXPECT_TRUE(Commands().empty());
        EXPECT_TRUE(SeenOf(plat::MsgLButtonDown, main).empty()) << "the closing tap goes no further";
    }
    TapIn(At(Next));
    EXPECT_EQ(Commands(), std::vector<uint32_t>{Next}) << "the bar works again";
}

TEST_F(CommandBarTest, KeysMoveThroughTheMenuAndAccessLettersChoose) {
    const plat::WindowId edit = plat::CreateControl(plat::ControlClass::Edit, u"", plat::StyleVisible, {4, 4, 100, 24}, main, 4000);
    plat::SetFocus(edit);
    OpenMenu();
    Press(plat::KeyDown);
    Press(plat::KeyDown);
    Press(plat::KeyReturn);
    EXPECT_EQ(Commands(), std::vector<uint32_t>{Information});
    EXPECT_EQ(plat::GetFocus(), edit) << "the focus comes back when the menu closes";

    OpenMenu();
    headless::TypeText(u"e");
    headless::PumpMessages();
    EXPECT_EQ(Commands(), (std::vector<uint32_t>{Information, 509})) << "\"&Exit\", whatever the case";
    char16_t typed[8];
    EXPECT_EQ(plat::GetWindowText(edit, typed, 8), 0) << "the menu's keys never reach the edit box";
}

TEST_F(CommandBarTest, TheOwnerTakesTheBarAndItsMenuWithItWhenItGoes) {
    ASSERT_EQ(Count(WindowKind::CommandBar), 1);
    ASSERT_EQ(Count(WindowKind::Menu), 1);
    plat::DestroyWindow(main);
    EXPECT_FALSE(plat::IsWindow(bar));
    EXPECT_EQ(Count(WindowKind::CommandBar), 0);
    EXPECT_EQ(Count(WindowKind::Menu), 0);
}

TEST_F(CommandBarTest, AMissingOrMalformedResourceMakesTheBarFail) {
    plat::DestroyWindow(bar);
    struct Case {
        const char* what;
        int32_t menuBar, bitmap;
    };
    const Case cases[] = {
        {"no such command bar", 999, 421},
        {"no such bitmap", 102, 999},
        {"a malformed command bar", 901, 421},
        {"its menu is missing", 902, 421},
        {"a caption's string is missing", 903, 421},
        {"a cell past the bitmap's seven", 904, 421},
        {"its menu is malformed", 905, 421},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plat::CreateMenuBar(main, c.menuBar, c.bitmap, 6), plat::NoWindow) << c.what;
        EXPECT_NE(plat::LastError(), 0u) << c.what;
        EXPECT_EQ(Count(WindowKind::CommandBar) + Count(WindowKind::Menu), 0) << c.what << ": no window left behind";
    }
    EXPECT_EQ(plat::CreateMenuBar(plat::NoWindow, 102, 421, 6), plat::NoWindow) << "no owner";
    EXPECT_NE(plat::CreateMenuBar(main, 102, 421, 6), plat::NoWindow) << "the program's own resources";
}

}  // namespace
