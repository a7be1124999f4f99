// Story variables and snapshots: value access through the two views of a variable's state,
// clamping, and the restart points. Variable and slot numbers outside the tables are
// ignored (reads give 0), so bad data never reaches outside them.
#pragma once

#include <cstdint>

namespace book {

int32_t VariableValue(int v);
void SetVariableValue(int v, int32_t x);
int32_t ClampValue(int v, int32_t x);
int8_t HeldByte(int v);
void SetHeld(int v, int8_t held);
// The current text of a TextChoice variable with a list, or null.
const char* CurrentText(int v);
// The current picture number of a PictureChoice variable, or -1.
int CurrentPicture(int v);

void SaveSnapshot(int slot);
void RestoreSnapshot(int slot);
void ResetStoryVariables();
void ClearSnapshotFlags();

}  // namespace book
