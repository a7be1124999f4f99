// Commands and navigation through the reader's own window: the start sequence and its timer,
// the menu and command-bar commands, the back button and the arrows, the command bar's
// button states, "Start at the Beginning", taps and Returns on page controls, and moves to
// paragraphs that do not exist.
#include <string>
#include <vector>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "page/controls.h"
#include "page/line_fit.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "tests/shell_nav/nav_harness.h"

namespace navtest {
namespace {

constexpr intptr_t Shown = plat::ButtonEnabled;
constexpr intptr_t Hidden = plat::ButtonHidden;

const std::string PresentsText = "<W1><P><V1100><P><W1>Presents<U><W0>";
const std::string TitleText = "<W1><V1864><U><B>The Mirewood Vow<D><U><W0>";
const std::string FirstText = "<H>The Edge of the Mire<J>The path ends at the water. [Wade in][Look back][Far shore]";

// The back button, the arrows and their placeholders as the command bar shows them.
struct Bar {
    bool back, next, previous;
};

class NavigationTest : public NavTest {
protected:
    void ExpectBar(const Bar& bar) {
        EXPECT_EQ(ButtonState(Back), bar.back ? Shown : Hidden);
        EXPECT_EQ(ButtonState(BackBlank), bar.back ? Hidden : Shown);
        EXPECT_EQ(ButtonState(NextArrow), bar.next ? Shown : Hidden);
        EXPECT_EQ(ButtonState(PreviousArrow), bar.previous ? Shown : Hidden);
        EXPECT_EQ(ButtonState(PreviousBlank), bar.previous ? Hidden : Shown);
    }
    void ExpectAt(int16_t current, int16_t story, bool inStory) {
        EXPECT_EQ(shell::CurrentParagraph, current);
        EXPECT_EQ(shell::StoryParagraph, story);
        EXPECT_EQ(shell::InStory, inStory);
    }
    std::string DetailsText() const {
        return "<W1><B>The Mirewood Vow<U> 1.0<D><U><W0> author: Edwin Talloway<U> contact: tales@example.org<U>"
               " support: help@example.org<U>copyright: Edwin Talloway<U> <U>[INSTRUCTIONS]";
    }
};

// ---------------------------------------------------------------------------------------
// The start sequence
// ---------------------------------------------------------------------------------------

TEST_F(NavigationTest, AFreshStartShowsPresentsThenTheTitleThenTheBookDetailsTwoSecondsApart) {
    OpenFresh();
    EXPECT_EQ(PageText(), PresentsText);
    EXPECT_TRUE(Drawn(u"Presents"));
    ExpectBar({false, false, false});

    Wait(1999);
    EXPECT_EQ(PageText(), PresentsText) << "two seconds, not less";
    Wait(1);
    EXPECT_EQ(PageText(), TitleText);
    EXPECT_TRUE(Drawn(u"The Mirewood Vow"));
    ExpectBar({false, false, false});

    Wait(2000);
    EXPECT_EQ(PageText(), DetailsText());
    EXPECT_TRUE(Drawn(u" author: Edwin Talloway"));
    ExpectBar({false, true, true});
    ASSERT_EQ(page::ButtonCount, 1);
    EXPECT_TRUE(plat::IsWindowVisible(page::ButtonHandles[0]));
    EXPECT_EQ(plat::GetControlId(page::ButtonHandles[0]), Guide);

    Wait(60000);
    EXPECT_EQ(PageText(), DetailsText()) << "the details page waits for the reader";
    ExpectAt(2, 2, true);
}

TEST_F(NavigationTest, TheBookDetailsPageLeadsOnByItsArrowsAndInstructions) {
    OpenFresh();
    Wait(4000);
    Command(PreviousArrow);
    EXPECT_EQ(PageText(), TitleText) << "the up arrow shows the title page again";
    ExpectBar({false, false, false});
    Wait(2000);
    EXPECT_EQ(PageText(), DetailsText()) << "and the details page two seconds later";

    TapButton(0);  // "INSTRUCTIONS"
    EXPECT_EQ(PageText().rfind("The buttons below the Horizontal line", 0), 0u) << PageText();
    ExpectAt(2, 2, false);
    ExpectBar({true, false, false});

    Command(Back);
    EXPECT_EQ(PageText(), FirstText);
    ExpectAt(2, 2, true);
    ExpectBar({false, false, false});
}

TEST_F(NavigationTest, TheDownArrowOfTheBookDetailsPageEntersTheStory) {
    OpenFresh();
    Wait(4000);
    Command(NextArrow);
    EXPECT_EQ(PageText(), FirstText);
    ExpectAt(2, 2, true);
    ExpectBar({false, false, false});
}

TEST_F(NavigationTest, AMenuParagraphChosenDuringTheSequenceWaitsForTheSequenceToEnd) {
    OpenFresh();
    Command(Objective);
    ExpectAt(4, 2, false);
    EXPECT_EQ(PageText(), TitleText) << "the rebuild shows the sequence's next page";
    ExpectBar({true, false, false});
    Wait(2000);
    EXPECT_EQ(PageText(), DetailsText());
    Command(Back);
    EXPECT_EQ(PageText(), FirstText);
    ExpectAt(2, 2, true);
}

TEST_F(NavigationTest, ABuiltInPageChosenDuringTheSequenceEndsItAndStays) {
    OpenFresh();
    Command(About);
    const std::string support = PageText();
    EXPECT_NE(support.find("A 2.9.4; B 203"), std::string::npos) << support;
    Wait(10000);
    EXPECT_EQ(PageText(), support) << "the sequence's timer must not take the page away";
    ExpectAt(2, 2, false);
}

// ---------------------------------------------------------------------------------------
// Menu commands, the back button, the arrows
// ---------------------------------------------------------------------------------------

TEST_F(NavigationTest, MenuParagraphsAreVisitedAsideAndTheBackButtonReturnsToTheStory) {
    struct Case {
        int32_t command;
        int16_t paragraph;
        const char* shows;
    };
    const Case cases[] = {
        {Information, 6, "You have the following items"},  // the fallback page: 6 has no text
        {Restart, 3, "Choose where to begin again."},
        {Objective, 4, "Cross the mire and keep your vow."},
        {Hints, 7, "The idea of an ta"},                    // the fallback page: 7 has no text
        {Credits, 5, "Written by Edwin Talloway."},
    };
    Open(WadingParagraph);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        ExpectAt(c.paragraph, WadingParagraph, false);
        EXPECT_NE(PageText().find(c.shows), std::string::npos) << PageText();
        ExpectBar({true, false, false});
        Command(Back);
        ExpectAt(WadingParagraph, WadingParagraph, true);
        ExpectBar({false, true, true});
    }
}

TEST_F(NavigationTest, BuiltInPagesOfTheMenuAndTheCommandBarAreAsideToo) {
    struct Case {
        int32_t command;
        const char* shows;
    };
    const Case cases[] = {
        {Sounds, "[Sound]"},
        {About, "A 2.9.4"},
        {Guide, "The buttons below"},
    };
    Open(WadingParagraph);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        EXPECT_NE(PageText().find(c.shows), std::string::npos) << PageText();
        EXPECT_EQ(shell::SpecialPage, shell::NoSpecialPage);
        ExpectAt(WadingParagraph, WadingParagraph, false);
        ExpectBar({true, false, false});
        Command(Back);
        ExpectAt(WadingParagraph, WadingParagraph, true);
        EXPECT_NE(PageText().find("Cold water to the knee."), std::string::npos);
    }
}

