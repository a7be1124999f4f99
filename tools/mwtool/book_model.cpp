// The book model: assembling each paragraph's text, splitting it into commands and blocks
// by the scanner's rules, reading every command's arguments by its letter, and listing the
// ways between paragraphs.
#include "tools/mwtool/book_model.h"

#include <algorithm>

namespace mwtool {

const char* EdgeKindName(EdgeKind kind) {
    switch (kind) {
    case EdgeKind::Choice: return "choice";
    case EdgeKind::Item: return "item";
    case EdgeKind::Chance: return "chance";
    case EdgeKind::Answer: return "answer";
    case EdgeKind::Arrow: return "arrow";
    case EdgeKind::Restore: return "restore";
    }
    return "?";
}

std::string TargetName(int stored) { return "@" + std::to_string(stored + 1); }

bookc::Location ParagraphModel::At(size_t offset) const {
    if (source == nullptr || wordStarts.empty()) return source != nullptr ? source->header : bookc::Location{};
    auto next = std::upper_bound(wordStarts.begin(), wordStarts.end(), offset);
    size_t word = next == wordStarts.begin() ? 0 : static_cast<size_t>(next - wordStarts.begin()) - 1;
    bookc::Location where = source->words[word].where;
    where.column += static_cast<int>(offset - wordStarts[word]);
    return where;
}

std::vector<int> ParagraphModel::Hotwords() const {
    std::vector<int> list;
    for (size_t i = 0; i < commands.size(); ++i)
        if (commands[i].hotword) list.push_back(static_cast<int>(i));
    return list;
}

int MostHotwordsOnPage(const ParagraphModel& p) {
    std::vector<int> inBlock(p.blocks.size());
    int outside = 0;
    for (const Command& c : p.commands) {
        if (!c.hotword || c.Letter() == 'u') continue;
        if (c.block >= 0) ++inBlock[static_cast<size_t>(c.block)];
        else ++outside;
    }
    int total = outside;
    int chain = 0;  // the largest block of the chain being read
    for (size_t b = 0; b < p.blocks.size(); ++b) {
        const Command& opener = p.commands[static_cast<size_t>(p.blocks[b].command)];
        if (opener.block >= 0) continue;
        switch (opener.Letter()) {
        case 'u':
            total += 1 + inBlock[b];
            break;
        case 'O':
            total += chain;
            chain = inBlock[b];
            break;
        default:
            chain = std::max(chain, inBlock[b]);
            break;
        }
    }
    return total + chain;
}

std::vector<bool> VariablesRead(const SourceBook& b) {
    std::vector<bool> read(book::VariableCount);
    auto mark = [&](int v) {
        if (v >= 0 && v < book::VariableCount) read[static_cast<size_t>(v)] = true;
    };
    constexpr int InformationParagraph = 6;
    if (!b.HasText(InformationParagraph)) return std::vector<bool>(book::VariableCount, true);
    for (const ParagraphModel& p : b.paragraphs) {
        for (const Command& c : p.commands) {
            if (c.Letter() == 'l') mark(c.variable);
            if ((c.Letter() == 'R' || c.Letter() == 'r') && (c.valueForm == '%' || c.valueForm == '-')) mark(c.value);
            if (c.captionForm == CaptionForm::Variable) mark(c.captionNumber);
            if (c.Letter() != 'O' && c.Letter() != 'o') continue;
            const std::string& s = c.condition;
            for (size_t i = 0; i + 1 < s.size(); ++i) {
                if (s[i] != '%' || s[i + 1] < '0' || s[i + 1] > '9') continue;
                int v = 0;
                for (size_t k = i + 1; k < s.size() && s[k] >= '0' && s[k] <= '9'; ++k) v = std::min(v * 10 + (s[k] - '0'), 100000);
                mark(v);
            }
        }
    }
    return read;
}

const ParagraphModel* SourceBook::Find(int number) const {
    if (number < 0 || number > book::ParagraphCount || indexOf[static_cast<size_t>(number)] < 0) return nullptr;
    return &paragraphs[static_cast<size_t>(indexOf[static_cast<size_t>(number)])];
}

bool SourceBook::HasText(int number) const {
    const ParagraphModel* p = Find(number);
    return p != nullptr && !p->text.empty();
}

namespace {

// ---------------------------------------------------------------------------------------
// Reading a command's arguments
// ---------------------------------------------------------------------------------------

// Reads the arguments of one command strictly: where the reader would read something else
// than the writer meant (or nothing), a problem is noted at that character.
class Arguments {
public:
    Arguments(Command& command, std::vector<Problem>& problems) : c_(command), s_(command.text), problems_(problems) {}

