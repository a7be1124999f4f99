// The shape of a book's constant tables: the paragraph index and word chunks, the story
// variables and snapshot slots, the book facts and the media tables. The book compiler
// generates one unit that defines all of them; the engine reads them through this header.
#pragma once

#include <cstdint>

namespace book {

// Capacities fixed by the book's shape. The state file and every table of the engine
// are sized by them, so every book (fixture books included) has exactly these counts.
inline constexpr int ParagraphCount = 713;
inline constexpr int ChunkCount = 8;
inline constexpr int VariableCount = 179;
inline constexpr int SlotCount = 9;
inline constexpr int SnapshotBytes = 2 * VariableCount;  // 358
inline constexpr int SoundCount = 39;
inline constexpr int PictureCount = 165;

// Where the story begins: a new reader starts there, and so does "Start at the Beginning".
inline constexpr int16_t FirstStoryParagraph = 2;

// One paragraph: chunk -1 means the store holds no text for it; firstWord == endWord is
// an empty paragraph.
struct ParagraphEntry {
    int16_t chunk;
    int32_t firstWord;
    int32_t endWord;
};

// A word dictionary: word i of the chunk is the zero-terminated string at pool + offsets[i].
struct WordChunk {
    const uint16_t* offsets;
    const char* pool;
};

enum VariableKind : int8_t { TextChoice = 0, NumberValue = 1, PictureChoice = 2 };

// A story variable. state is the only field that changes while the reader runs; its two
// views (held/index, or a little-endian number) are read through book/variables.h.
// values points to upperBound narrow texts (TextChoice) or upperBound picture numbers
// (PictureChoice), or is null.
struct StoryVariable {
    const char* name;
    int8_t kind;
    uint8_t state[2];
    int16_t upperBound;
    int16_t lowerBound;
    int16_t descriptionParagraph;  // paragraph number minus one
    const void* values;
};

struct SnapshotSlotRecord {
    const char* label;
    int8_t saved;
    int16_t paragraph;  // paragraph number minus one
};

struct BookInfoRecord {
    const char* title;
    const char* copyrightHolder;
    const char* language;
    const char* author;
    int16_t logoPicture;
    const char* extraLine;
    int16_t titlePicture;
    const char* webAddress;
    const char* contactAddress;
    const char* supportAddress;
};

struct PictureEntry {
    int16_t bitmapId;
    int16_t width;   // nominal, not read by the reader
    int16_t height;  // nominal, not read by the reader
};

// Defined by the generated unit of the book that is linked in.
extern const ParagraphEntry ParagraphIndex[ParagraphCount];
extern const WordChunk WordChunks[ChunkCount];
extern StoryVariable StoryVariableTable[VariableCount];
extern SnapshotSlotRecord SnapshotSlot[SlotCount];
extern uint8_t SnapshotStates[SlotCount][SnapshotBytes];
extern const BookInfoRecord BookInfo;
extern const char16_t* const SoundTable[SoundCount];
extern const PictureEntry PictureTable[PictureCount];

}  // namespace book
