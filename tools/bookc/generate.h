// Writes the C++ unit that defines a book's tables (book/tables.h) from the read book and
// its chunk layout. Called by bookc's main.
#pragma once

#include <string>

#include "tools/bookc/chunks.h"
#include "tools/bookc/source.h"

namespace bookc {

// Returns the whole generated unit; origin names the book folder in its opening comment.
// Entries the book left undefined (fixture books only) are padded to the fixed shape.
std::string GenerateTables(const Book& book, const ChunkLayout& layout, const std::string& origin);

}  // namespace bookc
