// The built-in pages: the opening sequence, the button guide, the about and sound pages, and
// the fallback information and hints pages. The page rebuild calls these builders; the
// command handling reads the page flags.
#pragma once

namespace shell {

extern bool InventoryPageShown;  // the fallback information page is on screen
extern bool SoundPageShown;      // the sound setting page is on screen

// Builds the built-in page that SpecialPage names. Called by the rebuild after the display
// list, the controls, the arrows and the page flags were reset.
void BuildSpecialPage();
// Builds the fallback information page (paragraph 6 without text in the book).
void BuildInventoryPage();
// Builds the fallback hints page (paragraph 7 without text in the book).
void BuildHintsPage();

}  // namespace shell
