// The draw recorder: a fixed ring of the text draws, bitmap draws and rectangle inversions
// made on the screen, so tests can assert on what a paint drew where. The headless device
// offers it to tests (platform/headless/headless.h); it listens to the drawing's observer.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat::record {

inline constexpr int32_t RecordCapacity = 2048;
inline constexpr int32_t RecordTextSize = 120;  // characters kept of a drawn text, terminator included

enum class Kind : uint8_t { Text, Bitmap, Invert };

struct Record {
    Kind kind;
    Rect rect;           // screen coordinates: the text's rectangle, the placed bitmap, the inverted area
    uint32_t flags;      // Text: the TextFlags
    FontId font;         // Text: the font it was drawn in
    int32_t resourceId;  // Bitmap: the bitmap resource id
    int32_t length;      // Text: the characters drawn (text keeps the first RecordTextSize - 1)
    char16_t text[RecordTextSize];
};

// Empties the ring and starts recording (replacing any other draw observer).
void Start();
// Stops recording; what was recorded stays readable.
void Stop();
void Clear();
// The records kept, oldest first; when more than RecordCapacity were made, the oldest are
// overwritten and Dropped counts them.
int32_t Count();
// An index outside 0..Count() - 1 gives an empty record.
const Record& At(int32_t index);
int32_t Dropped();

}  // namespace plat::record
