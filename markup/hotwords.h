// Hotwords: the page's choices. The hotword commands fill HotwordTable while the page is
// built; ActivateHotword applies a tapped or answered hotword and leads on.
#pragma once

#include <cstdint>

namespace markup {

inline constexpr int HotwordCapacity = 100;
inline constexpr int AnswerSize = 20;  // 19 characters and the terminator

struct HotwordEntry {
    char kind;
    int16_t variable;
    int32_t value;
    int8_t chance2;
    int8_t chance3;
    char answer1[AnswerSize];
    char answer2[AnswerSize];
    char answer3[AnswerSize];
    int16_t controlId;
    int16_t target;
    int16_t elseTarget;
    int16_t target2;
    int16_t target3;
};

extern HotwordEntry HotwordTable[HotwordCapacity];
extern int16_t HotwordCount;

// The entry the current command fills; a spare record when the table is full, so that a
// command beyond the hundredth hotword never writes past the table.
HotwordEntry& PendingHotword();

void ParseHotwordCaption(bool quoted);
void ParseChanceHotword();
void ParseAnswerHotword();
void ActivateHotword(int16_t controlId, const char* typedText);

// A non-negative pseudo-random number of at least 15 bits; seeds the generator from the
// tick count at the first call.
int32_t RandomNumber();
// 0 when the texts are equal apart from blanks and the case of a-z; nonzero otherwise.
int CompareLoosely(const char* a, const char* b);

}  // namespace markup