TEST_F(NavigationTest, HotwordsOnAMenuParagraphKeepTheReaderAside) {
    Open(WadingParagraph);
    Command(Restart);
    TapButton(0);  // "Old notes", a follow hotword
    ExpectAt(31, WadingParagraph, false);
    Command(Back);
    ExpectAt(WadingParagraph, WadingParagraph, true);
}

TEST_F(NavigationTest, AStoryPageArmsItsArrowsAndTheyFollowTheirTargets) {
    Open(WadingParagraph);
    ExpectBar({false, true, true});
    Command(NextArrow);
    ExpectAt(21, 21, true);
    ExpectBar({false, false, false});
    Command(NextArrow);
    Command(PreviousArrow);
    ExpectAt(21, 21, true);  // arrows that are off do nothing

    Open(WadingParagraph);
    Command(PreviousArrow);
    ExpectAt(2, 2, true);
}

TEST_F(NavigationTest, TheCommandBarHearsTheFiveStatesInOrderAfterEveryRebuild) {
    Open(FirstParagraph);
    std::vector<std::pair<uintptr_t, intptr_t>> sent;
    static std::vector<std::pair<uintptr_t, intptr_t>>* log = nullptr;
    static plat::WindowProc bar = nullptr;
    log = &sent;
    bar = plat::SetWindowProc(shell::MenuBar, [](plat::WindowId w, uint32_t m, uintptr_t wp, intptr_t lp) -> intptr_t {
        if (m == plat::MsgSetButtonState) log->push_back({wp, lp});
        return plat::CallWindowProc(bar, w, m, wp, lp);
    });
    TapButton(0);  // "Wade in": a story page with both arrows
    const std::vector<std::pair<uintptr_t, intptr_t>> expected = {
        {Back, Hidden}, {BackBlank, Shown}, {NextArrow, Shown}, {PreviousArrow, Shown}, {PreviousBlank, Hidden}};
    EXPECT_EQ(sent, expected);
}

