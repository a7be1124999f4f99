// Whole runs of the reader in this process (ReaderMain with its state file and message
// loop) driven by scripts: the start sequence as the reader sees it, and what the state
// file keeps after visits aside and a change of the sound setting.
#include "tests/shell_nav/nav_harness.h"

namespace navtest {
namespace {

TEST(ReaderRun, AFreshStartRunsTheSequenceAndTheDetailsPageLeadsIntoTheStory) {
    int code = -1;
    EXPECT_EQ(RunReader("expect-text \"Presents\"\n"
                        "wait 2000\n"
                        "wait 2000\n"
                        "expect-text \" author: Edwin Talloway\"\n"
                        "menu 511\n"
                        "expect-text \"The path ends at the water.\"\n"
                        "expect-no-box\n",
                        0, &code),
              0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(SavedParagraph(), 2);
}

TEST(ReaderRun, VisitsAsideLeaveTheSavedStoryParagraphAlone) {
    EXPECT_EQ(RunReader("menu \"Information\"\n"
                        "expect-text \"You have the following items\"\n"
                        "menu \"Objective\"\n"
                        "menu \"Hints\"\n"
                        "expect-text \"The idea of an \"\n"
                        "menu \"Restart\"\n"
                        "tap-control 5000\n"  // "Old notes": aside still
                        "expect-text \"Someone wrote here before you.\"\n"
                        "expect-no-box\n",
                        WadingParagraph),
              0);
    EXPECT_EQ(SavedParagraph(), WadingParagraph);
}

TEST(ReaderRun, TheSoundTurnedOffOnItsPageStaysOffAndIsSaved) {
    EXPECT_EQ(RunReader("menu \"Sounds\"\n"
                        "tap-control 518\n"  // untick "Sound"
                        "tap-control 519\n"  // "Ok"
                        "expect-text \"Cold water to the knee.\"\n"
                        "tap-control 5000\n"  // "On"
                        "type \"mirewood\"\n"
                        "key Return\n"
                        "tap-control 5000\n"  // "Listen": the bell's paragraph
                        "expect-text \"A bell rings under the water.\"\n"
                        "expect-no-box\n",
                        WadingParagraph),
              0);
    EXPECT_TRUE(headless::PlayedSounds().empty());
    EXPECT_EQ(SavedParagraph(), BellParagraph);
    EXPECT_EQ(SavedSoundOn(), 0);
}

}  // namespace
}  // namespace navtest
