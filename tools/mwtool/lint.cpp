// lint: every command checked by the rules of its letter, conditions parsed and judged
// against the variables' ranges, titles and button captions measured with the reader's
// fonts, the paragraph's shape and blocks, and book-wide checks of reachability, variables,
// pictures, sounds and restart points.
#include "tools/mwtool/lint.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "markup/hotwords.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "tools/mwtool/reader.h"

namespace mwtool {
namespace {

constexpr int AnswerLimit = 19;       // the reader keeps 19 characters of an answer
constexpr int AnswerBookLimit = 11;   // the book's own rule for answers
constexpr int ConditionStackLimit = 9;  // the push that fills the tenth entry is reported
constexpr int FirstStoryParagraph = 2;
constexpr int InformationParagraph = 6;
constexpr int MenuParagraphs[] = {3, 4, 5, 6, 7};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// A closed range of values a variable can hold.
struct Range {
    int low;
    int high;
};

enum class Tri { False, True, Unknown };

Tri And(Tri a, Tri b) {
    if (a == Tri::False || b == Tri::False) return Tri::False;
    return a == Tri::True && b == Tri::True ? Tri::True : Tri::Unknown;
}
Tri Or(Tri a, Tri b) {
    if (a == Tri::True || b == Tri::True) return Tri::True;
    return a == Tri::False && b == Tri::False ? Tri::False : Tri::Unknown;
}
Tri Not(Tri a) { return a == Tri::Unknown ? a : (a == Tri::True ? Tri::False : Tri::True); }

// What the whole book does with each variable, gathered before the checks.
struct Usage {
    std::vector<bool> valueSet = std::vector<bool>(book::VariableCount);    // R or r
    std::vector<bool> heldSet = std::vector<bool>(book::VariableCount);     // N
    std::vector<bool> heldCleared = std::vector<bool>(book::VariableCount); // Q
    std::vector<bool> changed = std::vector<bool>(book::VariableCount);     // r, or R from another variable or a draw
    std::vector<std::set<int>> constants = std::vector<std::set<int>>(book::VariableCount);  // R's numbers
    std::vector<bool> read = std::vector<bool>(book::VariableCount);        // tested, shown or copied
    std::vector<bool> written = std::vector<bool>(book::VariableCount);     // appears anywhere
    std::map<int, bookc::Location> picturesUsed;
    std::map<int, bookc::Location> soundsUsed;
    std::vector<std::vector<std::pair<int, bookc::Location>>> slotSaves = std::vector<std::vector<std::pair<int, bookc::Location>>>(book::SlotCount);
    std::vector<bool> slotOffered = std::vector<bool>(book::SlotCount);
};

class Linter {
public:
    Linter(const SourceBook& book, const LintOptions& options, Findings& findings) : b_(book), o_(options), f_(findings) {}

    void Run() {
        Gather();
        for (const ParagraphModel& p : b_.paragraphs) CheckParagraph(p);
        CheckFixedParagraphs();
        CheckReachability();
        CheckVariables();
        CheckMedia();
        CheckSlots();
        bool anyEnding = std::any_of(b_.paragraphs.begin(), b_.paragraphs.end(), [](const ParagraphModel& p) { return p.ending; });
        if (!anyEnding) f_.Warning({}, "no paragraph is marked as an ending (=== N ending): play and explore cannot tell a finished reading");
    }

private:
    // -----------------------------------------------------------------------------------
    // Names and ranges
    // -----------------------------------------------------------------------------------

    bool ValidVariable(int v) const { return v >= 0 && v < book::VariableCount; }
    const bookc::Variable& Var(int v) const { return b_.book.variables[static_cast<size_t>(v)]; }

    std::string VarName(int v) const {
        if (!ValidVariable(v)) return "%" + std::to_string(v);
        const bookc::Variable& var = Var(v);
        if (var.shortName.empty()) return "%" + std::to_string(v);
        return "%" + var.shortName + " (" + var.name + ")";
    }

    bool HasList(int v) const {
        const bookc::Variable& var = Var(v);
        return var.kind == book::TextChoice ? !var.texts.empty() : var.kind == book::PictureChoice ? !var.pictures.empty() : false;
    }

    // Returns the values a variable can take in a reading: 0 until something sets it, then
    // its bounds (a number starts at 0 even when 0 lies outside them).
    Range RangeOf(int v) const {
        if (!ValidVariable(v)) return {0, 0};
        const bookc::Variable& var = Var(v);
        if (var.kind == book::NumberValue && u_.heldSet[static_cast<size_t>(v)]) return {INT16_MIN, INT16_MAX};
        // In a draft, what sets the variable may not be written yet.
        if (!u_.valueSet[static_cast<size_t>(v)] && !o_.draft) return {0, 0};
        int high = std::max(var.upperBound - 1, var.lowerBound);
        if (var.kind == book::NumberValue) return {std::min(var.lowerBound, 0), std::max(high, 0)};
        return {var.lowerBound, std::max(high, 0)};
    }

    bool HeldPossible(int v) const {
        if (!ValidVariable(v)) return false;
        if (u_.heldSet[static_cast<size_t>(v)] || o_.draft) return true;
        Range r = RangeOf(v);
        return Var(v).kind == book::NumberValue && (r.low != 0 || r.high != 0);
    }

