// The navigation tests' fixture: the reader's own main window (shell::OpenMainWindow) over the
// nav_story book on a fresh headless screen, driven message by message as the reader's loop
// would drive it, with the draw recorder on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace navtest {

// Paragraphs of the nav_story book.
inline constexpr int16_t FirstParagraph = 2;  // "Wade in" @20, "Look back" (aside) @30, "Far shore" 714
inline constexpr int16_t RestartParagraph = 3;  // "Old notes" (follow) @31
inline constexpr int16_t WadingParagraph = 20;  // "On" @21; arrows @21 and @2
inline constexpr int16_t FerryParagraph = 21;   // an edit box: "mirewood" @22, else @23
inline constexpr int16_t BellParagraph = 24;    // plays sound 0
inline constexpr int16_t BoldParagraph = 25;    // leaves bold on
inline constexpr int16_t TallParagraph = 40;    // content exactly 500 pixels high
inline constexpr int16_t LongParagraph = 41;    // many lines of prose

// Command-bar buttons and menu items.
inline constexpr int32_t StartAgain = 500, Information = 501, Restart = 502, Objective = 503, Sounds = 504,
                         Hints = 506, About = 507, Credits = 508, Exit = 509, Back = 510, NextArrow = 511,
                         PreviousArrow = 512, Guide = 513, BackBlank = 514, PreviousBlank = 515, Spacer = 516,
                         SoundBox = 518, SoundOk = 519;

class NavTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the reader's window as a fresh start does: the start sequence, then paragraph 2.
    // A window opened before is closed first; the story variables stay.
    void OpenFresh();
    // Opens the reader's window resuming the story at a paragraph, without the start sequence.
    void Open(int16_t paragraph);
    // Posts a command (a menu item or a command-bar button) and handles what follows.
    void Command(int32_t id, uint32_t notification = 0);
    // Taps the middle of a window on the screen and handles what follows.
    void Tap(plat::WindowId window);
    // Taps page button n (id 5000 + n).
    void TapButton(int n);
    void PressKey(uint32_t key);
    // Moves the clock on, firing timers on the way.
    void Wait(uint32_t ms);

    // The state the command bar was last given for a button: 4 shown, 8 hidden.
    intptr_t ButtonState(int32_t command) const;
    // Whether a text containing this was drawn since the last action.
    bool Drawn(const std::u16string& text) const;
    // The page's text runs, joined with "|" between display items of other kinds.
    std::string PageText() const;
    // The scroll bar's position.
    int32_t ScrollPosition() const;

    plat::WindowId window = plat::NoWindow;

private:
    void CloseWindow();
    void OpenWindow();
};

// Runs the whole reader (ReaderMain, with its state file and message loop) in this process
// with a script, from a state file holding paragraph (none at all for 0). Returns the
// number of the script's checks that failed; the reader's exit code goes to exitCode.
int RunReader(const std::string& script, int16_t paragraph, int* exitCode = nullptr);
// The paragraph and the sound setting the last run saved in its state file; 0 when there
// is no complete file.
int16_t SavedParagraph();
int8_t SavedSoundOn();

}  // namespace navtest
