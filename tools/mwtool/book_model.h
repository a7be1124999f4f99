// The book source as the authoring tools see it: every paragraph's text as the reader
// assembles it, split into commands and blocks the way the reader's scanner reads them,
// each command's arguments read by the rules of its letter, and the ways between
// paragraphs. Read once per run; lint, graph and stats work on it, and play and explore
// use it to name places in the source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/bookc/source.h"
#include "tools/mwtool/findings.h"

namespace mwtool {

enum class EdgeKind : uint8_t { Choice, Item, Chance, Answer, Arrow, Restore };
const char* EdgeKindName(EdgeKind kind);

// A way from one paragraph to another as the markup writes it.
struct Edge {
    int to;             // paragraph number (may lie outside 1..713 in a broken book)
    EdgeKind kind;
    std::string label;  // caption, chance or answer, for the graph
    int command;        // the command that writes it, an index into ParagraphModel::commands
};

enum class CaptionForm : uint8_t { None, Quoted, Picture, Variable };

// One command as written, with its arguments read by the rules of its letter. Which fields
// are set depends on the letter; targets are kept as stored (paragraph number minus one).
struct Command {
    std::string text;    // between "<" and ">", the letter first
    size_t offset = 0;   // of the "<" in the paragraph's text
    bool title = false;  // stands between H and J
    bool bold = false;   // bold is on here (B and D read in order)
    int block = -1;      // the block it stands in, or -1

    char Letter() const { return text.empty() ? '\0' : text[0]; }
    bool Conditional() const { char c = Letter(); return c == 'O' || c == 'o' || c == 'E' || c == 'u'; }

    int number = 0;            // A, V, v, W; n and p: the target
    bool hasNumber = false;
    int variable = -1;         // l, N, Q, R, r
    int slot = -1;             // s, u
    char valueForm = 0;        // R, r: 'n' a number, '%' a variable, '-' a negated variable, 'z' a draw
    int value = 0;             // R, r: the number, or the variable it names
    bool hotword = false;      // records a hotword (a button or an edit box)
    CaptionForm captionForm = CaptionForm::None;
    std::string caption;       // a quoted caption
    size_t captionOffset = 0;  // of the caption's first character in the paragraph's text
    int captionNumber = -1;    // "$n": the picture; "%v": the variable
    std::vector<int> chances;  // L, d: each chance as written
    std::vector<std::string> answers;  // S
    std::vector<size_t> answerOffsets;
    std::vector<int> targets;  // one per caption, chance or answer
    int elseTarget = -1;       // L, d, S; -1 when missing
    std::string condition;     // O, o: the text after the letter
    size_t conditionOffset = 0;
};

// A block: the "{" after a conditional command up to its "}".
struct Block {
    int command;   // the conditional command before it
    size_t open;   // offset of "{"
    size_t close;  // offset of "}", or npos when it never closes
};

// A piece of the page title: literal text, or the shown value of a variable.
struct TitlePiece {
    std::string text;
    int variable = -1;
};

// Markup that the reader would misread or that breaks the book's rules, at an offset of the
// paragraph's text.
struct Problem {
    size_t offset;
    Severity severity;
    std::string message;
};

struct ParagraphModel {
    int number = 0;
    bool ending = false;
    int chapter = 0;  // index into SourceBook::chapters
    const bookc::Paragraph* source = nullptr;
    std::string text;  // the words joined by single blanks, with a trailing blank
    std::vector<size_t> wordStarts;
    std::vector<Command> commands;
    std::vector<Block> blocks;
    std::vector<Problem> problems;
    std::vector<TitlePiece> title;
    bool hasTitle = false;  // an H ... J pair was read
    std::vector<Edge> edges;

    // Returns the source place of a character of text (approximate inside a word that holds
    // a resolved @target or %name before that character).
    bookc::Location At(size_t offset) const;
    // Returns the indexes of the commands that record hotwords, in reading order.
    std::vector<int> Hotwords() const;
};

struct SourceBook {
    std::filesystem::path folder;
    bool fixture = false;
    bookc::Book book;
    std::vector<std::string> chapters;        // one per paragraph file: its name without .mw
    std::vector<ParagraphModel> paragraphs;   // in writing order
    std::vector<int> indexOf = std::vector<int>(book::ParagraphCount + 1, -1);

    // Returns the paragraph with this number, or null when it has no header.
    const ParagraphModel* Find(int number) const;
    // True when the paragraph has words: a page the reader can show.
    bool HasText(int number) const;
    std::string Where(bookc::Location where) const { return mwtool::Where(book, where); }
};

// Reads the book folder with the book compiler's rules (fixture: missing files and entries
// are padded) and models every paragraph. Returns false, with the compiler's messages in
// errors, when the source cannot be read.
bool LoadSourceBook(const std::filesystem::path& folder, bool fixture, SourceBook& out, std::string& errors);

// The book's rule for a page: at most this many hotwords.
inline constexpr int MaxHotwordsOnPage = 14;

// Returns the most hotwords a page of the paragraph can show: those outside blocks, the
// largest block of each if/else chain, and each restart offer with its block.
int MostHotwordsOnPage(const ParagraphModel& p);

// Returns, for every variable, whether anything in the book reads its value or held flag:
// a condition, a shown value, a caption, a value copied from it, or the built-in information
// page (when paragraph 6 has no text). A variable nothing reads cannot change what a reader
// sees or can do.
std::vector<bool> VariablesRead(const SourceBook& book);

// Describes where a target (stored minus one) leads: "@N".
std::string TargetName(int stored);

}  // namespace mwtool