    // -----------------------------------------------------------------------------------
    // Gathering what the book does with its variables and media
    // -----------------------------------------------------------------------------------

    void Gather() {
        for (const ParagraphModel& p : b_.paragraphs) {
            for (const Command& c : p.commands) {
                bookc::Location at = p.At(c.offset);
                const bool valid = ValidVariable(c.variable);
                const auto v = static_cast<size_t>(std::max(c.variable, 0));
                switch (c.Letter()) {
                case 'N':
                    if (valid) u_.heldSet[v] = u_.written[v] = true;
                    break;
                case 'Q':
                    if (valid) u_.heldCleared[v] = u_.written[v] = true;
                    break;
                case 'R':
                case 'r':
                    if (!valid) break;
                    u_.valueSet[v] = u_.written[v] = true;
                    if (c.Letter() == 'r' || c.valueForm != 'n') u_.changed[v] = true;
                    if (c.Letter() == 'R' && c.valueForm == 'n') u_.constants[v].insert(c.value);
                    break;
                case 'A':
                    if (c.hasNumber) u_.soundsUsed.emplace(c.number, at);
                    break;
                case 'V':
                case 'v':
                    if (c.hasNumber) u_.picturesUsed.emplace(c.number, at);
                    break;
                case 's':
                    if (c.slot >= 0 && c.slot < book::SlotCount) u_.slotSaves[static_cast<size_t>(c.slot)].push_back({p.number, at});
                    break;
                case 'u':
                    if (c.slot >= 0 && c.slot < book::SlotCount) u_.slotOffered[static_cast<size_t>(c.slot)] = true;
                    break;
                default:
                    break;
                }
                if (c.captionForm == CaptionForm::Picture) u_.picturesUsed.emplace(c.captionNumber, at);
            }
        }
        u_.read = VariablesRead(b_);
        for (int v = 0; v < book::VariableCount; ++v) {
            const bookc::Variable& var = Var(v);
            if (var.kind == book::PictureChoice && var.defined && u_.read[static_cast<size_t>(v)])
                for (int n : var.pictures) u_.picturesUsed.emplace(n, var.where);
        }
        u_.picturesUsed.emplace(b_.book.logoPicture, bookc::Location{});
        u_.picturesUsed.emplace(b_.book.titlePicture, bookc::Location{});
    }

    // -----------------------------------------------------------------------------------
    // One paragraph
    // -----------------------------------------------------------------------------------

    void CheckParagraph(const ParagraphModel& p) {
        for (const Problem& problem : p.problems) f_.Add(problem.severity, p.At(problem.offset), problem.message);
        if (p.text.empty()) return;
        CheckShape(p);
        CheckTitle(p);
        bool chainOpen = false;
        for (const Command& c : p.commands) {
            CheckCommand(p, c, chainOpen);
            if (c.block < 0 && c.Conditional() && c.Letter() != 'u') chainOpen = c.Letter() != 'E';
        }
        CheckHotwordCount(p);
    }

    // Checks that the paragraph is <H>title<J><F> ... <G>.
    void CheckShape(const ParagraphModel& p) {
        const auto& cs = p.commands;
        bookc::Location start = p.At(0);
        if (cs.empty() || cs[0].Letter() != 'H' || cs[0].offset != 0) {
            f_.Error(start, "a paragraph begins with its title: <H>title<J><F>");
        } else {
            auto j = std::find_if(cs.begin(), cs.end(), [](const Command& c) { return c.Letter() == 'J'; });
            if (j == cs.end()) {
                f_.Error(start, "the title's <H> is never closed with <J>");
            } else if (j + 1 == cs.end() || (j + 1)->Letter() != 'F') {
                f_.Error(p.At(j->offset), "the title's <J> is followed by <F>");
            }
        }
        const Command* last = cs.empty() ? nullptr : &cs.back();
        if (last == nullptr || last->Letter() != 'G') {
            f_.Error(last != nullptr ? p.At(last->offset) : start, "a paragraph ends with <G>");
        } else {
            size_t end = p.text.find('>', last->offset);
            if (end != std::string::npos && p.text.find_first_not_of(' ', end + 1) != std::string::npos)
                f_.Error(p.At(end + 1), "text after the closing <G> is never shown");
        }
    }

    // Returns the texts a shown value can take, for measuring: a list's texts, or a
    // number's widest forms.
    std::vector<std::string> ShownTexts(int v) const {
        std::vector<std::string> texts;
        if (!ValidVariable(v)) return texts;
        const bookc::Variable& var = Var(v);
        if (var.kind == book::TextChoice) return var.texts;
        if (var.kind == book::NumberValue) {
            Range r = RangeOf(v);
            for (int n : {r.low, r.high, 0}) texts.push_back(" " + std::to_string(n));
        }
        return texts;
    }

    std::string Widest(const std::vector<std::string>& texts, bool bold) const {
        std::string widest;
        int32_t best = -1;
        for (const std::string& t : texts) {
            int32_t w = reader::TextWidth(t, bold);
            if (w > best) {
                best = w;
                widest = t;
            }
        }
        return widest;
    }

