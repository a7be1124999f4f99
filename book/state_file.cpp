// The reading-state record and the live sound setting kept in it. Loading and saving the
// state file join this file later; until then the record starts zeroed (sound off).
#include "book/state_file.h"

namespace book {

ReadingStateRecord ReadingState = {};

namespace {
constexpr int SoundOnOffset = 2;
}

int8_t SoundOn() {
    return static_cast<int8_t>(ReadingState.bytes[SoundOnOffset]);
}

void SetSoundOn(int8_t on) {
    ReadingState.bytes[SoundOnOffset] = static_cast<uint8_t>(on);
}

}  // namespace book
