// The built-in pages: the three pages of the start sequence, the button guide, the support
// and sound pages, and the fallback inventory and hints pages that stand in for paragraphs
// 6 and 7 when the book has no text for them. BuildSpecialPage and the page rebuild call the
// builders while a page is built; the command handling reads the page flags.
#pragma once

#include <cstdint>

#include "book/tables.h"

namespace shell {

extern bool InventoryPageShown;  // the fallback inventory page is on screen
extern bool SoundPageShown;      // the sound page is on screen (its check box is built)
// For each story variable, the id of its button on the last inventory page, or -1.
extern int16_t InventoryButtonIds[book::VariableCount];

// Each builder appends its page to the display list and makes its controls.
void BuildBookDetailsPage();  // page 1; BuildSpecialPage then arms the arrows and adds "INSTRUCTIONS"
void BuildTitlePage();        // page 2
void BuildPresentsPage();     // page 3
void BuildButtonGuidePage();  // page 4
// Page 6, with the version codes; also takes the reader out of the story, so the back
// button shows however the page was reached.
void BuildSupportPage();
// Page 7: the "Sound" check box, ticked when the sound is on, and "Ok". When the check box
// cannot be made the page stops there and SoundPageShown stays false.
void BuildSoundPage();
// The fallback for paragraph 7.
void BuildHintsPage();
// The fallback for paragraph 6: the reader's character (the last TextChoice variable with a
// value list named exactly "Character"), then a button for every other held variable, with
// its current text where it has a list of texts.
void BuildInventoryPage();
// Visits, aside, the description paragraph of the variable whose inventory button has this
// id; an id of no button does nothing.
void SelectInventoryItem(int32_t id);

}  // namespace shell