    void CheckTitle(const ParagraphModel& p) {
        if (!p.hasTitle) return;
        std::string title;
        for (const TitlePiece& piece : p.title) {
            if (piece.variable < 0) {
                title += piece.text;
            } else if (ValidVariable(piece.variable) && Var(piece.variable).kind != book::PictureChoice) {
                title += Widest(ShownTexts(piece.variable), true);
            }
        }
        if (title.find_first_not_of(' ') == std::string::npos) {
            f_.Warning(p.At(0), "the title is empty");
            return;
        }
        int32_t width = 0;
        const int fit = reader::TitleFit(title, width);
        if (fit < static_cast<int>(title.size())) {
            f_.Error(p.At(0), "the title " + Quote(title) + " is " + std::to_string(width) + " pixels wide in the bold font; the title band holds less than " +
                                  std::to_string(reader::RightLimit()) + ", so it shows only " + Quote(title.substr(0, static_cast<size_t>(fit))));
        }
    }

    // Returns the width of a text button as the page controls size it.
    static int32_t ButtonWidth(const std::string& caption, bool bold) {
        return std::max(reader::TextWidth(caption, bold), 3 * static_cast<int32_t>(caption.size())) + 12;
    }

    int32_t PictureWidth(int n) const {
        if (n < 0 || n >= book::PictureCount) return 0;
        const plat::BitmapId bitmap = plat::LoadBitmap(b_.book.pictures[static_cast<size_t>(n)].bitmapId);
        plat::Size size{0, 0};
        if (bitmap != 0) {
            plat::GetBitmapSize(bitmap, size);
            plat::ReleaseBitmap(bitmap);
        }
        return size.width;
    }

    void CheckButtonWidth(const ParagraphModel& p, const Command& c) {
        const int32_t room = reader::RightLimit() - reader::LeftMargin();
        bookc::Location at = p.At(c.offset);
        auto tooWide = [&](const std::string& what, int32_t width) {
            f_.Error(at, what + " is " + std::to_string(width) + " pixels wide; a line holds " + std::to_string(room));
        };
        switch (c.captionForm) {
        case CaptionForm::Quoted:
            if (int32_t w = ButtonWidth(c.caption, c.bold); w > room) tooWide("the button " + Quote(c.caption), w);
            break;
        case CaptionForm::Variable:
            if (!ValidVariable(c.captionNumber)) break;
            if (Var(c.captionNumber).kind == book::PictureChoice) {
                for (int n : Var(c.captionNumber).pictures)
                    if (int32_t w = PictureWidth(n); w > room) tooWide("the picture button of picture " + std::to_string(n), w);
            } else {
                for (const std::string& text : ShownTexts(c.captionNumber))
                    if (int32_t w = ButtonWidth(text, c.bold); w > room) tooWide("the button " + Quote(text) + " of " + VarName(c.captionNumber), w);
            }
            break;
        case CaptionForm::Picture:
            if (int32_t w = PictureWidth(c.captionNumber); w > room) tooWide("the picture button of picture " + std::to_string(c.captionNumber), w);
            break;
        case CaptionForm::None:
            break;
        }
    }

    void CheckTarget(const ParagraphModel& p, const Command& c, int stored, const std::string& what) {
        const int n = stored + 1;
        bookc::Location at = p.At(c.offset);
        if (n < FirstStoryParagraph || n > book::ParagraphCount) {
            f_.Error(at, what + " leads to paragraph " + std::to_string(n) + (n == 1 ? ", which never has text" : ", outside 2..713"));
        } else if (b_.Find(n) == nullptr) {
            Unwritten(at, what + " leads to paragraph " + std::to_string(n) + ", which has no text");
        } else if (b_.Find(n)->text.empty()) {
            f_.Error(at, what + " leads to paragraph " + std::to_string(n) + ", which is empty");
        }
    }

    void CheckVariableUse(const ParagraphModel& p, const Command& c, int v) {
        if (!ValidVariable(v)) f_.Error(p.At(c.offset), "variable " + std::to_string(v) + " is outside 0..178");
    }

    void CheckPicture(const ParagraphModel& p, const Command& c, int n) {
        bookc::Location at = p.At(c.offset);
        if (n < 0 || n >= book::PictureCount) {
            f_.Error(at, "picture " + std::to_string(n) + " is outside 0..164: nothing is shown");
        } else if (plat::FindResource(plat::ResourceType::Bitmap, b_.book.pictures[static_cast<size_t>(n)].bitmapId) == nullptr) {
            Unwritten(at, "picture " + std::to_string(n) + " (bitmap " + std::to_string(b_.book.pictures[static_cast<size_t>(n)].bitmapId) +
                             ") has no bitmap resource: nothing is shown");
        }
    }

    void CheckCaption(const ParagraphModel& p, const Command& c) {
        if (c.captionForm == CaptionForm::Variable) {
            CheckVariableUse(p, c, c.captionNumber);
            if (ValidVariable(c.captionNumber) && Var(c.captionNumber).kind != book::NumberValue && !HasList(c.captionNumber))
                f_.Error(p.At(c.offset), "the caption " + VarName(c.captionNumber) + " shows a variable without a list: the reader makes no button, so it can never be chosen");
        }
        if (c.captionForm == CaptionForm::Picture) CheckPicture(p, c, c.captionNumber);
        CheckButtonWidth(p, c);
    }

