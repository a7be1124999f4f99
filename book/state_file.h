// The reading-state file: the 6844-byte record that keeps the reader's place, the story
// variables, the snapshots and the sound setting from one run to the next. Start-up loads
// it (and keeps the file open and locked for the whole run); the end of the run saves it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace book {

inline constexpr int32_t StateVersion = 203;
inline constexpr int ReadingStateSize = 6844;
inline constexpr int StateFileNameSize = 200;  // characters, terminator included

// Where the fields lie in the record; every multi-byte field is little-endian.
inline constexpr int ParagraphOffset = 0;         // 16-bit signed
inline constexpr int SoundOnOffset = 2;           // 8-bit signed
inline constexpr int ReservedOffset = 3;          // 25 bytes written as zero
inline constexpr int VersionOffset = 28;          // 32-bit signed
inline constexpr int VariableStatesOffset = 32;   // one slot per story variable
inline constexpr int VariableSlotSize = 20;
inline constexpr int VariableStateInSlot = 6;     // the two state bytes of the variable
inline constexpr int SnapshotStatesOffset = 3612; // the nine snapshot blocks
inline constexpr int SnapshotSavedOffset = 6834;  // one saved flag per snapshot slot

// The record exactly as it lies in the file (fields are read and written byte by byte,
// so the layout does not depend on the host).
struct ReadingStateRecord {
    uint8_t bytes[ReadingStateSize];
};

extern ReadingStateRecord ReadingState;
// The open state file, held from LoadReadingState to SaveReadingState; 0 when none.
extern plat::FileId StateFile;

// The live sound setting (byte 2 of the record).
int8_t SoundOn();
void SetSoundOn(int8_t on);

// Writes className followed by ".dat" into name (StateFileNameSize characters); false
// when it does not fit.
bool BuildStateFileName(const char16_t* className, char16_t* name);

// Opens the state file of that class name for this reader alone (creating it when there
// is none) and applies it: the story variables, snapshots and saved flags of a complete
// record of this version, and the sound setting. Returns the paragraph to start at
// (1..713; 2 for a new file, a short file, another version or a paragraph out of range),
// or 0 when the file cannot be opened, in practice because another reader holds it;
// nothing is read then.
int16_t LoadReadingState(const char16_t* className);

// Writes the whole record, with storyParagraph as the paragraph to resume at, over the
// open file from its start, and closes it. A file shorter than the record is first made
// long enough at its end, so a write that fails leaves its old bytes as they were. The
// outcome is not reported; without an open file nothing happens.
void SaveReadingState(int16_t storyParagraph);

}  // namespace book