    void Read() {
        switch (c_.Letter()) {
        case 'A':
        case 'V':
        case 'v':
        case 'W':
        case 'n':
        case 'p':
            Skip(' ');
            if (!Number(c_.number)) return Fail("expected a number after <" + std::string(1, c_.Letter()));
            c_.hasNumber = true;
            return End();
        case 'l':
            if (!Variable()) return;
            return End();
        case 'N':
        case 'Q':
            if (!Variable()) return;
            Skip(' ');
            if (AtEnd()) return;
            c_.hotword = true;
            return Caption();
        case 'R':
        case 'r':
            return Set();
        case 'M':
        case 'g':
        case 'm':
            c_.hotword = true;
            Skip(' ');
            return Caption();
        case 'L':
        case 'd':
            return Chances();
        case 'S':
            return Answers();
        case 'O':
        case 'o':
            Skip(' ');
            c_.condition = s_.substr(pos_);
            c_.conditionOffset = c_.offset + 1 + pos_;
            return;
        case 's':
            if (!Slot()) return;
            return End();
        case 'u':
            if (!Slot()) return;
            Skip(' ');
            c_.hotword = true;
            if (!Expect('"', "expected the restart button's caption in double quotes")) return;
            c_.captionOffset = c_.offset + 1 + pos_;
            if (!Until('"', c_.caption)) return Fail("the caption's closing double quote is missing");
            c_.captionForm = CaptionForm::Quoted;
            Skip(' ');
            if (int t = 0; Number(t)) c_.targets.push_back(t);
            return End();
        case 'B': case 'C': case 'D': case 'E': case 'H': case 'J': case 'P': case 'T': case 'U':
        case 'Y': case 'a': case 'F': case 'G':
            Skip(' ');
            if (!AtEnd()) Warn("<" + std::string(1, c_.Letter()) + "> takes no arguments; \"" + s_.substr(pos_) + "\" is ignored");
            return;
        case '\0':
            return Warn("an empty command does nothing");
        default:
            return Warn("<" + std::string(1, c_.Letter()) + "> is not a command of the reader: it does nothing");
        }
    }

private:
    char Peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
    bool AtEnd() const { return pos_ >= s_.size(); }
    bool Skip(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    size_t Offset() const { return c_.offset + 1 + pos_; }
    void Fail(std::string message) { problems_.push_back({Offset(), Severity::Error, std::move(message)}); }
    void Warn(std::string message) { problems_.push_back({Offset(), Severity::Warning, std::move(message)}); }
    bool Expect(char c, const char* message) {
        if (Skip(c)) return true;
        Fail(message);
        return false;
    }

    // Reads "-digits" or "digits"; false (nothing read) when no digit stands there.
    bool Number(int& out) {
        size_t start = pos_;
        bool negative = Skip('-');
        if (Peek() < '0' || Peek() > '9') {
            pos_ = start;
            return false;
        }
        long value = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            value = std::min(value * 10 + (Peek() - '0'), 1000000L);
            ++pos_;
        }
        out = static_cast<int>(negative ? -value : value);
        return true;
    }

    // Reads up to the stop character and passes over it; false when it never comes.
    bool Until(char stop, std::string& out) {
        size_t end = s_.find(stop, pos_);
        if (end == std::string::npos) {
            out = s_.substr(pos_);
            pos_ = s_.size();
            return false;
        }
        out = s_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }

    void End() {
        Skip(' ');
        if (!AtEnd()) Fail("unexpected \"" + s_.substr(pos_) + "\" at the end of <" + std::string(1, c_.Letter()) + ">");
    }

    bool Variable() {
        Skip(' ');
        if (!Skip('%') || !Number(c_.variable)) {
            Fail("expected a variable (%name) after <" + std::string(1, c_.Letter()));
            return false;
        }
        return true;
    }

    bool Slot() {
        Skip(' ');
        if (!Skip('*') || !Number(c_.slot)) {
            Fail("expected a snapshot slot (*0 to *8) after <" + std::string(1, c_.Letter()));
            return false;
        }
        return true;
    }

    void Target(std::vector<int>& into, const char* what) {
        int t = 0;
        if (!Number(t)) return Fail(std::string("expected ") + what + " (@paragraph)");
        into.push_back(t);
    }

