// The book's text store read back: assembles a paragraph's markup text from the word chunks.
#pragma once

#include <cstdint>

namespace book {

inline constexpr int ParagraphTextSize = 6420;  // 6419 characters and the terminator

extern char ParagraphText[ParagraphTextSize];

// Writes paragraph n's words, each followed by one blank, into text (ParagraphTextSize
// bytes). A paragraph without text is reported and leaves text as it was; a text that
// would not fit is cut at the limit and reported once per word beyond it.
void AssembleParagraph(int16_t n, char* text);

}  // namespace book
