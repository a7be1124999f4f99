// The ways on from the page the reader shows, as play and explore act on them: each button,
// each answer typed into an edit box, each outcome of a draw, each armed arrow, matched to
// the hotword command in the book source that made it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mwtool/book_model.h"
#include "tools/mwtool/reader.h"

namespace mwtool {

struct Option {
    enum Action : uint8_t { Tap, Answer, Chance, Arrow, Command } action;
    PageChoice choice;
    int source;           // index into the paragraph's Hotwords(), or -1 (arrows, commands, unmatched)
    int variant;          // Answer: which text (0..2 an accepted answer, 3 a wrong one, 4 empty)
    std::string text;     // Answer: the text to type
    int16_t target = 0;   // Chance: the outcome forced (stored minus one); Arrow: the paragraph
    int32_t command = 0;  // Command: the menu or command-bar command
    int item = -1;        // the variable of a button on the built-in information page
    std::string label;    // how a path shows it
};

struct OptionRules {
    bool splitChances = false;  // one option per outcome of a draw (explore), or one tap (play)
    bool emptyAnswer = false;   // also confirm an edit box left empty
};

// Lists the options of the page just built for paragraph p (null when the page is no
// paragraph of the book, such as a built-in page).
void PageOptions(const ParagraphModel* p, const OptionRules& rules, std::vector<Option>& out);

// Describes the hotword command source of paragraph p for reports: where it is and what it
// says.
std::string DescribeHotword(const SourceBook& book, const ParagraphModel& p, int source);

}  // namespace mwtool
