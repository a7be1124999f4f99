// Hotwords: the page's choices. The hotword commands fill HotwordTable while the page is
// built and create each hotword's control; ActivateHotword, called by the shell's command
// handling when a button is tapped or an edit box confirmed, applies it and leads on.
#pragma once

#include <cstdint>

#include "markup/scanner.h"

namespace markup {

inline constexpr int HotwordCapacity = 100;
inline constexpr int AnswerSize = 20;  // 19 characters and the terminator
// A caption or an answer can be as long as the rest of its command.
inline constexpr int HotwordTextSize = CommandBufferSize + 1;

struct HotwordEntry {
    char kind;          // the command letter; R for both R and r
    int16_t variable;   // N, Q, R: the variable; u: the snapshot slot
    int32_t value;      // R: the value to store; L, d: the first chance
    int8_t chance2;     // d: first plus second chance, 0 when absent
    int8_t chance3;     // d: first plus second plus third chance, 0 when absent
    char answer1[AnswerSize];
    char answer2[AnswerSize];
    char answer3[AnswerSize];
    int16_t controlId;  // 5000 + n for a button, 4000 + n for an edit box, 0 for none
    int16_t target;     // every target is a paragraph number minus one
    int16_t elseTarget;
    int16_t target2;
    int16_t target3;
};

extern HotwordEntry HotwordTable[HotwordCapacity];
extern int16_t HotwordCount;
extern char CaptionBuffer[HotwordTextSize];
extern char AnswerBuffer[HotwordTextSize];

// The entry the current command fills; a spare record when the table is full, so that a
// command beyond the hundredth hotword never writes past the table.
HotwordEntry& PendingHotword();

// Reads a caption at CommandPosition (just after its opening quote when quoted; otherwise
// "$n" for picture n or "%v" for variable v's current value), creates its button and
// reads the target. Any other unquoted form, or a full table, makes no control.
void ParseHotwordCaption(bool quoted);
// Reads a chance hotword (L, d) from just after the caption's opening quote: the caption,
// up to three chances with their targets, then the else target; makes a text button.
void ParseChanceHotword();
// Reads an answer hotword (S) from just after the first "(": up to three answers with
// their targets, then the else target; makes an edit box as wide as the longest answer.
// Answers keep their first 19 characters; a longer one shows "Answer too long" once.
void ParseAnswerHotword();
// Applies the hotword whose control has this id (typedText: an edit box's text, or null)
// and goes to its paragraph. An unknown id, or 0, does nothing.
void ActivateHotword(int16_t controlId, const char* typedText);

// Returns a non-negative pseudo-random number; the first call of a run seeds the
// generator from the tick count divided by 60.
int32_t RandomNumber();
// Returns 0 when the texts are equal apart from blanks and the case of a-z, nonzero
// otherwise (also when either is null).
int CompareLoosely(const char* a, const char* b);

}  // namespace markup