    // Reads a hotword's caption ("text", $picture or %variable) and its target.
    void Caption() {
        if (Skip('"')) {
            c_.captionForm = CaptionForm::Quoted;
            c_.captionOffset = Offset();
            if (!Until('"', c_.caption)) return Fail("the caption's closing double quote is missing");
        } else if (Peek() == '$' || Peek() == '%') {
            bool picture = Peek() == '$';
            ++pos_;
            c_.captionForm = picture ? CaptionForm::Picture : CaptionForm::Variable;
            if (!Number(c_.captionNumber)) return Fail(picture ? "expected a picture number after $" : "expected a variable after %");
        } else {
            return Fail("a hotword's caption is a text in double quotes, $picture or %variable: the reader makes no button "
                        "for this one, so it can never be chosen");
        }
        Skip(' ');
        Target(c_.targets, "the target");
        End();
    }

    void Set() {
        if (!Variable()) return;
        Skip(' ');
        if (Peek() == '-' && Peek(1) == '%') {
            pos_ += 2;
            c_.valueForm = '-';
            if (!Number(c_.value)) return Fail("expected a variable after -%");
        } else if (Skip('%')) {
            c_.valueForm = '%';
            if (!Number(c_.value)) return Fail("expected a variable after %");
        } else if (Skip('z')) {
            c_.valueForm = 'z';
        } else if (Number(c_.value)) {
            c_.valueForm = 'n';
        } else {
            return Fail("expected a value: a number, %variable, -%variable or z");
        }
        Skip(' ');
        if (AtEnd()) return;
        c_.hotword = true;
        Caption();
    }

    void Chances() {
        c_.hotword = true;
        c_.captionForm = CaptionForm::Quoted;
        Skip(' ');
        if (!Expect('"', "expected the caption in double quotes")) return;
        c_.captionOffset = Offset();
        if (!Until('"', c_.caption)) return Fail("the caption's closing double quote is missing");
        Skip(' ');
        if (!Expect('(', "expected a chance in parentheses, such as (50)")) return;
        for (;;) {
            int chance = 0;
            if (!Number(chance)) return Fail("expected a chance (a number)");
            c_.chances.push_back(chance);
            if (!Expect(')', "expected ')' after the chance")) return;
            Skip(' ');
            Target(c_.targets, "the chance's target");
            Skip(' ');
            if (c_.chances.size() == 3 || !Skip('(')) break;
        }
        ElseTarget();
    }

    void Answers() {
        c_.hotword = true;
        Skip(' ');
        if (!Expect('(', "expected an answer in parentheses")) return;
        for (;;) {
            std::string answer;
            c_.answerOffsets.push_back(Offset());
            if (!Until(')', answer)) return Fail("the answer's closing parenthesis is missing");
            c_.answers.push_back(answer);
            Skip(' ');
            Target(c_.targets, "the answer's target");
            Skip(' ');
            if (c_.answers.size() == 3 || !Skip('(')) break;
        }
        ElseTarget();
    }

    void ElseTarget() {
        if (int t = 0; Number(t)) {
            c_.elseTarget = t;
            End();
        } else if (AtEnd()) {
            Fail("the else target is missing: the reader would go to paragraph 1");
        } else {
            End();
        }
    }