    void CheckChances(const ParagraphModel& p, const Command& c) {
        bookc::Location at = p.At(c.offset);
        const bool percent = c.Letter() == 'd';
        if (!percent && c.chances.size() > 1)
            f_.Warning(at, "<L> draws out of 20 against its first chance only; its further chances are never drawn");
        int total = 0;
        for (size_t k = 0; k < c.chances.size(); ++k) {
            if (!percent && k > 0) break;
            if (c.chances[k] <= 0) f_.Warning(at, "a chance of " + std::to_string(c.chances[k]) + " never applies");
            total += c.chances[k];
            if (total > 127) f_.Error(at, "the chances add up past 127: the reader keeps them in 8 bits, where they turn negative");
        }
        const int sides = percent ? 100 : 20;
        if (total > sides) f_.Warning(at, "the chances add up to " + std::to_string(total) + ", more than " + std::to_string(sides) + ": the last ones are cut short");
        for (size_t k = 0; k < c.targets.size(); ++k) {
            if (!percent && k > 0) break;
            CheckTarget(p, c, c.targets[k], "the chance's target");
        }
        if (c.elseTarget >= 0) CheckTarget(p, c, c.elseTarget, "the else target");
    }

    void CheckAnswers(const ParagraphModel& p, const Command& c) {
        for (size_t k = 0; k < c.answers.size(); ++k) {
            const std::string& a = c.answers[k];
            bookc::Location at = p.At(k < c.answerOffsets.size() ? c.answerOffsets[k] : c.offset);
            const std::string which = "answer " + std::to_string(k + 1) + " " + Quote(a);
            if (a.find_first_not_of(' ') == std::string::npos) {
                f_.Error(at, "answer " + std::to_string(k + 1) + " is empty: no typed text can ever match it");
                continue;
            }
            if (static_cast<int>(a.size()) > AnswerLimit) {
                f_.Error(at, which + " has " + std::to_string(a.size()) + " characters; the reader keeps " + std::to_string(AnswerLimit));
            } else if (static_cast<int>(a.size()) > AnswerBookLimit) {
                f_.Warning(at, which + " has " + std::to_string(a.size()) + " characters; the book's answers have at most " + std::to_string(AnswerBookLimit));
            }
            for (size_t j = 0; j < k; ++j) {
                if (markup::CompareLoosely(c.answers[j].c_str(), a.c_str()) == 0)
                    f_.Warning(at, which + " reads as answer " + std::to_string(j + 1) + " (blanks and case aside), which is tried first: it never matches");
            }
        }
        for (size_t k = 0; k < c.targets.size(); ++k) CheckTarget(p, c, c.targets[k], "the answer's target");
        if (c.elseTarget >= 0) CheckTarget(p, c, c.elseTarget, "the else target");
        if (c.elseTarget >= 0 && !c.targets.empty() &&
            std::all_of(c.targets.begin(), c.targets.end(), [&](int t) { return t == c.elseTarget; }))
            f_.Warning(p.At(c.offset), "every answer leads where a wrong one does");
    }

    void CheckCommand(const ParagraphModel& p, const Command& c, bool chainOpen) {
        bookc::Location at = p.At(c.offset);
        switch (c.Letter()) {
        case 'A':
            if (!c.hasNumber) break;
            if (c.number < 0 || c.number >= book::SoundCount) {
                f_.Error(at, "sound " + std::to_string(c.number) + " is outside 0..38: nothing plays");
            } else if (plat::FindResource(plat::ResourceType::Wave, b_.book.sounds[static_cast<size_t>(c.number)].name.c_str()) == nullptr) {
                Unwritten(at, "sound " + std::to_string(c.number) + " (" + b_.book.sounds[static_cast<size_t>(c.number)].name + ") has no WAVE resource: nothing plays");
            }
            break;
        case 'V':
        case 'v':
            if (c.hasNumber) CheckPicture(p, c, c.number);
            break;
        case 'W':
            if (c.hasNumber && (c.number < 0 || c.number > 2)) f_.Error(at, "alignment " + std::to_string(c.number) + " is not 0 (left), 1 (centre) or 2 (right): nothing changes");
            break;
        case 'n':
        case 'p':
            if (c.hasNumber) CheckTarget(p, c, c.number, c.Letter() == 'n' ? "the next arrow" : "the previous arrow");
            break;
        case 'l':
            CheckVariableUse(p, c, c.variable);
            if (!ValidVariable(c.variable)) break;
            if (Var(c.variable).kind == book::PictureChoice && c.title) {
                f_.Error(at, "<l " + VarName(c.variable) + "> shows a picture in the title: the reader says \"Images not allowed in title\"");
            } else if (Var(c.variable).kind != book::NumberValue && !HasList(c.variable)) {
                f_.Error(at, "<l " + VarName(c.variable) + "> shows nothing: the variable has no list of values");
            }
            break;
        case 'N':
        case 'Q':
            CheckVariableUse(p, c, c.variable);
            if (ValidVariable(c.variable) && Var(c.variable).kind == book::NumberValue)
                f_.Warning(at, "<" + std::string(1, c.Letter()) + "> on the number " + VarName(c.variable) + " replaces its low byte");
            break;
        case 'R':
        case 'r':
            CheckSet(p, c);
            break;
        case 'O':
        case 'o':
            if (c.Letter() == 'o' && !chainOpen && c.block < 0) f_.Error(at, "<o> without an <O> before it is never true");
            CheckCondition(p, c);
            break;
        case 'E':
            if (!chainOpen && c.block < 0) f_.Error(at, "<E> without an <O> before it is never true");
            break;
        case 's':
            CheckSave(p, c);
            break;
        case 'u':
            if (c.slot < 0 || c.slot >= book::SlotCount) f_.Error(at, "snapshot slot " + std::to_string(c.slot) + " is outside 0..8");
            break;
        default:
            break;
        }
        if (c.hotword) {
            CheckCaption(p, c);
            switch (c.Letter()) {
            case 'L':
            case 'd':
                CheckChances(p, c);
                break;
            case 'S':
                CheckAnswers(p, c);
                break;
            case 'u':
                break;  // leads to its slot's paragraph, whatever target it names
            default:
                for (int t : c.targets) CheckTarget(p, c, t, "the hotword");
                break;
            }
        }
    }