TEST_F(NavigationTest, BlankButtonsTheCheckBoxAndUnknownCommandsDoNothing) {
    Open(WadingParagraph);
    for (int32_t id : {BackBlank, PreviousBlank, Spacer, SoundBox, Back, 517, 999, 3999}) {
        SCOPED_TRACE(id);
        Command(id);
        ExpectAt(WadingParagraph, WadingParagraph, true);
        EXPECT_FALSE(shell::RebuildNeeded);
        EXPECT_TRUE(headless::MessageBoxes().empty());
    }
}

// ---------------------------------------------------------------------------------------
// Start at the Beginning
// ---------------------------------------------------------------------------------------

class StartAgainTest : public NavigationTest {
protected:
    void SetUp() override {
        NavigationTest::SetUp();
        Open(BoldParagraph);  // leaves bold on at its end
        book::SetHeld(0, 1);
        book::SetVariableValue(2, 300);
        book::SetVariableValue(4, 2);
        book::SaveSnapshot(0, BoldParagraph);
        Command(Objective);
    }
};

TEST_F(StartAgainTest, NoChangesNothing) {
    headless::QueueAnswer(plat::AnswerNo);
    Command(StartAgain);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    const headless::MessageBoxRecord& box = headless::MessageBoxes()[0];
    EXPECT_EQ(box.text, u"Do you really want to start again?");
    EXPECT_EQ(box.caption, u"Beginning of Book");
    EXPECT_EQ(box.buttons, plat::BoxYesNo);
    EXPECT_EQ(box.owner, window);
    ExpectAt(4, BoldParagraph, false);
    EXPECT_EQ(book::HeldByte(0), 1);
    EXPECT_EQ(book::VariableValue(2), 300);
    EXPECT_TRUE(book::SlotSaved(0));
}

TEST_F(StartAgainTest, YesClearsTheStoryAndShowsParagraphTwoInsideTheStory) {
    EXPECT_TRUE(page::LayoutBold) << "paragraph 25 leaves bold on";
    headless::QueueAnswer(plat::AnswerYes);
    Command(StartAgain);
    for (int v = 0; v < book::VariableCount; ++v) {
        EXPECT_EQ(book::StoryVariableTable[v].state[0], 0) << v;
        EXPECT_EQ(book::StoryVariableTable[v].state[1], 0) << v;
    }
    for (int slot = 0; slot < book::SlotCount; ++slot) EXPECT_FALSE(book::SlotSaved(slot)) << slot;
    ExpectAt(2, 2, true);
    EXPECT_EQ(PageText(), FirstText) << "no start sequence";
    ExpectBar({false, false, false});
    EXPECT_FALSE(page::LayoutBold) << "the next paint starts plain";
}

// ---------------------------------------------------------------------------------------
// Taps and Returns on the page
// ---------------------------------------------------------------------------------------

