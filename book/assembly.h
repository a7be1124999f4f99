// The book's text store read back: assembles a paragraph's markup text from the word chunks.
// Called by the page rebuild; the text then goes to the markup scanner.
#pragma once

#include <cstdint>

namespace book {

inline constexpr int ParagraphTextSize = 6420;  // 6419 characters and the terminator

extern char ParagraphText[ParagraphTextSize];

// Writes paragraph n's words, each followed by one blank, into text (ParagraphTextSize
// bytes). A paragraph without text, or a number outside 1..ParagraphCount, is reported
// ("Paragraph %d does not exist") and leaves text as it was. A text that would not fit is
// cut at 6419 characters and "%d is Too many words" (the word count) is shown for the word
// that reaches the limit and for every word after it.
void AssembleParagraph(int16_t n, char* text);

}  // namespace book
