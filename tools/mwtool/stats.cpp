// stats: counts over the book model.
#include "tools/mwtool/stats.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace mwtool {
namespace {

// Counts the words of prose: the text outside commands that a reader reads.
size_t ProseWords(const std::string& text) {
    size_t words = 0;
    bool inCommand = false;
    bool inWord = false;
    for (char c : text) {
        if (c == '<') inCommand = true;
        bool letter = !inCommand && c != ' ' && c != '{' && c != '}' && c != '>';
        if (letter && !inWord) ++words;
        inWord = letter;
        if (c == '>') inCommand = false;
    }
    return words;
}

struct Totals {
    int paragraphs = 0;
    size_t words = 0;  // as stored
    size_t prose = 0;
    size_t characters = 0;
};

void Add(Totals& t, const ParagraphModel& p) {
    ++t.paragraphs;
    t.words += p.source->words.size();
    t.prose += ProseWords(p.text);
    t.characters += p.text.size();
}

void PrintTotals(std::FILE* out, const char* name, const Totals& t) {
    std::fprintf(out, "  %-20s %5d paragraphs %8zu words %8zu words of prose %9zu characters\n", name, t.paragraphs, t.words, t.prose, t.characters);
}

}  // namespace

void PrintStats(const SourceBook& b, bool everyParagraph, std::FILE* out) {
    std::vector<Totals> chapters(b.chapters.size());
    Totals all;
    const ParagraphModel* longest = nullptr;
    std::string longestWord;
    bookc::Location longestWordAt;
    const Command* longestCommand = nullptr;
    const ParagraphModel* longestCommandIn = nullptr;
    std::map<int, int> hotwordPages;  // most hotwords on a page -> paragraphs
    int mostHotwords = -1;
    const ParagraphModel* mostHotwordsIn = nullptr;

    if (everyParagraph) std::fprintf(out, "paragraph  chapter              words  prose  characters  hotwords\n");
    for (const ParagraphModel& p : b.paragraphs) {
        if (p.text.empty()) continue;
        Add(all, p);
        Add(chapters[static_cast<size_t>(p.chapter)], p);
        if (longest == nullptr || p.text.size() > longest->text.size()) longest = &p;
        for (const bookc::Word& w : p.source->words) {
            if (w.text.size() > longestWord.size()) {
                longestWord = w.text;
                longestWordAt = w.where;
            }
        }
        for (const Command& c : p.commands) {
            if (longestCommand == nullptr || c.text.size() > longestCommand->text.size()) {
                longestCommand = &c;
                longestCommandIn = &p;
            }
        }
        const int hotwords = MostHotwordsOnPage(p);
        ++hotwordPages[hotwords];
        if (hotwords > mostHotwords) {
            mostHotwords = hotwords;
            mostHotwordsIn = &p;
        }
        if (everyParagraph)
            std::fprintf(out, "%9d  %-18s %7zu %6zu %11zu %9d\n", p.number, b.chapters[static_cast<size_t>(p.chapter)].c_str(), p.source->words.size(),
                         ProseWords(p.text), p.text.size(), hotwords);
    }

    std::fprintf(out, "chapters:\n");
    for (size_t c = 0; c < chapters.size(); ++c) PrintTotals(out, b.chapters[c].c_str(), chapters[c]);
    std::fprintf(out, "book:\n");
    PrintTotals(out, "all", all);
    if (longest != nullptr)
        std::fprintf(out, "longest paragraph: %d, %zu characters, %zu words (%s)\n", longest->number, longest->text.size(), longest->source->words.size(),
                     b.Where(longest->source->header).c_str());
    if (!longestWord.empty())
        std::fprintf(out, "longest word: %zu characters, \"%s\" (%s)\n", longestWord.size(), longestWord.c_str(), b.Where(longestWordAt).c_str());
    if (longestCommand != nullptr)
        std::fprintf(out, "longest command: %zu characters, <%s> (%s)\n", longestCommand->text.size(), longestCommand->text.c_str(),
                     b.Where(longestCommandIn->At(longestCommand->offset)).c_str());
    std::fprintf(out, "hotwords a page can show:");
    for (const auto& [count, pages] : hotwordPages) std::fprintf(out, " %d on %d %s;", count, pages, pages == 1 ? "page" : "pages");
    std::fprintf(out, "\n");
    if (mostHotwordsIn != nullptr) std::fprintf(out, "most hotwords: %d, paragraph %d\n", mostHotwords, mostHotwordsIn->number);
}

}  // namespace mwtool
