// play: automated readings of the book through the real reader on the headless device.
// Reading i uses seed i, so every finding repeats. Called by mwtool's main.
#pragma once

#include <cstdio>

#include "tools/mwtool/book_model.h"

namespace mwtool {

struct PlayOptions {
    long runs = 1000;
    long steps = 500;        // a reading that takes this many steps without an ending is endless
    bool uniform = false;    // choose uniformly, not the least-used way on first
    int detourPercent = 5;   // share of steps that use the menu (or, aside, the back button)
    long replay = -1;        // print the path of this reading
    bool hits = false;       // print every hit count
    bool draft = false;      // the book is still being written: a reading stops where the text stops
};

// Plays the readings and prints the report; false when a data fault or a dead end was found.
bool Play(const SourceBook& book, const PlayOptions& options, std::FILE* out);

}  // namespace mwtool
