// Scrolling and screen fitting through the reader's window: the scroll codes on a page 500
// pixels high, the keys of the main window and of an edit box, the stylus on the scroll bar,
// the mouse wheel, child controls moving with the page, and the window following the soft
// input panel.
#include "page/controls.h"
#include "page/scrolling.h"
#include "platform/draw_record.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "tests/shell_nav/nav_harness.h"

namespace navtest {
namespace {

constexpr int32_t ScrollBarWidth = 13;  // the window system's bar, at the client area's right

class ScrollingTest : public NavTest {
protected:
    // Opens the page whose content is exactly 500 pixels high.
    void OpenTallPage() {
        Open(TallParagraph);
        ASSERT_EQ(page::PageSize, 242);
        ASSERT_EQ(page::ScrollMax, 726) << "content 500 high rounds up to three pages";
    }
    void Scroll(uint32_t code) {
        plat::record::Clear();
        plat::PostMessage(window, plat::MsgVScroll, code, 0);
        headless::PumpMessages();
    }
    void ExpectPosition(int32_t position) {
        EXPECT_EQ(ScrollPosition(), position);
        EXPECT_EQ(shell::ScrollOffset, -position);
    }
    plat::Rect Bar() const {
        const plat::Rect w = plat::GetWindowRect(window);
        const plat::Rect c = plat::GetClientRect(window);
        return {w.left + c.right, w.top, w.left + c.right + ScrollBarWidth, w.top + c.bottom};
    }
};

TEST_F(ScrollingTest, EachScrollCodeMovesThePositionWithinTheRange) {
    OpenTallPage();
    struct Step {
        uint32_t code;
        int32_t position;
        const char* what;
    };
    const Step steps[] = {
        {plat::ScrollLineDown, 16, "a line is 16 pixels"},
        {plat::ScrollPageDown, 258, "a page is PageSize"},
        {plat::ScrollBottom, 485, "the bottom is 726 - 242 + 1"},
        {plat::ScrollLineDown, 485, "nothing past the bottom"},
        {plat::ScrollPageUp, 243, ""},
        {plat::ScrollLineUp, 227, ""},
        {plat::ScrollThumbPosition, 227, "a released thumb changes nothing"},
        {plat::ScrollEnd, 227, "the end of scrolling changes nothing"},
        {plat::ScrollTop, 0, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        Scroll(s.code);
        ExpectPosition(s.position);
    }
}

TEST_F(ScrollingTest, ALineUpAtTheTopChangesAndDrawsNothing) {
    OpenTallPage();
    Scroll(plat::ScrollLineUp);
    ExpectPosition(0);
    EXPECT_EQ(plat::record::Count(), 0);
}

TEST_F(ScrollingTest, TheMainWindowsKeysScroll) {
    OpenTallPage();
    struct Step {
        uint32_t key;
        int32_t position;
    };
    const Step steps[] = {
        {plat::KeyEnd, 485},  {plat::KeyHome, 0},  {plat::KeyDown, 16}, {plat::KeyPageDown, 258},
        {plat::KeyUp, 242},   {plat::KeyPageUp, 0}, {plat::KeyDown, 16}, {plat::KeyLeft, 16},
        {plat::KeyRight, 16}, {plat::KeySpace, 16}, {'A', 16},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.key);
        PressKey(s.key);
        ExpectPosition(s.position);
    }
}

TEST_F(ScrollingTest, UpAndDownScrollWhileAnEditBoxHasTheFocusAndItsControlsMoveWithThePage) {
    Open(FerryParagraph);
    plat::SendMessage(window, plat::MsgMouseMove, 0, 0);  // the window makes room for the keyboard
    const plat::WindowId box = page::EditBoxHandles[0];
    ASSERT_EQ(plat::GetFocus(), box);
    ASSERT_GT(page::ScrollMax, page::PageSize) << "the page must be taller than the window";
    const plat::Rect before = plat::GetWindowRect(box);

    PressKey(plat::KeyDown);
    ExpectPosition(16);
    EXPECT_EQ(plat::GetWindowRect(box).top, before.top - 16);
    EXPECT_EQ(plat::GetFocus(), box);
    PressKey(plat::KeyDown);
    PressKey(plat::KeyUp);
    ExpectPosition(16);
    EXPECT_EQ(plat::GetWindowRect(box).top, before.top - 16);
    PressKey(plat::KeyEnd);  // not a scroll key in an edit box: it moves the caret
    ExpectPosition(16);
}

TEST_F(ScrollingTest, TheStylusOnTheScrollBarAndTheWheelScroll) {
    OpenTallPage();
    const plat::Rect bar = Bar();
    const int32_t x = (bar.left + bar.right) / 2;
    headless::Tap(x, bar.bottom - 3);  // the down arrow
    headless::PumpMessages();
    ExpectPosition(16);
    headless::Tap(x, bar.bottom - ScrollBarWidth - 3);  // the track below the thumb
    headless::PumpMessages();
    ExpectPosition(258);
    headless::Tap(x, bar.top + 3);  // the up arrow
    headless::PumpMessages();
    ExpectPosition(242);

    headless::Wheel(100, 150, 120);  // a notch towards the top: three lines
    headless::PumpMessages();
    ExpectPosition(194);
    headless::Wheel(100, 150, -240);
    headless::PumpMessages();
    ExpectPosition(290);
}

TEST_F(ScrollingTest, DraggingTheThumbScrollsWhileItMovesAndReleasingChangesNothingMore) {
    OpenTallPage();
    const plat::Rect bar = Bar();
    const int32_t x = (bar.left + bar.right) / 2;
    const int32_t y = bar.top + ScrollBarWidth + 10;  // on the thumb at the top of the track
    headless::PointerDown(x, y);
    headless::PointerMove(x, y + 40);
    headless::PumpMessages();
    const int32_t first = ScrollPosition();
    EXPECT_GT(first, 0);
    EXPECT_EQ(shell::ScrollOffset, -first);
    headless::PointerMove(x, y + 80);
    headless::PumpMessages();
    const int32_t second = ScrollPosition();
    EXPECT_GT(second, first);
    EXPECT_EQ(shell::ScrollOffset, -second);
    headless::PointerUp(x, y + 80);
    headless::PumpMessages();
    ExpectPosition(second);
}

TEST_F(ScrollingTest, TheWindowFollowsTheInputPanel) {
    Open(FerryParagraph);  // an edit box raises the panel after the first paint
    plat::SendMessage(window, plat::MsgMouseMove, 0, 0);  // the next message sees the change
    const plat::InputPanelInfo shown = plat::GetInputPanelInfo();
    ASSERT_EQ(shown.flags & plat::PanelShown, plat::PanelShown);
    plat::Rect r = plat::GetWindowRect(window);
    EXPECT_EQ(r.bottom - r.top, shown.visibleDesktop.bottom - shown.visibleDesktop.top)
        << "with the panel shown the window is as tall as the visible desktop";
    EXPECT_EQ(page::PageSize, plat::GetClientRect(window).bottom - 26);
    EXPECT_EQ(shell::ScrollOffset, 0);

    PressKey(plat::KeyDown);
    ExpectPosition(16);
    plat::ShowInputPanel(false);  // the reader puts the keyboard away
    plat::SendMessage(window, plat::MsgMouseMove, 0, 0);
    const plat::InputPanelInfo hidden = plat::GetInputPanelInfo();
    ASSERT_EQ(hidden.flags, plat::PanelDocked);
    r = plat::GetWindowRect(window);
    EXPECT_EQ(r.bottom - r.top, hidden.visibleDesktop.bottom - hidden.visibleDesktop.top - 26)
        << "docked and hidden: 26 pixels shorter than the visible desktop";
    EXPECT_EQ(page::PageSize, 242);
    ExpectPosition(0);  // a new page size brings the page back to its top
}

TEST_F(ScrollingTest, ASizeMessageSetsThePageFromTheClientHeight) {
    OpenTallPage();
    plat::SendMessage(window, plat::MsgSize, 0, (268 << 16) | 227);
    EXPECT_EQ(page::PageSize, 242);
    plat::SendMessage(window, plat::MsgSize, 0, (188 << 16) | 227);
    EXPECT_EQ(page::PageSize, 162);
    EXPECT_EQ(plat::GetScrollInfo(window).page, 162);
}

}  // namespace
}  // namespace navtest
