// stats: the size of the book: words and characters per paragraph, per chapter and in all,
// the longest paragraph, word and command, and the hotwords a page can show. Called by
// mwtool's main.
#pragma once

#include <cstdio>

#include "tools/mwtool/book_model.h"

namespace mwtool {

// Prints the statistics; everyParagraph adds a line per paragraph.
void PrintStats(const SourceBook& book, bool everyParagraph, std::FILE* out);

}  // namespace mwtool
