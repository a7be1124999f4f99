// Page options: reads the page's hotword table and controls after a build, matches each
// hotword to its command in the source, and spells out the answers and draws to try.
#include "tools/mwtool/choices.h"

#include <map>

#include "markup/hotwords.h"
#include "page/controls.h"
#include "platform/platform.h"
#include "shell/builtin_pages.h"
#include "shell/navigation.h"

namespace mwtool {
namespace {

constexpr int WrongAnswer = 3;
constexpr int EmptyAnswer = 4;

// Returns the letter a hotword's entry keeps: R for both R and r.
char EntryKind(char letter) { return letter == 'r' ? 'R' : letter; }

// Matches the page's hotwords, in the order the scan recorded them, to the hotword commands
// of the source read in order: a hotword in a block passed over is simply missing.
std::vector<int> MatchSources(const ParagraphModel* p) {
    std::vector<int> matched(static_cast<size_t>(std::max<int>(markup::HotwordCount, 0)), -1);
    if (p == nullptr) return matched;
    const std::vector<int> hotwords = p->Hotwords();
    size_t next = 0;
    for (size_t i = 0; i < matched.size() && i < markup::HotwordCapacity; ++i) {
        const markup::HotwordEntry& e = markup::HotwordTable[i];
        auto fits = [&](size_t j, bool byTarget) {
            const Command& c = p->commands[static_cast<size_t>(hotwords[j])];
            if (EntryKind(c.Letter()) != e.kind) return false;
            return !byTarget || c.targets.empty() || c.targets[0] == e.target;
        };
        for (bool byTarget : {true, false}) {
            size_t j = next;
            while (j < hotwords.size() && !fits(j, byTarget)) ++j;
            if (j < hotwords.size()) {
                matched[i] = static_cast<int>(j);
                next = j + 1;
                break;
            }
        }
    }
    return matched;
}

// Returns how a path shows a page button: its caption in quotes, or its picture.
std::string Caption(int16_t controlId) {
    const int slot = controlId - page::FirstButtonId;
    if (slot < 0 || slot >= page::ButtonCount) return "?";
    const page::ButtonEntry& b = page::ButtonTable[slot];
    if (b.picture >= 0) return "picture " + std::to_string(b.picture);
    char narrow[page::CaptionSize];
    plat::Narrow(b.caption, narrow, page::CaptionSize);
    return "\"" + std::string(narrow) + "\"";
}

// Returns a text that no answer of the entry accepts, as long as the box allows.
std::string WrongText(const markup::HotwordEntry& e, size_t room) {
    for (char c : {'z', 'q', 'x', 'j', 'k', 'v', 'w', '7'}) {
        const std::string text(room, c);
        if (markup::CompareLoosely(e.answer1, text.c_str()) != 0 && markup::CompareLoosely(e.answer2, text.c_str()) != 0 &&
            markup::CompareLoosely(e.answer3, text.c_str()) != 0)
            return text;
    }
    return "";
}

void ChanceOptions(const Option& base, const markup::HotwordEntry& e, std::vector<Option>& out) {
    // Every roll, compared as the reader compares it, gives the share of each outcome.
    std::map<int16_t, int> shares;
    const bool percent = e.kind == 'd';
    const int sides = percent ? 100 : 20;
    for (int roll = 1; roll <= sides; ++roll) {
        int16_t target = e.elseTarget;
        if (roll <= e.value) target = e.target;
        else if (percent && roll <= e.chance2) target = e.target2;
        else if (percent && roll <= e.chance3) target = e.target3;
        ++shares[target];
    }
    for (const auto& [target, count] : shares) {
        Option o = base;
        o.action = Option::Chance;
        o.target = target;
        o.label = base.label + " (" + std::to_string(count * 100 / sides) + "% to " + std::to_string(target + 1) + ")";
        out.push_back(o);
    }
}

}  // namespace

void PageOptions(const ParagraphModel* p, const OptionRules& rules, std::vector<Option>& out) {
    out.clear();
    std::vector<PageChoice> choices;
    reader::ListChoices(choices);
    const std::vector<int> sources = MatchSources(p);
    for (const PageChoice& choice : choices) {
        Option o{Option::Tap, choice, -1, 0, "", 0, 0, -1, ""};
        if (choice.hotword >= 0 && static_cast<size_t>(choice.hotword) < sources.size()) o.source = sources[static_cast<size_t>(choice.hotword)];
        switch (choice.kind) {
        case PageChoice::Button: {
            o.label = Caption(choice.controlId);
            if (choice.hotword < 0) {  // an item of the built-in information page
                o.action = Option::Command;
                o.command = choice.controlId;
                for (int v = 0; v < book::VariableCount; ++v)
                    if (shell::InventoryButtonIds[v] == choice.controlId) o.item = v;
                out.push_back(o);
                break;
            }
            const markup::HotwordEntry& e = markup::HotwordTable[choice.hotword];
            if (rules.splitChances && (e.kind == 'L' || e.kind == 'd')) {
                ChanceOptions(o, e, out);
            } else {
                out.push_back(o);
            }
            break;
        }
        case PageChoice::EditBox: {
            const markup::HotwordEntry& e = markup::HotwordTable[choice.hotword];
            const int n = choice.controlId - page::FirstEditBoxId;
            const size_t room = n < page::EditBoxCount ? static_cast<size_t>(std::max<int16_t>(page::EditBoxTable[n].maxChars, 0)) : 0;
            o.action = Option::Answer;
            const char* answers[] = {e.answer1, e.answer2, e.answer3};
            for (int k = 0; k < 3; ++k) {
                if (answers[k][0] == '\0') continue;
                o.variant = k;
                o.text = answers[k];
                o.label = "typed \"" + o.text + "\"";
                out.push_back(o);
            }
            if (std::string wrong = WrongText(e, room); !wrong.empty()) {
                o.variant = WrongAnswer;
                o.text = wrong;
                o.label = "typed a wrong answer \"" + wrong + "\"";
                out.push_back(o);
            }
            if (rules.emptyAnswer) {
                o.variant = EmptyAnswer;
                o.text = "";
                o.label = "confirmed an empty answer";
                out.push_back(o);
            }
            break;
        }
        case PageChoice::NextArrow:
        case PageChoice::PreviousArrow: {
            const shell::Arrow& arrow = choice.kind == PageChoice::NextArrow ? shell::NextArrow : shell::PreviousArrow;
            if (arrow.mode != shell::ArrowParagraph) break;  // a built-in page, not the book's
            o.action = Option::Arrow;
            o.target = static_cast<int16_t>(arrow.target + 1);
            o.command = choice.controlId;
            o.label = choice.kind == PageChoice::NextArrow ? "the down arrow" : "the up arrow";
            out.push_back(o);
            break;
        }
        }
    }
}

std::string DescribeHotword(const SourceBook& book, const ParagraphModel& p, int source) {
    const std::vector<int> hotwords = p.Hotwords();
    if (source < 0 || source >= static_cast<int>(hotwords.size())) return "a hotword of paragraph " + std::to_string(p.number);
    const Command& c = p.commands[static_cast<size_t>(hotwords[static_cast<size_t>(source)])];
    std::string text = c.text.size() > 60 ? c.text.substr(0, 57) + "..." : c.text;
    return book.Where(p.At(c.offset)) + ": <" + text + ">";
}

}  // namespace mwtool
