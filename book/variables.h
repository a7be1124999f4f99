// Story variables and snapshots: value access through the two views of a variable's state,
// clamping, and the nine restart points. Used by the commands, conditions, hotwords, the
// inventory page and the state file. Variable and slot numbers outside the tables are
// ignored (reads give 0, null or -1, writes do nothing), so bad data never reaches outside.
#pragma once

#include <cstdint>

namespace book {

// Returns the variable's VariableKind, or -1 for a number outside the table.
int KindOf(int v);
// Returns the signed 16-bit number of a NumberValue variable, the list index (0..255) of
// any other kind.
int32_t VariableValue(int v);
// Stores x without clamping: its low 16 bits as the number of a NumberValue variable, its
// low 8 bits as the index of any other kind.
void SetVariableValue(int v, int32_t x);
// Returns x limited to upperBound - 1, then raised to lowerBound; the lower bound wins when
// the two cross, so a plain item always clamps to 0.
int32_t ClampValue(int v, int32_t x);
// Returns the first state byte, signed: 1 when the item is held. For a NumberValue variable
// it is the low byte of the number.
int8_t HeldByte(int v);
// Replaces the first state byte, whatever the kind (for a number: its low byte).
void SetHeld(int v, int8_t held);
// Returns the current text of a TextChoice variable with a list, or null when the variable
// has no list or its index lies outside it (a damaged state file).
const char* CurrentText(int v);
// Returns the current picture number of a PictureChoice variable, or -1 when it has no
// list or its index lies outside it.
int CurrentPicture(int v);

// Marks the slot saved with paragraph (a paragraph number) to return to, and copies both
// state bytes of every variable into the slot's block.
void SaveSnapshot(int slot, int16_t paragraph);
// Copies the slot's block back into the state of every variable; does not look at saved and
// does not navigate.
void RestoreSnapshot(int slot);
// Returns whether the slot holds a snapshot (false for a slot outside 0..8).
bool SlotSaved(int slot);
// Returns the slot's paragraph, stored minus one, or -1 for a slot outside 0..8.
int16_t SlotParagraph(int slot);
// Sets both state bytes of every variable to 0, even where 0 lies outside the bounds.
void ResetStoryVariables();
// Clears saved on every slot; paragraphs, labels and saved states stay.
void ClearSnapshotFlags();

}  // namespace book
