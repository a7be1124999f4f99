// Lays the paragraphs' words out in the eight word chunks: which chunk holds a paragraph,
// its word range, and each chunk's offsets and pool. Used by bookc before it writes the
// tables, and by tools that report how full the chunks are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/tables.h"
#include "tools/bookc/source.h"

namespace bookc {

inline constexpr int PoolWordStartLimit = 65536;  // offsets are 16 bits wide

struct Chunk {
    std::vector<uint16_t> offsets;  // one per word occurrence
    std::string pool;               // the distinct words, each zero-terminated, in first-use order
    int paragraphs = 0;
};

struct ChunkLayout {
    book::ParagraphEntry index[book::ParagraphCount];
    Chunk chunks[book::ChunkCount];
};

// Assigns the paragraphs with words, in writing order, to consecutive chunks of about equal
// word counts, moving on early where a pool would pass its 64 KiB. Paragraphs without words
// get chunk 0 and the empty range 0..0; paragraphs not written get chunk -1. Returns false,
// with an error at the paragraph that does not fit, when the last chunk's pool overflows.
bool LayOutChunks(const Book& book, ChunkLayout& layout, Diagnostics& diagnostics);

}  // namespace bookc