    Command& c_;
    const std::string& s_;
    std::vector<Problem>& problems_;
    size_t pos_ = 1;
};

// ---------------------------------------------------------------------------------------
// The ways out of a command
// ---------------------------------------------------------------------------------------

std::string ChanceLabel(int percent) { return std::to_string(percent) + "%"; }

// Adds the targets of a chance hotword with the share of the draws that reach each, found
// by trying every roll as the reader compares it (chances cut to 8 bits, absent ones never
// applying).
void ChanceEdges(const Command& c, int index, std::vector<Edge>& edges) {
    bool percent = c.Letter() == 'd';
    int sides = percent ? 100 : 20;
    int8_t value = c.chances.empty() ? 0 : static_cast<int8_t>(c.chances[0]);
    int8_t chance2 = 0;
    int8_t chance3 = 0;
    if (percent && c.chances.size() >= 2) chance2 = static_cast<int8_t>(value + c.chances[1]);
    if (percent && c.chances.size() >= 3) chance3 = static_cast<int8_t>(chance2 + c.chances[2]);
    int counts[4] = {};
    for (int roll = 1; roll <= sides; ++roll) {
        if (roll <= value) ++counts[0];
        else if (percent && roll <= chance2) ++counts[1];
        else if (percent && roll <= chance3) ++counts[2];
        else ++counts[3];
    }
    auto add = [&](int stored, int count) {
        if (count > 0) edges.push_back({stored + 1, EdgeKind::Chance, ChanceLabel(count * 100 / sides), index});
    };
    for (size_t k = 0; k < 3 && k < c.targets.size(); ++k) add(c.targets[k], counts[k]);
    if (c.elseTarget >= 0) add(c.elseTarget, counts[3]);
}

std::string CaptionLabel(const Command& c) {
    switch (c.captionForm) {
    case CaptionForm::Quoted: return c.caption;
    case CaptionForm::Picture: return "$" + std::to_string(c.captionNumber);
    case CaptionForm::Variable: return "%" + std::to_string(c.captionNumber);
    case CaptionForm::None: break;
    }
    return "";
}

void CommandEdges(const Command& c, int index, const bookc::Book& book, std::vector<Edge>& edges) {
    switch (c.Letter()) {
    case 'M':
    case 'g':
    case 'm':
        for (int t : c.targets) edges.push_back({t + 1, EdgeKind::Choice, CaptionLabel(c), index});
        break;
    case 'N':
    case 'Q':
    case 'R':
    case 'r':
        if (c.hotword)
            for (int t : c.targets) edges.push_back({t + 1, EdgeKind::Item, CaptionLabel(c), index});
        break;
    case 'L':
    case 'd':
        ChanceEdges(c, index, edges);
        break;
    case 'S':
        for (size_t k = 0; k < c.targets.size() && k < c.answers.size(); ++k)
            edges.push_back({c.targets[k] + 1, EdgeKind::Answer, "\"" + c.answers[k] + "\"", index});
        if (c.elseTarget >= 0) edges.push_back({c.elseTarget + 1, EdgeKind::Answer, "any other answer", index});
        break;
    case 'u':
        if (c.slot >= 0 && c.slot < book::SlotCount)
            edges.push_back({book.slots[static_cast<size_t>(c.slot)].paragraph, EdgeKind::Restore, c.caption, index});
        break;
    case 'n':
    case 'p':
        if (c.hasNumber) edges.push_back({c.number + 1, EdgeKind::Arrow, c.Letter() == 'n' ? "next" : "previous", index});
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------
// Splitting the text as the scanner does
// ---------------------------------------------------------------------------------------

// Walks the paragraph's text once with the scanner's states, reading every block as if its
// condition held, and notes where the reader would lose or misread something.
class Splitter {
public:
    Splitter(ParagraphModel& p, const bookc::Book& book) : p_(p), book_(book) {}

    void Run() {
        const std::string& t = p_.text;
        for (size_t i = 0; i < t.size(); ++i) {
            char c = t[i];
            switch (c) {
            case '<': Open(i); break;
            case '>': Close(i); break;
            case '{': Brace(i); break;
            case '}': EndBrace(i); break;
            default: Plain(c, i); break;
            }
        }
        if (state_ == InCommand) Error(start_, "this command never ends: the reader does not run it");
        if (state_ == Await) Error(p_.commands[static_cast<size_t>(pending_)].offset, "a conditional command must be followed by its block { ... }");
        if (block_ >= 0) Error(p_.blocks[static_cast<size_t>(block_)].open, "this block is never closed with '}'");
    }

private:
    enum State { Before, InText, InCommand, Await };

    void Error(size_t at, std::string message) { p_.problems.push_back({at, Severity::Error, std::move(message)}); }
    void Warn(size_t at, std::string message) { p_.problems.push_back({at, Severity::Warning, std::move(message)}); }

    void Open(size_t i) {
        if (state_ == InCommand) Error(start_, "a '<' inside this command starts it again: the part before it is lost");
        if (state_ == Await) Error(p_.commands[static_cast<size_t>(pending_)].offset, "a conditional command must be followed by its block { ... }");
        state_ = InCommand;
        start_ = i;
        command_.clear();
    }

    void Close(size_t i) {
        if (state_ != InCommand) {
            Warn(i, "a '>' outside a command is never shown");
            return;
        }
        Command c;
        c.text = command_;
        c.offset = start_;
        c.title = title_;
        c.bold = bold_;
        c.block = block_;
        if (c.text.size() >= 400) Error(start_, "a command of 400 characters or more is too long for the reader");
        Arguments(c, p_.problems).Read();
        int index = static_cast<int>(p_.commands.size());
        switch (c.Letter()) {
        case 'H':
            title_ = true;
            p_.hasTitle = true;
            p_.title.clear();
            break;
        case 'J':
            title_ = false;
            break;
        case 'B': bold_ = true; break;
        case 'D': bold_ = false; break;
        case 'a':
            if (title_) TitleText(" ");
            break;
        case 'l':
            if (title_) p_.title.push_back({"", c.variable});
            break;
        default:
            break;
        }
        CommandEdges(c, index, book_, p_.edges);
        p_.commands.push_back(std::move(c));
        if (p_.commands.back().Conditional()) {
            state_ = Await;
            pending_ = index;
        } else {
            state_ = Before;
        }
    }

    void Brace(size_t i) {
        if (state_ == InCommand) {
            Error(i, "a '{' inside a command is dropped by the reader");
            return;
        }
        if (state_ != Await) {
            Error(i, "a block '{' must follow a conditional command (O, o, E or u)");
            return;
        }
        if (block_ >= 0) {
            Error(i, "blocks cannot nest: this '{' stands inside the block opened at column " +
                         std::to_string(p_.At(p_.blocks[static_cast<size_t>(block_)].open).column));
        }
        p_.blocks.push_back({pending_, i, std::string::npos});
        block_ = static_cast<int>(p_.blocks.size()) - 1;
        state_ = Before;
    }

    void EndBrace(size_t i) {
        if (state_ == InCommand) Error(start_, "a '}' inside this command abandons it: the reader does not run it");
        if (state_ == Await) Error(p_.commands[static_cast<size_t>(pending_)].offset, "a conditional command must be followed by its block { ... }");
        if (block_ < 0) {
            Error(i, "a '}' without an open block");
        } else {
            p_.blocks[static_cast<size_t>(block_)].close = i;
            block_ = -1;
        }
        state_ = Before;
    }

    void Plain(char c, size_t i) {
        switch (state_) {
        case InCommand:
            command_ += c;
            return;
        case Await:
            if (c == ' ') return;
            if (c >= '0' && c <= '9') {
                if (!skipWarned_) Warn(i, "skip digits before a block: write blocks that need no skipping");
                skipWarned_ = true;
                return;
            }
            Error(i, "text between a conditional command and its block is never shown");
            state_ = Before;  // reported once
            return;
        case Before:
            if (c == ' ') return;
            state_ = InText;
            [[fallthrough]];
        case InText:
            if (title_) TitleText(std::string(1, c));
            return;
        }
    }

    void TitleText(const std::string& s) {
        if (p_.title.empty() || p_.title.back().variable >= 0) p_.title.push_back({"", -1});
        p_.title.back().text += s;
    }

    ParagraphModel& p_;
    const bookc::Book& book_;
    State state_ = Before;
    size_t start_ = 0;
    std::string command_;
    int pending_ = -1;
    int block_ = -1;
    bool title_ = false;
    bool bold_ = false;
    bool skipWarned_ = false;
};

std::string ChapterName(const std::string& file) {
    std::filesystem::path path(file);
    return path.stem().string();
}

}  // namespace

bool LoadSourceBook(const std::filesystem::path& folder, bool fixture, SourceBook& out, std::string& errors) {
    // Places are shown relative to the working folder when the book lies inside it.
    std::error_code error;
    std::filesystem::path shown = folder.lexically_proximate(std::filesystem::current_path(error));
    if (error || shown.empty() || *shown.begin() == "..") shown = folder;
    out.folder = shown;
    out.fixture = fixture;
    bookc::Diagnostics diagnostics;
    bookc::Options options;
    options.fixture = fixture;
    if (!bookc::ReadBook(shown, options, out.book, diagnostics)) {
        errors = diagnostics.Text();
        return false;
    }
    std::vector<int> chapterOfFile(out.book.files.size(), -1);
    for (const bookc::Paragraph& source : out.book.paragraphs) {
        ParagraphModel p;
        p.number = source.number;
        p.ending = source.ending;
        p.source = &source;
        size_t file = static_cast<size_t>(std::max(source.header.file, 0));
        if (file < chapterOfFile.size()) {
            if (chapterOfFile[file] < 0) {
                chapterOfFile[file] = static_cast<int>(out.chapters.size());
                out.chapters.push_back(ChapterName(out.book.files[file]));
            }
            p.chapter = chapterOfFile[file];
        }
        for (const bookc::Word& word : source.words) {
            p.wordStarts.push_back(p.text.size());
            p.text += word.text;
            p.text += ' ';
        }
        Splitter(p, out.book).Run();
        out.indexOf[static_cast<size_t>(p.number)] = static_cast<int>(out.paragraphs.size());
        out.paragraphs.push_back(std::move(p));
    }
    return true;
}

}  // namespace mwtool
