// The main window in the reader's own process: each message of its table reaches its
// handler, the input panel check comes first, a failed command bar is reported and the
// reader goes on, and end requests from the system close the window.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include "page/controls.h"
#include "page/line_fit.h"
#include "page/scrolling.h"
#include "platform/device.h"
#include "platform/draw_record.h"
#include "platform/headless/headless.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/navigation.h"
#include "shell/startup.h"

namespace startup_test {
namespace {

constexpr int16_t LongParagraph = 101;  // far taller than the window

// Opens the reader's window on a fresh screen, showing the long paragraph.
plat::WindowId OpenOnLongPage() {
    plat::DestroyWindow(shell::MainWindow);  // gives the page fonts of the last test back
    headless::Reset();
    shell::CurrentParagraph = LongParagraph;
    shell::SpecialPage = 0;
    shell::RebuildNeeded = true;
    shell::ScrollOffset = 0;
    return shell::OpenMainWindow(plat::ShowNormal);
}

bool Drawn(const std::u16string& text) {
    for (int32_t i = 0; i < plat::record::Count(); ++i) {
        const plat::record::Record& r = plat::record::At(i);
        if (r.kind == plat::record::Kind::Text && std::u16string(r.text).find(text) != std::u16string::npos) return true;
    }
    return false;
}

bool QuitPending() {
    plat::MessageRecord message;
    return !plat::GetMessage(message) && message.message == plat::MsgQuit;
}

TEST(MainWindow, EachMessageReachesItsHandler) {
    struct Case {
        const char* message;
        std::function<void(plat::WindowId)> send;
        std::function<bool(plat::WindowId)> handled;
    };
    const Case cases[] = {
        {"create (1): page fonts, command bar, control area",
         [](plat::WindowId) {},
         [](plat::WindowId w) {
             return page::BoldFont != 0 && page::NormalFont != 0 && shell::MenuBar != plat::NoWindow &&
                    shell::ControlArea.right == plat::GetClientRect(w).right && shell::ControlArea.bottom == 268;
         }},
        {"size (5): the page size follows the client height",
         [](plat::WindowId w) { plat::SendMessage(w, plat::MsgSize, 0, (300 << 16) | 227); },
         [](plat::WindowId) { return page::PageSize == 274; }},
        {"paint (15): the page is rebuilt and laid out",
         [](plat::WindowId w) {
             shell::RebuildNeeded = true;
             plat::InvalidateWindow(w, true);
             plat::UpdateWindow(w);
         },
         [](plat::WindowId) { return !shell::RebuildNeeded && Drawn(u"The Long Wade"); }},
        {"draw item (43): a page button's caption",
         [](plat::WindowId w) {
             page::ResetControls();
             page::CreateTextButton("Wade in", page::FirstButtonId);
             plat::InvalidateWindow(w, false);
             const plat::SurfaceId surface = plat::BeginPaint(w);
             plat::DrawItemRequest request = {page::FirstButtonId, plat::NoWindow, surface, {10, 10, 120, 30}, false, false};
             plat::SendMessage(w, plat::MsgDrawItem, page::FirstButtonId, reinterpret_cast<intptr_t>(&request));
             plat::EndPaint(w, surface);
         },
         [](plat::WindowId) { return Drawn(u"Wade in"); }},
        {"key down (256): Page Down becomes a scroll message",
         [](plat::WindowId w) {
             plat::SendMessage(w, plat::MsgKeyDown, plat::KeyPageDown, 0);
             headless::PumpMessages();
         },
         [](plat::WindowId) { return shell::ScrollOffset == -page::PageSize; }},
        {"key down (256): other keys do not scroll",
         [](plat::WindowId w) {
             plat::SendMessage(w, plat::MsgKeyDown, 'A', 0);
             headless::PumpMessages();
         },
         [](plat::WindowId) { return shell::ScrollOffset == 0; }},
        {"command (273): the menu's exit closes the window",
         [](plat::WindowId w) {
             plat::SendMessage(w, plat::MsgCommand, plat::MakeCommandParam(0, shell::ExitCommand), 0);
             headless::PumpMessages();
         },
         [](plat::WindowId w) { return !plat::IsWindow(w) && QuitPending(); }},
        {"timer (275): the timer stops and the page is rebuilt at once",
         [](plat::WindowId w) {
             plat::SetTimer(w, shell::StartSequenceTimer, 2000);
             shell::RebuildNeeded = true;
             plat::SendMessage(w, plat::MsgTimer, shell::StartSequenceTimer, 0);
         },
         [](plat::WindowId) {
             uint32_t due = 0;
             return !plat::device::NextTimerDue(due) && !shell::RebuildNeeded;
         }},
        {"vertical scroll (277): one line down",
         [](plat::WindowId w) { plat::SendMessage(w, plat::MsgVScroll, plat::ScrollLineDown, 0); },
         [](plat::WindowId) { return shell::ScrollOffset == -16; }},
        {"destroy (2): the fonts go and the loop is asked to end",
         [](plat::WindowId w) { plat::DestroyWindow(w); },
         [](plat::WindowId) { return page::BoldFont == 0 && page::NormalFont == 0 && QuitPending(); }},
        {"close (16) is left to the default handling, which destroys the window",
         [](plat::WindowId w) { plat::SendMessage(w, plat::MsgClose, 0, 0); },
         [](plat::WindowId w) { return !plat::IsWindow(w) && QuitPending(); }},
        {"any message: a shown input panel shortens the window first",
         [](plat::WindowId w) {
             plat::ShowInputPanel(true);
             plat::SendMessage(w, 0x400, 0, 0);
         },
         [](plat::WindowId w) {
             const plat::InputPanelInfo panel = plat::GetInputPanelInfo();
             const int32_t visible = panel.visibleDesktop.bottom - panel.visibleDesktop.top;
             const plat::Rect r = plat::GetWindowRect(w);
             return r.bottom - r.top == visible && page::PageSize == visible - 26;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const plat::WindowId window = OpenOnLongPage();
        ASSERT_NE(window, plat::NoWindow);
        plat::record::Start();
        c.send(window);
        EXPECT_TRUE(c.handled(window));
        plat::record::Stop();
    }
}

TEST(MainWindow, StartsTwentySixPixelsShortOfTheDesktopWhileThePanelIsDockedAndHidden) {
    const plat::WindowId window = OpenOnLongPage();
    ASSERT_NE(window, plat::NoWindow);
    const plat::InputPanelInfo panel = plat::GetInputPanelInfo();
    ASSERT_EQ(panel.flags, plat::PanelDocked);
    const plat::Rect r = plat::GetWindowRect(window);
    EXPECT_EQ(r.bottom - r.top, panel.visibleDesktop.bottom - panel.visibleDesktop.top - 26);
    EXPECT_EQ(page::PageSize, r.bottom - r.top - 26) << "the size message sets the page from the client height";
    char16_t caption[64];
    plat::GetWindowText(window, caption, 64);
    EXPECT_EQ(std::u16string(caption), u"Startup Fixture");
}

// The command bar needs a window of its own; with the window table full it cannot be made.
TEST(MainWindow, AFailedCommandBarIsReportedAndTheReaderGoesOn) {
    plat::DestroyWindow(shell::MainWindow);
    headless::Reset();
    ASSERT_TRUE(plat::RegisterWindowClass({u"Filler", plat::DefaultWindowProc, 0}));
    const plat::WindowId filler = plat::CreateMainWindow(u"Filler", u"", 0, 0, 26, 10, 10);
    ASSERT_NE(filler, plat::NoWindow);
    plat::WindowId last = plat::NoWindow;
    for (plat::WindowId made; (made = plat::CreateControl(plat::ControlClass::Button, u"", 0, {0, 0, 1, 1}, filler, 1)) != plat::NoWindow;) {
        last = made;
    }
    plat::DestroyWindow(last);  // room for the main window, none for its command bar

    shell::SpecialPage = 0;
    shell::CurrentParagraph = 100;
    const plat::WindowId window = shell::OpenMainWindow(plat::ShowNormal);
    ASSERT_NE(window, plat::NoWindow);
    EXPECT_EQ(shell::MenuBar, plat::NoWindow);
    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"SHCreateMenuBar Failed to create a menu bar");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_TRUE(plat::IsWindowVisible(window));
    EXPECT_NE(page::BoldFont, 0);
}

TEST(EndRequests, CloseTheWindowOrEndTheLoopWhenThereIsNone) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const plat::WindowId window = OpenOnLongPage();
        ASSERT_NE(window, plat::NoWindow);
        ASSERT_TRUE(plat::CloseOnEndRequests());
        std::raise(signal);
        headless::PumpMessages();
        EXPECT_FALSE(plat::IsWindow(window));
        EXPECT_TRUE(QuitPending());
    }
    headless::Reset();
    ASSERT_TRUE(plat::CloseOnEndRequests());
    std::raise(SIGTERM);
    EXPECT_TRUE(QuitPending()) << "before any window there is nothing to close";
}

}  // namespace
}  // namespace startup_test
