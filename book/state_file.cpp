// The reading-state record and file: loading it at start-up, saving it at the end of the
// run, and the live sound setting kept in it. The file stays open (and locked against a
// second reader) in between. Called by the shell's start-up; the sound command and the
// sound page read and change SoundOn.
#include "book/state_file.h"

#include <cstring>

#include "book/tables.h"

namespace book {

ReadingStateRecord ReadingState = {};
plat::FileId StateFile = 0;

namespace {

constexpr char16_t Extension[] = u".dat";
constexpr int32_t LengthProbeSize = 512;

static_assert(VariableStatesOffset + VariableCount * VariableSlotSize == SnapshotStatesOffset);
static_assert(SnapshotStatesOffset + SlotCount * SnapshotBytes == SnapshotSavedOffset);
static_assert(SnapshotSavedOffset + SlotCount + 1 == ReadingStateSize, "one byte of padding ends the record");
static_assert(sizeof SnapshotStates == static_cast<size_t>(SlotCount * SnapshotBytes));

int32_t Read16(int offset) {
    return static_cast<int16_t>(ReadingState.bytes[offset] | ReadingState.bytes[offset + 1] << 8);
}

void Write16(int offset, int32_t value) {
    ReadingState.bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    ReadingState.bytes[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

int32_t Read32(int offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | ReadingState.bytes[offset + i];
    return static_cast<int32_t>(value);
}

void Write32(int offset, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) ReadingState.bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint8_t* VariableState(int v) {
    return ReadingState.bytes + VariableStatesOffset + v * VariableSlotSize + VariableStateInSlot;
}

// Takes the story variables, the snapshot blocks and the saved flags from the record.
void ApplyStory() {
    for (int v = 0; v < VariableCount; ++v) {
        StoryVariableTable[v].state[0] = VariableState(v)[0];
        StoryVariableTable[v].state[1] = VariableState(v)[1];
    }
    std::memcpy(SnapshotStates, ReadingState.bytes + SnapshotStatesOffset, sizeof SnapshotStates);
    for (int s = 0; s < SlotCount; ++s) {
        SnapshotSlot[s].saved = static_cast<int8_t>(ReadingState.bytes[SnapshotSavedOffset + s]);
    }
}

// Puts the story state into the record; the other bytes of each variable slot and the
// padding keep what was read.
void CollectStory(int16_t storyParagraph) {
    Write16(ParagraphOffset, storyParagraph);
    std::memset(ReadingState.bytes + ReservedOffset, 0, VersionOffset - ReservedOffset);
    Write32(VersionOffset, StateVersion);
    for (int v = 0; v < VariableCount; ++v) {
        VariableState(v)[0] = StoryVariableTable[v].state[0];
        VariableState(v)[1] = StoryVariableTable[v].state[1];
    }
    std::memcpy(ReadingState.bytes + SnapshotStatesOffset, SnapshotStates, sizeof SnapshotStates);
    for (int s = 0; s < SlotCount; ++s) {
        ReadingState.bytes[SnapshotSavedOffset + s] = static_cast<uint8_t>(SnapshotSlot[s].saved);
    }
}

// Counts the file's bytes, up to the record's size, reading from its start.
int32_t FileLength() {
    if (!plat::SeekToStart(StateFile)) return 0;
    uint8_t probe[LengthProbeSize];
    int32_t length = 0;
    while (length < ReadingStateSize) {
        const int32_t wanted = ReadingStateSize - length < LengthProbeSize ? ReadingStateSize - length : LengthProbeSize;
        const int32_t got = plat::ReadFile(StateFile, probe, wanted);
        if (got <= 0) break;
        length += got;
    }
    return length;
}

}  // namespace

int8_t SoundOn() {
    return static_cast<int8_t>(ReadingState.bytes[SoundOnOffset]);
}

void SetSoundOn(int8_t on) {
    ReadingState.bytes[SoundOnOffset] = static_cast<uint8_t>(on);
}

bool BuildStateFileName(const char16_t* className, char16_t* name) {
    int n = 0;
    for (const char16_t* c = className; c != nullptr && *c != 0; ++c) {
        if (n == StateFileNameSize - 1) return false;
        name[n++] = *c;
    }
    for (const char16_t* c = Extension; *c != 0; ++c) {
        if (n == StateFileNameSize - 1) return false;
        name[n++] = *c;
    }
    name[n] = 0;
    return true;
}

int16_t LoadReadingState(const char16_t* className) {
    char16_t name[StateFileNameSize];
    if (!BuildStateFileName(className, name)) return 0;
    const bool exists = plat::FileExists(name);
    const plat::FileId file = plat::OpenExclusive(name, !exists);
    if (file == 0) return 0;
    StateFile = file;

    std::memset(ReadingState.bytes, 0, sizeof ReadingState.bytes);
    if (!exists) {
        // Nothing is written yet: a new file stays empty until the run ends.
        SetSoundOn(1);
        return FirstStoryParagraph;
    }
    // A short file applies nothing, but the bytes it has stay in the record (the sound
    // setting among them).
    if (plat::ReadFile(StateFile, ReadingState.bytes, ReadingStateSize) < ReadingStateSize) return FirstStoryParagraph;
    if (Read32(VersionOffset) != StateVersion) return FirstStoryParagraph;
    ApplyStory();
    const int32_t paragraph = Read16(ParagraphOffset);
    return paragraph < 1 || paragraph > ParagraphCount ? FirstStoryParagraph : static_cast<int16_t>(paragraph);
}

void SaveReadingState(int16_t storyParagraph) {
    if (StateFile == 0) return;
    CollectStory(storyParagraph);
    // Growing a short file is the write that can fail for want of room; doing it first,
    // beyond the old bytes, keeps a failure from tearing the record that is there.
    const int32_t length = FileLength();
    const bool grown = length == ReadingStateSize ||
                       plat::WriteFile(StateFile, ReadingState.bytes + length, ReadingStateSize - length);
    if (grown && plat::SeekToStart(StateFile)) plat::WriteFile(StateFile, ReadingState.bytes, ReadingStateSize);
    plat::CloseFile(StateFile);
    StateFile = 0;
}

}  // namespace book