    void CheckSet(const ParagraphModel& p, const Command& c) {
        CheckVariableUse(p, c, c.variable);
        if (!ValidVariable(c.variable)) return;
        bookc::Location at = p.At(c.offset);
        if (c.valueForm == '%' || c.valueForm == '-') CheckVariableUse(p, c, c.value);
        const bookc::Variable& var = Var(c.variable);
        if (var.kind == book::TextChoice && !HasList(c.variable)) {
            f_.Warning(at, "<" + std::string(1, c.Letter()) + "> on the item " + VarName(c.variable) + " always stores 0: an item has no values");
        } else if (c.Letter() == 'R' && c.valueForm == 'n') {
            Range bounds{var.lowerBound, std::max(var.upperBound - 1, var.lowerBound)};
            if (c.value < bounds.low || c.value > bounds.high)
                f_.Warning(at, "the value " + std::to_string(c.value) + " is outside " + VarName(c.variable) + "'s range " + std::to_string(bounds.low) + ".." +
                                   std::to_string(bounds.high) + ": it is clamped");
        }
    }

    void CheckSave(const ParagraphModel& p, const Command& c) {
        bookc::Location at = p.At(c.offset);
        if (c.slot < 0 || c.slot >= book::SlotCount) {
            f_.Error(at, "snapshot slot " + std::to_string(c.slot) + " is outside 0..8");
            return;
        }
        const bookc::Slot& slot = b_.book.slots[static_cast<size_t>(c.slot)];
        if (slot.paragraph != p.number)
            f_.Error(at, "slot " + std::to_string(c.slot) + " is saved here, but book.facts gives it paragraph " + std::to_string(slot.paragraph) +
                             ": after the reader is started again, its restart returns there");
        if (c.block >= 0) f_.Warning(at, "a restart point saved inside a block is saved only when its condition holds");
    }

    // Warns about a page that can show too many hotwords. Counted as if every condition
    // held, the bound can be too high; explore and play count those of every page they build.
    void CheckHotwordCount(const ParagraphModel& p) {
        const int most = MostHotwordsOnPage(p);
        if (most > MaxHotwordsOnPage)
            f_.Warning(p.source->header, "a page of paragraph " + std::to_string(p.number) + " shows up to " + std::to_string(most) +
                                             " hotwords when its conditions hold; a page holds at most " + std::to_string(MaxHotwordsOnPage));
    }

    // -----------------------------------------------------------------------------------
    // Conditions
    // -----------------------------------------------------------------------------------

    // Reads a condition strictly (every test in parentheses of its own, groups balanced)
    // and works out whether it can hold, from the values its variables can take.
    class Condition {
    public:
        Condition(const Linter& lint, const ParagraphModel& p, const Command& c) : l_(lint), p_(p), c_(c), s_(c.condition) {}

        void Check() {
            if (s_.find_first_not_of(' ') == std::string::npos) return Fail(0, "the condition is empty: it is never true");
            Tri result = Expr();
            if (failed_) return;
            Blanks();
            if (pos_ < s_.size()) return Fail(pos_, "unexpected " + Quote(s_.substr(pos_)) + " after the condition");
            CheckStacks();
            bookc::Location at = p_.At(c_.offset);
            if (result == Tri::False) {
                l_.f_.Error(at, "the condition " + Quote(s_) + " can never hold: " + Join(falseReasons_));
            } else if (result == Tri::True) {
                l_.f_.Warning(at, "the condition " + Quote(s_) + " always holds" + (trueReasons_.empty() ? "" : ": " + Join(trueReasons_)));
            }
        }

    private:
        static std::string Join(const std::vector<std::string>& list) {
            std::string text;
            for (const std::string& s : list) text += (text.empty() ? "" : "; ") + s;
            return text.empty() ? "its tests decide it alone" : text;
        }

