// explore: a breadth-first walk over every distinct reading state reachable from paragraph
// 2, through the real reader, forking at every hotword, every outcome of a draw and every
// accepted, wrong or empty answer. Called by mwtool's main.
#pragma once

#include <cstdio>

#include "tools/mwtool/book_model.h"

namespace mwtool {

struct ExploreOptions {
    long budget = 2000000;   // the most states to explore
    bool menu = true;        // visit the menu's paragraphs (3 to 7) from every story state
    bool fullPaths = false;  // print each shortest path to an ending step by step
    bool draft = false;      // the book is still being written: a reading stops where the text stops
};

// Explores and prints the report; false when a data fault, a dead end or a state from which
// no ending can be reached was found.
bool Explore(const SourceBook& book, const ExploreOptions& options, std::FILE* out);

}  // namespace mwtool
