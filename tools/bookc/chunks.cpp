// Word chunk layout: balances paragraphs over the eight dictionaries in writing order and
// builds each chunk's pool and offsets. Called by bookc through LayOutChunks.
#include "tools/bookc/chunks.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace bookc {

namespace {

// The words of one chunk being filled: pool start of every distinct word.
struct Dictionary {
    std::unordered_map<std::string_view, uint16_t> starts;
    size_t poolSize = 0;
};

// Tells whether every new word of the paragraph would start inside the pool's 64 KiB.
bool Fits(const Dictionary& dictionary, const Paragraph& paragraph) {
    std::unordered_set<std::string_view> added;
    size_t end = dictionary.poolSize;
    for (const Word& word : paragraph.words) {
        if (dictionary.starts.contains(word.text) || added.contains(word.text)) continue;
        if (end >= PoolWordStartLimit) return false;
        added.insert(word.text);
        end += word.text.size() + 1;
    }
    return true;
}

}  // namespace

bool LayOutChunks(const Book& book, ChunkLayout& layout, Diagnostics& diagnostics) {
    for (auto& entry : layout.index) entry = {-1, 0, 0};
    for (auto& chunk : layout.chunks) chunk = {};

    long long total = 0;
    for (const Paragraph& paragraph : book.paragraphs)
        total += static_cast<long long>(paragraph.words.size());

    Dictionary dictionaries[book::ChunkCount];
    int c = 0;
    long long before = 0;  // words placed in chunks before this paragraph
    for (const Paragraph& paragraph : book.paragraphs) {
        book::ParagraphEntry& entry = layout.index[paragraph.number - 1];
        if (paragraph.words.empty()) {
            entry = {0, 0, 0};
            continue;
        }
        // Chunk c ends around (c + 1) / 8 of all words: a paragraph goes to the next chunk
        // when more than half of it would lie beyond that mark.
        auto size = static_cast<long long>(paragraph.words.size());
        while (c < book::ChunkCount - 1 && layout.chunks[c].paragraphs > 0 &&
               (before + size / 2) * book::ChunkCount > total * (c + 1))
            ++c;
        while (!Fits(dictionaries[c], paragraph)) {
            if (c == book::ChunkCount - 1 || layout.chunks[c].paragraphs == 0) {
                diagnostics.Error(book, paragraph.header,
                                  "the word chunks are full: the distinct words of paragraph " +
                                      std::to_string(paragraph.number) +
                                      " do not start within the 64 KiB of a chunk's pool");
                return false;
            }
            ++c;
        }
        Chunk& chunk = layout.chunks[c];
        Dictionary& dictionary = dictionaries[c];
        entry.chunk = static_cast<int16_t>(c);
        entry.firstWord = static_cast<int32_t>(chunk.offsets.size());
        for (const Word& word : paragraph.words) {
            auto [it, isNew] =
                dictionary.starts.try_emplace(word.text, static_cast<uint16_t>(chunk.pool.size()));
            if (isNew) {
                chunk.pool += word.text;
                chunk.pool += '\0';
            }
            chunk.offsets.push_back(it->second);
        }
        dictionary.poolSize = chunk.pool.size();
        entry.endWord = static_cast<int32_t>(chunk.offsets.size());
        ++chunk.paragraphs;
        before += size;
    }
    return true;
}

}  // namespace bookc
