// graph: the book's paragraph graph as Graphviz DOT, chapters as clusters, endings marked,
// edges by kind; rendered to SVG or PNG by Graphviz's dot. Called by mwtool's main.
#pragma once

#include <string>

#include "tools/mwtool/book_model.h"

namespace mwtool {

struct GraphOptions {
    std::string chapter;  // only this chapter and the paragraphs it meets; empty for all
    std::string out;      // the DOT file; empty for standard output (unless rendering)
    std::string svg;      // render to this SVG file
    std::string png;      // render to this PNG file
};

// Writes the graph as the options say; false (with a message) for an unknown chapter or a
// file that cannot be written or rendered.
bool Graph(const SourceBook& book, const GraphOptions& options);

// Returns the DOT text of the whole book, or of one chapter (by index) and its neighbours.
std::string GraphDot(const SourceBook& book, int chapter);

}  // namespace mwtool
