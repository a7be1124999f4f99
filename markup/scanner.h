// The markup scanner: walks a paragraph's text once, hands plain text to the display list,
// collects commands for RunCommand and shows or passes over conditional blocks. It owns the
// buffers that the commands read their arguments from. Called by the page rebuild.
#pragma once

#include <cstdint>

namespace markup {

inline constexpr int WordBufferSize = 300;     // characters, plus the terminator
inline constexpr int CommandBufferSize = 400;  // characters, plus the terminator
inline constexpr int FlushThreshold = 150;     // a run longer than this is handed on at a blank

enum class ScanState : uint8_t { BeforeText, InText, InCommand, AwaitBlock, SkipBlock };

extern ScanState State;
extern int16_t ScanPosition;
extern char WordBuffer[WordBufferSize + 1];
extern int16_t WordLength;
extern char CommandBuffer[CommandBufferSize + 1];
extern int16_t CommandPosition;
extern bool TitleMode;
extern bool ConditionalCommand;
extern uint8_t CommandResult;
extern uint8_t LastCondition;
extern int16_t SkipCount;

// Scans the zero-terminated text to its end. Resets the hotword count, LastCondition,
// the word buffer, the position and the state first; TitleMode, SkipCount and
// CommandResult carry over from the previous scan. Characters beyond a full word or
// command buffer are dropped after one message; a skip past the end ends the scan.
void MarkupScanner(const char* text);

// Hands the word buffer to the display list when it holds anything; empties it always.
void FlushText();
// Hands the word buffer on when it holds more than FlushThreshold characters.
void FlushIfLong();
// Appends the word buffer as the page title and empties it.
void EmitTitle();
// Appends text to the word buffer (title text, shown values), never beyond its size;
// shows "%d is Too many letters in word" when the buffer reaches its limit.
void AppendToWordBuffer(const char* text);

// Advances CommandPosition past the next c in the command, or to the command's end.
void SkipPast(char c);
// Reads a signed decimal number at CommandPosition ("-5" and "5-" both give -5, no digits
// give 0; longer numbers wrap as 16-bit values) and leaves the position on the first
// character that is not part of it.
int16_t ParseNumber();
// The character at CommandPosition, or 0 at the end of the command; never reads past it.
char CommandChar();
// Passes over the character at CommandPosition when it is c; returns whether it did.
bool SkipChar(char c);

}  // namespace markup