TEST_F(NavigationTest, ATapThatLeadsOnGivesALivePageAndOneThatDoesNotDropsTheRest) {
    Open(FirstParagraph);
    TapButton(0);  // "Wade in"
    ExpectAt(WadingParagraph, WadingParagraph, true);
    EXPECT_FALSE(shell::ChoiceTaken);
    TapButton(0);  // "On", on the new page
    ExpectAt(21, 21, true);

    Open(FirstParagraph);
    Command(5099);  // a page button of no hotword
    EXPECT_TRUE(shell::ChoiceTaken);
    EXPECT_EQ(PageText(), FirstText);
    TapButton(0);
    ExpectAt(FirstParagraph, FirstParagraph, true);  // dropped until the page is rebuilt
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(NavigationTest, AnAsideHotwordKeepsTheStoryPosition) {
    Open(FirstParagraph);
    TapButton(1);  // "Look back", a g hotword
    ExpectAt(30, FirstParagraph, false);
    TapButton(0);  // "Further", a follow hotword: still aside
    ExpectAt(31, FirstParagraph, false);
}

TEST_F(NavigationTest, MovesOutsideTheBookAreReportedAndChangeNothing) {
    Open(FirstParagraph);
    TapButton(2);  // "Far shore", whose target is 714
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, u"Paragraph 714 does not exist");
    ExpectAt(FirstParagraph, FirstParagraph, true);
    EXPECT_EQ(PageText(), FirstText);

    for (int16_t paragraph : {int16_t{0}, int16_t{-1}, int16_t{714}, int16_t{32767}}) {
        SCOPED_TRACE(paragraph);
        headless::ClearMessageBoxes();
        shell::GoToParagraph(paragraph, shell::Story);
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        const std::string message = "Paragraph " + std::to_string(paragraph) + " does not exist";
        EXPECT_EQ(headless::MessageBoxes()[0].text, std::u16string(message.begin(), message.end()));
        ExpectAt(FirstParagraph, FirstParagraph, true);
        EXPECT_FALSE(shell::RebuildNeeded);
    }
}

TEST_F(NavigationTest, TabOrReturnInAnEditBoxActsOnItsAnswer) {
    struct Case {
        std::u16string typed;
        uint32_t key;
        int16_t paragraph;
    };
    const Case cases[] = {
        {u"MIREWOOD", plat::KeyReturn, 22},
        {u"mirewood", plat::KeyTab, 22},
        {u"ferry", plat::KeyReturn, 23},
        {u"", plat::KeyReturn, 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
        Open(FerryParagraph);
        ASSERT_EQ(page::EditBoxCount, 1);
        EXPECT_EQ(plat::GetFocus(), page::EditBoxHandles[0]);
        headless::TypeText(c.typed.c_str());
        PressKey(c.key);
        ExpectAt(c.paragraph, c.paragraph, true);
        EXPECT_EQ(shell::TypedAnswer, std::string(c.typed.begin(), c.typed.end()));
        EXPECT_EQ(page::EditBoxCount, 0) << "the box went with its page";
    }
}

TEST_F(NavigationTest, TheTypedAnswerIsReadAsFarAsTheBoxAcceptsAndNeverPast199Characters) {
    struct Case {
        const char* what;
        int16_t maxChars;
        std::u16string text;
        std::string answer;
    };
    const Case cases[] = {
        {"the box's own limit", 8, u"mirewood", "mirewood"},
        {"text past the limit is not read", 3, u"mirewood", "mir"},
        {"a limit past the answer's room", 500, std::u16string(250, u'x'), std::string(199, 'x')},
        {"Windows-1252 characters come back as their bytes", 8, u"caf\u00e9 \u20ac", "caf\xe9 \x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(FerryParagraph);
        shell::ChoiceTaken = true;  // keep the page, to read the answer alone
        page::EditBoxTable[0].maxChars = c.maxChars;
        plat::SetWindowText(page::EditBoxHandles[0], c.text.c_str());
        Command(page::FirstEditBoxId, plat::EditConfirmNotification);
        EXPECT_EQ(shell::TypedAnswer, c.answer);
        ExpectAt(FerryParagraph, FerryParagraph, true);  // a second entry on the page is dropped
    }
}

TEST_F(NavigationTest, EditBoxCommandsOtherThanConfirmingOrOfNoBoxDoNothing) {
    Open(FerryParagraph);
    plat::SetWindowText(page::EditBoxHandles[0], u"mirewood");
    Command(page::FirstEditBoxId, 0);
    Command(page::FirstEditBoxId + 1, plat::EditConfirmNotification);
    Command(4999, plat::EditConfirmNotification);
    ExpectAt(FerryParagraph, FerryParagraph, true);
    EXPECT_FALSE(shell::ChoiceTaken);
    Command(page::FirstEditBoxId, plat::EditConfirmNotification);
    ExpectAt(22, 22, true);
}

}  // namespace
}  // namespace navtest
