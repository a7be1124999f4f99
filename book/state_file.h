// The reading-state file: the 6844-byte record that keeps the reader's place, the story
// variables, the snapshots and the sound setting from one run to the next.
#pragma once

#include <cstdint>

namespace book {

inline constexpr int32_t StateVersion = 203;
inline constexpr int ReadingStateSize = 6844;

// The record exactly as it lies in the file (little-endian fields are read and written
// byte by byte, so the layout does not depend on the host).
struct ReadingStateRecord {
    uint8_t bytes[ReadingStateSize];
};

extern ReadingStateRecord ReadingState;

// The live sound setting (byte 2 of the record).
int8_t SoundOn();
void SetSoundOn(int8_t on);

}  // namespace book