        void Fail(size_t at, std::string message) {
            if (failed_) return;
            failed_ = true;
            l_.f_.Error(p_.At(c_.conditionOffset + at), std::move(message));
        }
        void Blanks() {
            while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        }
        char Peek() {
            Blanks();
            return pos_ < s_.size() ? s_[pos_] : '\0';
        }

        Tri Expr() {
            Tri value = Unary();
            while (!failed_) {
                char op = Peek();
                if (op != '&' && op != '|') break;
                ++pos_;
                Tri right = Unary();
                value = op == '&' ? And(value, right) : Or(value, right);
            }
            return value;
        }

        Tri Unary() {
            char c = Peek();
            if (c == '!') {
                ++pos_;
                return Not(Unary());
            }
            if (c != '(') {
                Fail(pos_, c == '\0' ? "the condition ends where a test in parentheses is expected" : "expected a test in parentheses, such as (X %item), not " + Quote(std::string(1, c)));
                return Tri::Unknown;
            }
            size_t open = pos_++;
            Tri value = Inner();
            if (failed_) return value;
            if (Peek() != ')') {
                Fail(open, pos_ >= s_.size() ? "this parenthesis is never closed" : "a test stands in parentheses of its own: expected ')' before " + Quote(s_.substr(pos_)));
                return value;
            }
            ++pos_;
            return value;
        }

        bool Variable(int& v) {
            size_t start = pos_;
            if (Peek() != '%') return false;
            ++pos_;
            if (pos_ >= s_.size() || s_[pos_] < '0' || s_[pos_] > '9') {
                Fail(start, "expected a variable after %");
                return false;
            }
            v = 0;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') v = std::min(v * 10 + (s_[pos_++] - '0'), 100000);
            if (!l_.ValidVariable(v)) Fail(start, "variable " + std::to_string(v) + " is outside 0..178");
            return true;
        }

        Tri Inner() {
            char c = Peek();
            if (c == 'X') {
                ++pos_;
                int v = 0;
                if (!Variable(v)) {
                    Fail(pos_, "expected a variable after X");
                    return Tri::Unknown;
                }
                if (failed_ || l_.HeldPossible(v)) return Tri::Unknown;
                falseReasons_.push_back(l_.VarName(v) + " is never held");
                return Tri::False;
            }
            int v = 0;
            if (c == '%') {
                if (!Variable(v) || failed_) return Tri::Unknown;
                char op = Peek();
                if (op != '=' && op != 'x' && op != 'y') {
                    Fail(pos_, "expected =, x (above) or y (below) after " + l_.VarName(v));
                    return Tri::Unknown;
                }
                ++pos_;
                return Compare(v, op);
            }
            if (c == '(' || c == '!') return Expr();
            Fail(pos_, c == '\0' ? "an empty test" : "expected X %item, a comparison or a group, not " + Quote(std::string(1, c)));
            return Tri::Unknown;
        }

        Tri Compare(int v, char op) {
            Range right{0, 0};
            std::string rightName;
            char c = Peek();
            if (c == '%') {
                int w = 0;
                Variable(w);
                if (failed_) return Tri::Unknown;
                right = l_.RangeOf(w);
                rightName = l_.VarName(w);
            } else if (c >= '0' && c <= '9') {
                int n = 0;
                while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') n = std::min(n * 10 + (s_[pos_++] - '0'), 100000);
                if (n > INT16_MAX) Fail(pos_, "the number " + std::to_string(n) + " is beyond the reader's 16 bits");
                right = {n, n};
                rightName = std::to_string(n);
            } else if (c == '-') {
                Fail(pos_, "a condition cannot hold a negative number: the reader ignores the '-'");
                return Tri::Unknown;
            } else {
                Fail(pos_, "the right side of a comparison is a number or a %variable");
                return Tri::Unknown;
            }
            const Range left = l_.RangeOf(v);
            const std::string range = l_.VarName(v) + " stays within " + std::to_string(left.low) + ".." + std::to_string(left.high);
            const char* words = op == '=' ? " = " : op == 'x' ? " above " : " below ";
            Tri result = Tri::Unknown;
            if (op == '=') {
                if (left.high < right.low || right.high < left.low) result = Tri::False;
                else if (left.low == left.high && right.low == right.high && left.low == right.low) result = Tri::True;
            } else if (op == 'x') {
                if (left.high <= right.low) result = Tri::False;
                else if (left.low > right.high) result = Tri::True;
            } else {
                if (left.low >= right.high) result = Tri::False;
                else if (left.high < right.low) result = Tri::True;
            }
            const std::string reason = range + ", so it is " + (result == Tri::True ? "always" : "never") + words + rightName;
            if (result == Tri::False) falseReasons_.push_back(reason);
            if (result == Tri::True) trueReasons_.push_back(reason);
            return result;
        }

