// Paragraph assembly: joins a paragraph's words from its word chunk into ParagraphText.
// Called by the page rebuild before the markup scanner walks the text.
#include "book/assembly.h"

#include <cstdio>

#include "book/tables.h"
#include "page/display_list.h"

namespace book {

char ParagraphText[ParagraphTextSize] = {};

namespace {
constexpr int MessageSize = 40;
}

void AssembleParagraph(int16_t n, char* text) {
    char message[MessageSize];
    if (n < 1 || n > ParagraphCount || ParagraphIndex[n - 1].chunk < 0 ||
        ParagraphIndex[n - 1].chunk >= ChunkCount) {
        std::snprintf(message, sizeof message, "Paragraph %d does not exist", n);
        page::ShowErrorMessage(message);
        return;
    }
    const ParagraphEntry& entry = ParagraphIndex[n - 1];
    const WordChunk& chunk = WordChunks[entry.chunk];
    constexpr int32_t Limit = ParagraphTextSize - 1;  // room for the terminator

    // reached counts what the text would hold uncut, so every word past the limit is
    // reported while at most Limit characters are stored.
    int32_t length = 0;
    int32_t reached = 0;
    for (int32_t i = entry.firstWord; i < entry.endWord; ++i) {
        for (const char* w = chunk.pool + chunk.offsets[i]; *w != '\0'; ++w, ++reached) {
            if (length < Limit) text[length++] = *w;
        }
        if (length < Limit) text[length++] = ' ';
        ++reached;
        if (reached >= ParagraphTextSize) {
            std::snprintf(message, sizeof message, "%d is Too many words",
                          static_cast<int>(entry.endWord - entry.firstWord));
            page::ShowErrorMessage(message);
        }
    }
    text[length] = '\0';
}

}  // namespace book
