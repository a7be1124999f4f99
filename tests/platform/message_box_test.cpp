// Message boxes through the headless device: recorded, answered from the script, defaults.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/recorder.h"

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { headless::Reset(); }
};

TEST_F(MessageBoxTest, RecordsEveryBoxWithDefaultCaption) {
    EXPECT_EQ(plat::MessageBox(7, u"Paragraph 9 does not exist", nullptr, plat::BoxOk), plat::AnswerOk);
    EXPECT_EQ(plat::MessageBox(plat::NoWindow, u"Could not create button", u" Error 5", plat::BoxOk),
              plat::AnswerOk);

    const auto& boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].owner, 7);
    EXPECT_EQ(boxes[0].text, u"Paragraph 9 does not exist");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(boxes[0].buttons, plat::BoxOk);
    EXPECT_EQ(boxes[1].caption, u" Error 5");

    headless::ClearMessageBoxes();
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(MessageBoxTest, AnswersFromTheQueueInOrder) {
    struct Case {
        uint32_t buttons;
        int32_t queued;  // 0: nothing queued
        int32_t expected;
        const char* what;
    };
    const Case cases[] = {
        {plat::BoxYesNo, 0, plat::AnswerNo, "Yes/No without a script answers No"},
        {plat::BoxYesNo, plat::AnswerYes, plat::AnswerYes, "queued Yes"},
        {plat::BoxYesNo, plat::AnswerNo, plat::AnswerNo, "queued No"},
        {plat::BoxOk, plat::AnswerYes, plat::AnswerOk, "an OK box cannot answer Yes"},
        {plat::BoxYesNo, plat::AnswerOk, plat::AnswerNo, "a Yes/No box cannot answer OK"},
    };
    for (const Case& c : cases) {
        headless::Reset();
        if (c.queued != 0) headless::QueueAnswer(c.queued);
        EXPECT_EQ(plat::MessageBox(1, u"Do you really want to start again?", u"Beginning of Book", c.buttons),
                  c.expected)
            << c.what;
        ASSERT_EQ(headless::MessageBoxes().size(), 1u) << c.what;
        EXPECT_EQ(headless::MessageBoxes()[0].answer, c.expected) << c.what;
    }
}

TEST_F(MessageBoxTest, QueuedAnswersAreUsedOnceEach) {
    headless::QueueAnswer(plat::AnswerYes);
    headless::QueueAnswer(plat::AnswerNo);
    EXPECT_EQ(plat::MessageBox(1, u"a", u"c", plat::BoxYesNo), plat::AnswerYes);
    EXPECT_EQ(plat::MessageBox(1, u"b", u"c", plat::BoxYesNo), plat::AnswerNo);
    EXPECT_EQ(plat::MessageBox(1, u"c", u"c", plat::BoxYesNo), plat::AnswerNo);  // queue empty
}

}  // namespace

// Boxes shown on the screen run their own loop until a button or key answers them.
namespace {

using namespace testing_platform;

TEST_F(PlatformTest, BoxOnTheScreenIsAnsweredByKeysOrTapsAndIsModal) {
    const plat::WindowId main = CreateMain();
    headless::PumpMessages();
    headless::ShowBoxesOnScreen(true);

    headless::PressKey(plat::KeyReturn);
    EXPECT_EQ(plat::MessageBox(main, u"Do you really want to start again?", u"Beginning of Book", plat::BoxYesNo),
              plat::AnswerYes);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].answer, 0);

    // While the box waits, the main window's timer still ticks; at its tick the test taps the
    // page (which must not get it) and then the box's No button.
    plat::SetTimer(main, 1, 100);
    Extra() = [main](plat::WindowId w, uint32_t message, uintptr_t, intptr_t, intptr_t*) {
        if (message != plat::MsgTimer) return false;
        plat::KillTimer(w, 1);
        const plat::WindowId box = plat::GetFocus();
        EXPECT_NE(box, main);
        const plat::Rect no = plat::GetWindowRect(plat::GetControl(box, plat::AnswerNo));
        headless::Tap(120, 280);
        headless::Tap((no.left + no.right) / 2, (no.top + no.bottom) / 2);
        return true;
    };
    Log().clear();
    EXPECT_EQ(plat::MessageBox(main, u"SHCreateMenuBar Failed to create a menu bar", u"Error", plat::BoxYesNo),
              plat::AnswerNo);
    EXPECT_TRUE(SeenOf(plat::MsgLButtonDown, main).empty()) << "the page got no input while the box was up";
    EXPECT_EQ(plat::GetFocus(), plat::NoWindow) << "the focus goes back where it was";

    // Input that runs out closes the box with the answer that changes nothing.
    EXPECT_EQ(plat::MessageBox(main, u"Sure?", nullptr, plat::BoxYesNo), plat::AnswerNo);
    EXPECT_TRUE(plat::IsWindow(main));
}

}  // namespace