        // Runs the reader's evaluator over the characters without its short-cut, counting
        // the entries each stack reaches.
        void CheckStacks() {
            struct Op {
                char op;
                int depth;
            };
            std::vector<Op> ops;
            int operands = 0;
            int most = 0;
            int depth = 0;
            bool afterComparison = false;
            auto mark = [&] { most = std::max<int>({most, operands, static_cast<int>(ops.size())}); };
            for (char c : s_) {
                switch (c) {
                case '%':
                    if (!afterComparison) ++operands;
                    break;
                case '(':
                    ++depth;
                    break;
                case '=':
                case 'x':
                case 'y':
                    ops.push_back({c, depth});
                    ++operands;
                    afterComparison = true;
                    break;
                case 'X':
                case '!':
                case '&':
                case '|':
                    ops.push_back({c, depth});
                    break;
                case ')':
                    if (!ops.empty() && ops.back().depth == depth && (ops.back().op == '=' || ops.back().op == 'x' || ops.back().op == 'y' || ops.back().op == 'X')) {
                        if (ops.back().op != 'X') --operands;
                        ops.pop_back();
                    }
                    --depth;
                    while (!ops.empty() && ops.back().depth == depth && (ops.back().op == '!' || ops.back().op == '&' || ops.back().op == '|')) {
                        if (ops.back().op != '!') --operands;
                        ops.pop_back();
                    }
                    break;
                default:
                    if (c >= '0' && c <= '9') afterComparison = false;
                    break;
                }
                mark();
            }
            if (most > ConditionStackLimit)
                l_.f_.Error(p_.At(c_.offset), "the condition needs " + std::to_string(most) + " entries on the reader's evaluation stacks, which hold " +
                                                  std::to_string(ConditionStackLimit) + ": write it with fewer nested groups");
        }

        const Linter& l_;
        const ParagraphModel& p_;
        const Command& c_;
        const std::string& s_;
        size_t pos_ = 0;
        bool failed_ = false;
        std::vector<std::string> falseReasons_;
        std::vector<std::string> trueReasons_;
    };

    void CheckCondition(const ParagraphModel& p, const Command& c) const { Condition(*this, p, c).Check(); }

    // -----------------------------------------------------------------------------------
    // The whole book
    // -----------------------------------------------------------------------------------

    // Checks the paragraphs the reader relies on: the start and the menu's pages without a
    // built-in stand-in.
    void CheckFixedParagraphs() {
        static const std::pair<int, const char*> fixed[] = {
            {2, "paragraph 2, where the story begins,"},
            {3, "paragraph 3, the restart page of the menu's Restart,"},
            {4, "paragraph 4, the page of the menu's Objective,"},
            {5, "paragraph 5, the page of the menu's Credits,"},
        };
        for (const auto& [number, what] : fixed)
            if (!b_.HasText(number)) Unwritten({}, std::string(what) + " has no text: the reader shows the last page again");
    }

    void CheckReachability() {
        std::vector<std::vector<int>> out(book::ParagraphCount + 1);
        std::vector<bool> named(book::ParagraphCount + 1);
        for (const ParagraphModel& p : b_.paragraphs) {
            for (const Edge& e : p.edges) {
                if (e.to < 1 || e.to > book::ParagraphCount) continue;
                out[static_cast<size_t>(p.number)].push_back(e.to);
                if (e.to != p.number) named[static_cast<size_t>(e.to)] = true;
            }
        }
        // Without its own text, the information page leads to the variables' descriptions.
        if (!b_.HasText(InformationParagraph)) {
            for (const bookc::Variable& var : b_.book.variables) {
                out[InformationParagraph].push_back(var.descriptionParagraph);
                named[static_cast<size_t>(var.descriptionParagraph)] = true;
            }
        }
        std::vector<bool> reached(book::ParagraphCount + 1);
        std::vector<int> queue = {FirstStoryParagraph};
        queue.insert(queue.end(), std::begin(MenuParagraphs), std::end(MenuParagraphs));
        for (int r : queue) reached[static_cast<size_t>(r)] = true;
        for (size_t i = 0; i < queue.size(); ++i) {
            for (int to : out[static_cast<size_t>(queue[i])]) {
                if (reached[static_cast<size_t>(to)]) continue;
                reached[static_cast<size_t>(to)] = true;
                queue.push_back(to);
            }
        }
        for (const ParagraphModel& p : b_.paragraphs) {
            if (p.text.empty() || reached[static_cast<size_t>(p.number)]) continue;
            if (!named[static_cast<size_t>(p.number)]) {
                f_.Warning(p.source->header, "paragraph " + std::to_string(p.number) + " is unreachable: no target leads to it");
            } else {
                f_.Warning(p.source->header, "paragraph " + std::to_string(p.number) + " is unreachable: only paragraphs that no reading reaches lead to it");
            }
        }
    }

    void CheckVariables() {
        for (int v = 0; v < book::VariableCount; ++v) {
            const bookc::Variable& var = Var(v);
            if (!var.defined) continue;
            const auto i = static_cast<size_t>(v);
            const bool set = u_.valueSet[i] || u_.heldSet[i] || u_.heldCleared[i];
            if (set && !u_.read[i]) {
                f_.Warning(var.where, "variable " + VarName(v) + " is set but never tested or shown");
            } else if (!set && u_.read[i]) {
                f_.Warning(var.where, "variable " + VarName(v) + " is tested or shown but never set: it stays 0");
            } else if (!set && !u_.read[i]) {
                f_.Warning(var.where, "variable " + VarName(v) + " is never used");
            } else if (var.kind == book::NumberValue && !u_.changed[i] && u_.constants[i].size() == 1) {
                f_.Warning(var.where, "the counter " + VarName(v) + " never changes: every <R> stores " + std::to_string(*u_.constants[i].begin()));
            }
        }
    }

