// The book source read into memory: paragraphs split into stored words, the story
// variables, the snapshot slots, the facts and the media tables, each with where it was
// written. Used by bookc and by the authoring tools (lint, graph) that need the same model.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "book/tables.h"

namespace bookc {

// A place in the book source. file indexes Book::files; line and column count from 1
// (columns in characters); line 0 means the whole file.
struct Location {
    int file = -1;
    int line = 0;
    int column = 0;
};

// One stored word: its Windows-1252 bytes with targets and names already resolved.
struct Word {
    std::string text;
    Location where;
};

// A writing aid resolved inside a command: @N (a target, value N as written) or %name
// (a variable, value its number).
struct Reference {
    enum Kind { Target, Variable } kind;
    int value;
    Location where;
};

struct Paragraph {
    int number = 0;  // 1 to 713
    bool ending = false;
    Location header;
    std::vector<Word> words;
    std::vector<Reference> references;
};

struct Variable {
    bool defined = false;
    std::string shortName;
    std::string name;  // Windows-1252
    book::VariableKind kind = book::TextChoice;
    int lowerBound = 0;
    int upperBound = 0;              // exclusive, as stored
    int descriptionParagraph = 11;   // as written, not minus one
    std::vector<std::string> texts;  // TextChoice list, Windows-1252
    std::vector<int> pictures;       // PictureChoice list
    Location where;
};

struct Slot {
    bool defined = false;
    int paragraph = 2;  // as written, not minus one
    std::string label;
    Location where;
};

struct Sound {
    bool defined = false;
    std::string name;
    Location where;
};

struct Picture {
    bool defined = false;
    int bitmapId = 0;
    int width = 0;
    int height = 0;
    Location where;
};

// The text facts, in the order of BookInfoRecord.
enum TextFact { Title, Copyright, Language, Author, ExtraLine, Web, Contact, Support, TextFactCount };

struct Book {
    std::vector<std::string> files;     // as shown in messages: folder/relative path
    std::vector<Paragraph> paragraphs;  // in writing order (file name order, then file order)
    std::vector<Variable> variables = std::vector<Variable>(book::VariableCount);
    std::vector<Slot> slots = std::vector<Slot>(book::SlotCount);
    std::vector<Sound> sounds = std::vector<Sound>(book::SoundCount);
    std::vector<Picture> pictures = std::vector<Picture>(book::PictureCount);
    std::string texts[TextFactCount];
    int logoPicture = 0;
    int titlePicture = 1;
};

// Collects errors; stops accepting more once the limit is reached so that one broken file
// does not bury the first messages.
class Diagnostics {
public:
    static constexpr int Limit = 20;

    void Error(const Book& book, Location where, std::string message);
    bool Full() const { return Count() >= Limit; }
    int Count() const { return static_cast<int>(messages_.size()); }
    // Returns the messages in file and line order, one per line, as
    // `file:line:column: error: message` (`file: error: message` for a whole file).
    std::string Text() const;

private:
    struct Message {
        Location where;
        std::string text;
    };
    std::vector<Message> messages_;
};

struct Options {
    bool fixture = false;  // missing files and entries are padded instead of reported
};

// Reads the book folder (variables.txt, book.facts, text/*.mw) into book. Returns false
// when any error was reported; book then holds what could be read.
bool ReadBook(const std::filesystem::path& folder, const Options& options, Book& book,
              Diagnostics& diagnostics);

}  // namespace bookc
