// lint: static checks of a book's source against the rules of the reader's markup and the
// book's own rules, each finding at its file, line and column. Called by mwtool's main.
#pragma once

#include <cstdio>

#include "tools/mwtool/book_model.h"
#include "tools/mwtool/findings.h"

namespace mwtool {

struct LintOptions {
    // A book still being written: targets to paragraphs not yet written, pictures and
    // sounds not yet made, and what follows from variables nothing sets yet are warnings.
    bool draft = false;
};

// Checks the book and adds every error and warning to findings. Measures titles and button
// captions with the reader's fonts, so the reader (reader::Open) must be open.
void Lint(const SourceBook& book, const LintOptions& options, Findings& findings);

// Prints the facts of the book: table sizes, text, endings, the variable mix, restart
// points, sounds and pictures.
void PrintFacts(const SourceBook& book, std::FILE* out);

}  // namespace mwtool