    void CheckMedia() {
        for (int n = 0; n < book::PictureCount; ++n) {
            const bookc::Picture& picture = b_.book.pictures[static_cast<size_t>(n)];
            if (!picture.defined || u_.picturesUsed.count(n) != 0) continue;
            f_.Warning(picture.where, "picture " + std::to_string(n) + " is never shown");
        }
        for (int n = 0; n < book::SoundCount; ++n) {
            const bookc::Sound& sound = b_.book.sounds[static_cast<size_t>(n)];
            if (!sound.defined) continue;
            if (plat::FindResource(plat::ResourceType::Wave, sound.name.c_str()) == nullptr && u_.soundsUsed.count(n) == 0)
                f_.Warning(sound.where, "sound " + std::to_string(n) + " (" + sound.name + ") has no WAVE resource");
            if (u_.soundsUsed.count(n) == 0) f_.Warning(sound.where, "sound " + std::to_string(n) + " (" + sound.name + ") is never played");
        }
        for (int n : {b_.book.logoPicture, b_.book.titlePicture}) {
            if (n < 0 || n >= book::PictureCount) continue;
            const bookc::Picture& picture = b_.book.pictures[static_cast<size_t>(n)];
            if (picture.defined && plat::FindResource(plat::ResourceType::Bitmap, picture.bitmapId) == nullptr)
                Unwritten(picture.where, "picture " + std::to_string(n) + " (bitmap " + std::to_string(picture.bitmapId) + ") is a built-in page's picture but has no bitmap resource");
        }
    }

    void CheckSlots() {
        for (int k = 0; k < book::SlotCount; ++k) {
            const bookc::Slot& slot = b_.book.slots[static_cast<size_t>(k)];
            const auto& saves = u_.slotSaves[static_cast<size_t>(k)];
            if (!slot.defined) continue;
            if (saves.empty()) {
                f_.Warning(slot.where, "slot " + std::to_string(k) + " is never saved: no restart point returns to paragraph " + std::to_string(slot.paragraph));
            } else if (saves.size() > 1) {
                for (size_t i = 1; i < saves.size(); ++i)
                    f_.Warning(saves[i].second, "slot " + std::to_string(k) + " is also saved at paragraph " + std::to_string(saves[0].first) + ": each restart point is saved by one paragraph");
            }
            if (!saves.empty() && !u_.slotOffered[static_cast<size_t>(k)])
                f_.Warning(slot.where, "slot " + std::to_string(k) + " is saved but no restart button <u *" + std::to_string(k) + "> offers it");
        }
    }

    // Reports what a book still being written may lack yet: an error, or a warning in a draft.
    void Unwritten(bookc::Location at, std::string message) { f_.Add(o_.draft ? Severity::Warning : Severity::Error, at, std::move(message)); }

    const SourceBook& b_;
    const LintOptions& o_;
    Findings& f_;
    Usage u_;
};

}  // namespace

void Lint(const SourceBook& book, const LintOptions& options, Findings& findings) { Linter(book, options, findings).Run(); }

void PrintFacts(const SourceBook& b, std::FILE* out) {
    int withText = 0, empty = 0, endings = 0;
    size_t words = 0, characters = 0;
    for (const ParagraphModel& p : b.paragraphs) {
        if (p.text.empty()) ++empty;
        else ++withText;
        if (p.ending) ++endings;
        words += p.source->words.size();
        characters += p.text.size();
    }
    int items = 0, lists = 0, numbers = 0, pictures = 0, declared = 0;
    for (const bookc::Variable& v : b.book.variables) {
        if (!v.defined) continue;
        ++declared;
        if (v.kind == book::NumberValue) ++numbers;
        else if (v.kind == book::PictureChoice) ++pictures;
        else if (v.texts.empty()) ++items;
        else ++lists;
    }
    auto count = [](const auto& list) { return std::count_if(list.begin(), list.end(), [](const auto& e) { return e.defined; }); };
    std::fprintf(out, "facts: %d paragraph entries: %d with text, %d empty, %d without text; %d marked as endings\n", book::ParagraphCount, withText, empty,
                 book::ParagraphCount - withText - empty, endings);
    std::fprintf(out, "facts: %zu words, %zu characters as the reader assembles them\n", words, characters);
    std::fprintf(out, "facts: %d of %d variables declared: %d items, %d with a list of texts, %d numbers, %d with a list of pictures\n", declared,
                 book::VariableCount, items, lists, numbers, pictures);
    std::fprintf(out, "facts: %ld of %d restart points, %ld of %d sounds, %ld of %d pictures declared\n", static_cast<long>(count(b.book.slots)), book::SlotCount,
                 static_cast<long>(count(b.book.sounds)), book::SoundCount, static_cast<long>(count(b.book.pictures)), book::PictureCount);
    for (int k = 0; k < book::SlotCount; ++k) {
        const bookc::Slot& slot = b.book.slots[static_cast<size_t>(k)];
        if (slot.defined) std::fprintf(out, "facts: restart point %d returns to paragraph %d\n", k, slot.paragraph);
    }
}

}  // namespace mwtool
