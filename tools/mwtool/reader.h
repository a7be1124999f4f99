// The real reader run in-process on the headless device, for the tools that read the book
// through its own engine: the main window with its page fonts, the page's choices, acting
// on them as the command handling does, the reading state as bytes that can be put back,
// and the message boxes of data faults. Used by play, explore and lint's measuring.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/tables.h"

namespace mwtool {

// Everything that decides what the reader shows next and what the markup will do: the
// navigation, every variable's two state bytes, and the snapshot slots. Slots that are not
// saved keep a zero block, since nothing can bring their contents back.
struct ReadingState {
    int16_t currentParagraph = 2;
    int16_t storyParagraph = 2;
    bool inStory = true;
    uint8_t variables[book::SnapshotBytes] = {};
    int8_t saved[book::SlotCount] = {};
    int16_t slotParagraph[book::SlotCount] = {};
    uint8_t snapshots[book::SlotCount][book::SnapshotBytes] = {};
};

// One way on from the page being shown.
struct PageChoice {
    enum Kind : uint8_t { Button, EditBox, NextArrow, PreviousArrow } kind;
    int hotword;        // index into the page's hotword table; -1 for an arrow or an item button
    int16_t controlId;  // the control's id; 511 or 512 for an arrow
};

// A message box the reader showed: a data fault when it has only an OK button.
struct ShownBox {
    std::string text;
    bool fault;
};

namespace reader {

// Opens the reader's main window on the headless device as start-up does (without the
// state file and without the start sequence); false when it cannot be made.
bool Open();
void Close();

// Moves the main window off the screen (false) or back onto it (true). Off it, every page is
// still built and laid out as always, and its controls placed, but no pixel is drawn.
void DrawPages(bool on);

// Starts the book as "Start at the Beginning" does once answered: every variable and
// snapshot flag cleared, paragraph 2 in the story, painted at once.
void StartAtBeginning();

// Puts the engine in the state of a fresh start without painting: every variable and
// snapshot flag cleared, paragraph 2 in the story; state receives it.
void StartState(ReadingState& state);

// Copies the reading state out of, or back into, the engine. Restore does not paint.
void Capture(ReadingState& state);
void Restore(const ReadingState& state);
// Rebuilds and paints the current page now.
void Rebuild();

// Returns how many hotwords the page's scan recorded.
int HotwordsOnPage();
// True when the reader has a page for the paragraph: its text, or the built-in page that
// stands in for the information and hints paragraphs without text.
bool HasPage(int paragraph);

// Lists the page's ways on: every hotword with a control (on the built-in information page,
// every item's button, with no hotword), then the armed arrows.
void ListChoices(std::vector<PageChoice>& out);

// Acts as the reader's command handling does, painting the next page before returning:
// taps a page button, types text into an edit box (cut to what the box accepts) and
// confirms it with Enter, or sends a menu or command-bar command. A command that asks
// whether to start again is answered yes.
void Tap(int16_t controlId);
void TypeAndConfirm(int16_t editBoxId, const std::string& text);
void Command(int32_t id);

// Applies a hotword, or follows an arrow, without painting: the engine is left in the state
// the move leads to, before the next page's own commands run. typed is an edit box's text,
// cut as the box would cut it.
void ActivateWithoutPaint(int hotword, const std::string& typed);
// As ActivateWithoutPaint for a chance hotword, with the draw forced to lead to target
// (stored minus one): the hotword has no effect but the move, so it acts as a plain one.
void ActivateChanceWithoutPaint(int hotword, int16_t target);
void FollowArrowWithoutPaint(int16_t paragraph);
// Runs a menu or command-bar command (the back button, a menu paragraph) through the
// command handling without painting.
void CommandWithoutPaint(int32_t id);

// Returns the message boxes shown since the last call.
std::vector<ShownBox> TakeBoxes();

// Measures a text in the page fonts as the page controls do: its width in pixels.
int32_t TextWidth(const std::string& text, bool bold);
// Returns the characters of a title that the title band shows (all of it when it fits), as
// the layout fits it into the line; width receives the title's whole width.
int TitleFit(const std::string& title, int32_t& width);
// The line's right limit and left margin in the main window, in pixels.
int32_t RightLimit();
int32_t LeftMargin();

}  // namespace reader
}  // namespace mwtool
