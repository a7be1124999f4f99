// Checks the design of The Mirewood Vow before and while it is written: the paragraph map
// (docs/book/map.txt), the variables file, the book facts and the paragraphs written so far
// must fit the shape the reader expects and stay in step with each other. Needs no engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string Source = MIREWOOD_SOURCE_DIR;
constexpr int ParagraphCount = 713;

struct Exit {
    std::string action;  // choice, story, aside, next, prev, take, drop, set, add, chance, answer, restore
    std::string arg;     // what stands between the parentheses
    std::string guard;   // empty when the exit is always offered
    std::vector<int> targets;
};

struct Paragraph {
    int number = 0;
    std::string chapter, title, vars, end;
    std::vector<Exit> exits;
    std::vector<std::string> pictures, sounds;
};

struct Variable {
    int number = 0;
    std::string shortName, name, kind;
    int low = 0, high = 0, description = 0;
    std::vector<std::string> values;
};

struct Facts {
    std::map<int, int> slots;  // slot -> paragraph
    std::vector<std::string> sounds;
    std::map<int, std::vector<int>> pictures;  // number -> bitmap, width, height
};

std::string Trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = s.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(Trim(s.substr(start, at - start)));
    parts.push_back(Trim(s.substr(start)));
    return parts;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() == 1 && words[0] == "-") words.clear();
    return words;
}

// Returns the lines of a file of the source tree that are neither blank nor comments.
std::vector<std::string> ContentLines(const std::string& path) {
    std::ifstream in(Source + "/" + path);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const std::string t = Trim(line);
        if (!t.empty() && t[0] != '#') lines.push_back(line);
    }
    return lines;
}

bool IsStory(int p) { return p == 2 || (p >= 180 && p <= ParagraphCount); }
bool HasText(int p) { return p >= 2 && p <= ParagraphCount && (p < 8 || p > 10); }

// Reads "action(arg)?guard:t1/t2"; the guard may hold parentheses, the targets never do.
bool ParseExit(const std::string& token, Exit& exit) {
    static const std::regex form(R"(^([a-z]+)(?:\(([^)]*)\))?(?:\?(.+))?:([0-9]+(?:/[0-9]+)*)$)");
    std::smatch m;
    if (!std::regex_match(token, m, form)) return false;
    exit.action = m[1];
    exit.arg = m[2];
    exit.guard = m[3];
    for (const std::string& t : Split(m[4], "/")) exit.targets.push_back(std::stoi(t));
    return true;
}

const std::vector<Variable>& Variables() {
    static const std::vector<Variable> variables = [] {
        std::vector<Variable> out;
        for (const std::string& line : ContentLines("book/mirewood/variables.txt")) {
            const auto f = Split(line, "|");
            if (f.size() != 7) {
                ADD_FAILURE() << "variable record without seven fields: " << line;
                continue;
            }
            Variable v;
            v.number = std::stoi(f[0]);
            v.shortName = f[1];
            v.name = f[2];
            v.kind = f[3];
            if (v.kind == "number") {
                const auto dots = f[4].find("..");
                v.low = std::stoi(f[4].substr(0, dots));
                v.high = std::stoi(f[4].substr(dots + 2));
            }
            v.description = f[5].size() > 1 ? std::stoi(f[5].substr(1)) : 0;
            if (!f[6].empty()) v.values = Split(f[6], ";");
            if (v.kind == "text" || v.kind == "picture") v.high = static_cast<int>(v.values.size()) - 1;
            out.push_back(v);
        }
        return out;
    }();
    return variables;
}

const Variable* FindVariable(const std::string& shortName) {
    for (const Variable& v : Variables())
        if (v.shortName == shortName) return &v;
    return nullptr;
}

// Reports every name in an expression (a guard, an argument) that is not a story variable.
void ExpectKnownNames(const std::string& text, const std::string& where) {
    static const std::regex name(R"([a-z_][a-z0-9_]*)");
    for (std::sregex_iterator it(text.begin(), text.end(), name), end; it != end; ++it) {
        const std::string n = it->str();
        if (n != "else") {
            EXPECT_NE(FindVariable(n), nullptr) << where << ": unknown variable " << n;
        }
    }
}

const std::map<int, Paragraph>& Map() {
    static const std::map<int, Paragraph> map = [] {
        std::map<int, Paragraph> out;
        for (const std::string& line : ContentLines("docs/book/map.txt")) {
            const auto f = Split(line, " | ");
            if (f.size() != 9) {
                ADD_FAILURE() << "map line without nine fields: " << line.substr(0, 60);
                continue;
            }
            Paragraph p;
            p.number = std::stoi(f[0]);
            p.chapter = f[1];
            p.title = f[2];
            for (const std::string& token : Words(f[4])) {
                Exit e;
                if (ParseExit(token, e))
                    p.exits.push_back(e);
                else
                    ADD_FAILURE() << "paragraph " << p.number << ": malformed exit " << token;
            }
            p.vars = f[5];
            p.pictures = Words(f[6]);
            p.sounds = Words(f[7]);
            p.end = f[8];
            if (out.count(p.number)) ADD_FAILURE() << "paragraph " << p.number << " mapped twice";
            out[p.number] = p;
        }
        return out;
    }();
    return map;
}

const Facts& BookFacts() {
    static const Facts facts = [] {
        Facts out;
        static const std::regex picture(R"(^picture (\d+) (\d+) (\d+)x(\d+)$)");
        for (const std::string& line : ContentLines("book/mirewood/book.facts")) {
            const auto w = Words(line);
            std::smatch m;
            if (w[0] == "slot" && w.size() >= 3 && w[2][0] == '@')
                out.slots[std::stoi(w[1])] = std::stoi(w[2].substr(1));
            else if (w[0] == "sound" && w.size() == 3)
                out.sounds.push_back(w[2]);
            else if (std::regex_match(line, m, picture))
                out.pictures[std::stoi(m[1])] = {std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
        }
        return out;
    }();
    return facts;
}

// Returns the paragraphs reached from the given ones by following every exit.
std::set<int> Reached(const std::vector<int>& roots) {
    std::set<int> seen(roots.begin(), roots.end());
    std::vector<int> work(roots.begin(), roots.end());
    while (!work.empty()) {
        const int p = work.back();
        work.pop_back();
        const auto it = Map().find(p);
        if (it == Map().end()) continue;
        for (const Exit& e : it->second.exits)
            for (int t : e.targets)
                if (seen.insert(t).second) work.push_back(t);
    }
    return seen;
}

TEST(BookDesign, MapHasOneLinePerParagraphInItsFixedRole) {
    ASSERT_EQ(Map().size(), static_cast<size_t>(ParagraphCount));
    ASSERT_EQ(Map().begin()->first, 1);
    ASSERT_EQ(Map().rbegin()->first, ParagraphCount);
    for (const auto& [n, p] : Map()) {
        std::string role = n == 1 ? "none" : n == 2 ? "0" : n <= 7 ? "role" : n <= 10 ? "empty" : n <= 179 ? "desc" : "";
        if (role.empty()) {
            const int chapter = std::atoi(p.chapter.c_str());
            EXPECT_TRUE(chapter >= 1 && chapter <= 12 && std::to_string(chapter) == p.chapter) << n << ": chapter " << p.chapter;
        } else {
            EXPECT_EQ(p.chapter, role) << n;
        }
        EXPECT_FALSE(p.title.empty()) << n;
        EXPECT_LE(p.title.size(), 28u) << n << ": title too long to fit the screen: " << p.title;
    }
}

TEST(BookDesign, ExitsAreWellFormedAndLeadToParagraphsWithText) {
    static const std::regex answer(R"([A-Z_]{1,11})");
    static const std::regex chance(R"((20|100):(\d+)(?:,(\d+))?(?:,(\d+))?)");
    for (const auto& [n, p] : Map()) {
        const std::string where = "paragraph " + std::to_string(n);
        for (const Exit& e : p.exits) {
            size_t want = 1;
            if (e.action == "chance") {
                std::smatch m;
                ASSERT_TRUE(std::regex_match(e.arg, m, chance)) << where << ": chance(" << e.arg << ")";
                int sum = 0;
                want = 1;
                for (size_t i = 2; i < m.size(); ++i)
                    if (m[i].matched) sum += std::stoi(m[i]), ++want;
                EXPECT_LE(sum, std::stoi(m[1])) << where;
                EXPECT_TRUE(m[1] == "100" || want == 2) << where << ": a draw out of 20 has one chance";
            } else if (e.action == "answer") {
                const auto answers = Split(e.arg, ",");
                want = answers.size() + 1;
                EXPECT_LE(answers.size(), 3u) << where;
                for (const std::string& a : answers) EXPECT_TRUE(std::regex_match(a, answer)) << where << ": answer " << a;
            } else if (e.action == "take" || e.action == "drop" || e.action == "set" || e.action == "add") {
                ExpectKnownNames(e.arg, where);
            } else if (e.action == "restore") {
                EXPECT_EQ(n, 3) << where << ": restart offers belong on the restart page";
            } else {
                static const std::set<std::string> plain = {"choice", "story", "aside", "next", "prev"};
                EXPECT_TRUE(plain.count(e.action)) << where << ": unknown action " << e.action;
            }
            EXPECT_EQ(e.targets.size(), want) << where << ": " << e.action << " needs " << want << " targets";
            ExpectKnownNames(e.guard, where);
            for (int t : e.targets) EXPECT_TRUE(HasText(t)) << where << ": exit to " << t << ", which has no text";
        }
    }
}

TEST(BookDesign, EveryParagraphIsReachable) {
    const std::set<int> play = Reached({2});
    const std::set<int> menu = Reached({3, 4, 5, 6, 7});
    for (int p = 2; p <= ParagraphCount; ++p) {
        if (IsStory(p)) {
            EXPECT_TRUE(play.count(p)) << "story paragraph " << p << " is never reached in play";
        } else if (HasText(p)) {
            EXPECT_TRUE(menu.count(p)) << "paragraph " << p << " is never reached from the menu";
        }
    }
    // The inventory buttons lead to every variable's page, so the pages are found from 6.
    const std::set<int> fromInformation = Reached({6});
    for (const Variable& v : Variables()) {
        EXPECT_TRUE(fromInformation.count(v.description)) << v.shortName << ": its page is not reached from 6";
    }
}

TEST(BookDesign, OnlyMarkedEndingsEndTheStory) {
    std::map<std::string, int> endings;
    for (const auto& [n, p] : Map()) {
        if (!IsStory(n)) {
            EXPECT_EQ(p.end, "-") << n;
            continue;
        }
        if (p.end != "-") {
            ++endings[p.end];
            for (const Exit& e : p.exits) {
                EXPECT_TRUE(e.action == "aside" || e.action == "prev") << n << ": an ending leads on with " << e.action;
            }
            continue;
        }
        // A way on whatever the state: an exit without a guard, a chain's else, a draw or an
        // answer box (which always has an else target), or two exits guarded by g and !g.
        bool storyExit = false, fallback = false;
        std::set<std::string> guards;
        for (const Exit& e : p.exits) {
            for (int t : e.targets) storyExit |= IsStory(t);
            fallback |= e.guard.empty() || e.guard == "else" || e.action == "chance" || e.action == "answer";
            guards.insert(e.guard);
        }
        for (const std::string& g : guards) fallback |= !g.empty() && guards.count("!" + g);
        EXPECT_TRUE(storyExit) << "paragraph " << n << " is a dead end";
        EXPECT_TRUE(fallback) << "paragraph " << n << " may offer no way on";
    }
    EXPECT_EQ(endings["end:best"], 1);
    EXPECT_GE(endings["end:good"], 3);
    EXPECT_GE(endings["end:bad"], 10);
    EXPECT_EQ(endings.size(), 3u) << "end marks are end:bad, end:good and end:best";
}

TEST(BookDesign, VariablesHaveTheBooksMix) {
    const auto& vars = Variables();
    ASSERT_EQ(vars.size(), 179u);
    int items = 0, texts = 0, numbers = 0, pictures = 0, belowZero = 0;
    std::set<int> listLengths, descriptions;
    std::set<std::string> names;
    for (size_t i = 0; i < vars.size(); ++i) {
        const Variable& v = vars[i];
        EXPECT_EQ(v.number, static_cast<int>(i));
        EXPECT_TRUE(names.insert(v.shortName).second) << v.shortName << " twice";
        EXPECT_NE(v.name, "Character") << "the reader gives that name a meaning of its own";
        EXPECT_TRUE(v.description >= 11 && v.description <= 179) << v.shortName;
        descriptions.insert(v.description);
        if (v.kind == "item") {
            ++items;
            EXPECT_TRUE(v.values.empty()) << v.shortName;
        } else if (v.kind == "text") {
            ++texts;
            listLengths.insert(static_cast<int>(v.values.size()));
            EXPECT_TRUE(v.values.size() >= 1 && v.values.size() <= 16) << v.shortName;
        } else if (v.kind == "number") {
            ++numbers;
            EXPECT_TRUE(v.high + 1 >= 3 && v.high + 1 <= 501) << v.shortName;
            EXPECT_TRUE(v.low == 0 || v.low == -1) << v.shortName;
            belowZero += v.low == -1;
        } else if (v.kind == "picture") {
            ++pictures;
            const size_t n = v.values.size();
            EXPECT_TRUE(n == 7 || n == 8 || n == 10) << v.shortName << " lists " << n << " pictures";
            for (const std::string& pic : v.values) EXPECT_TRUE(std::stoi(pic) >= 2 && std::stoi(pic) <= 164) << v.shortName;
        } else {
            ADD_FAILURE() << v.shortName << ": kind " << v.kind;
        }
    }
    EXPECT_EQ(items, 119);
    EXPECT_EQ(texts, 33);
    EXPECT_EQ(numbers, 16);
    EXPECT_EQ(pictures, 11);
    EXPECT_EQ(belowZero, 2);
    EXPECT_TRUE(listLengths.count(1) && listLengths.count(16)) << "text lists run from 1 to 16 texts";
    EXPECT_EQ(descriptions.size(), 169u) << "every page 11 to 179 describes a variable";
    int lowest = 501, highest = 0;
    for (const Variable& v : vars)
        if (v.kind == "number") lowest = std::min(lowest, v.high + 1), highest = std::max(highest, v.high + 1);
    EXPECT_EQ(lowest, 3);
    EXPECT_EQ(highest, 501);
}

// Splits a variables-column token (+v, -v, ?v, *k, v=x, v^n, v_n, each perhaps with
// ?guard) into its variable, operator and value; the operator is empty for the first four.
struct VarsToken {
    std::string prefix, name, op, value, guard;
};

VarsToken ParseVarsToken(std::string token) {
    VarsToken t;
    if (!token.empty() && std::string("+-?*").find(token[0]) != std::string::npos) {
        t.prefix = token.substr(0, 1);
        token.erase(0, 1);
    }
    if (const auto q = token.find('?'); q != std::string::npos) {
        t.guard = token.substr(q + 1);
        token.erase(q);
    }
    const auto op = token.find_first_of("=^");
    static const std::regex lowered(R"(^(.+)_(-?\d+)$)");
    std::smatch m;
    if (op != std::string::npos) {
        t.name = token.substr(0, op);
        t.op = token.substr(op, 1);
        t.value = token.substr(op + 1);
    } else if (!FindVariable(token) && std::regex_match(token, m, lowered)) {
        t.name = m[1];
        t.op = "_";
        t.value = m[2];
    } else {
        t.name = token;
    }
    return t;
}

bool IsNumber(const std::string& s) {
    return !s.empty() && (std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-');
}

TEST(BookDesign, MapChangesVariablesWithinTheirBounds) {
    auto checkValue = [](const Variable* v, const std::string& value, const std::string& where) {
        if (!v || !IsNumber(value)) return;
        EXPECT_NE(v->kind, "item") << where << ": " << v->shortName << " is held or not, it has no value";
        const int x = std::stoi(value);
        EXPECT_TRUE(x >= v->low && x <= v->high) << where << ": " << v->shortName << " cannot hold " << x;
    };
    for (const auto& [n, p] : Map()) {
        const std::string where = "paragraph " + std::to_string(n);
        for (const std::string& token : Words(p.vars)) {
            const VarsToken t = ParseVarsToken(token);
            ExpectKnownNames(t.guard, where);
            if (t.prefix == "*") continue;
            const Variable* v = FindVariable(t.name);
            EXPECT_NE(v, nullptr) << where << ": unknown variable in " << token;
            if (!t.value.empty() && !IsNumber(t.value)) {
                EXPECT_NE(FindVariable(t.value), nullptr) << where << ": " << token;
            }
            checkValue(v, t.value, where);
        }
        for (const Exit& e : p.exits) {
            if (e.action != "set") continue;
            const auto eq = e.arg.find('=');
            checkValue(FindVariable(e.arg.substr(0, eq)), e.arg.substr(eq + 1), where);
        }
    }
}

TEST(BookDesign, RestartPointsAreSavedWhereTheSlotsSay) {
    const std::map<int, int> expected = {{0, 180}, {1, 471}, {2, 448}, {3, 560}, {4, 609},
                                         {5, 524}, {6, 660}, {7, 2},   {8, 579}};
    EXPECT_EQ(BookFacts().slots, expected);
    std::map<int, int> saved, offered;
    for (const auto& [n, p] : Map()) {
        for (const std::string& t : Words(p.vars)) {
            if (t[0] != '*') continue;
            const int slot = std::stoi(t.substr(1));
            EXPECT_FALSE(saved.count(slot)) << "slot " << slot << " saved twice";
            saved[slot] = n;
        }
        for (const Exit& e : p.exits)
            if (e.action == "restore") offered[std::stoi(e.arg)] = e.targets[0];
    }
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(offered, expected) << "the restart page offers every slot, each leading where it was saved";
}

TEST(BookDesign, PicturesAndSoundsAreCompleteAndUsed) {
    const Facts& facts = BookFacts();
    ASSERT_EQ(facts.pictures.size(), 165u);
    for (const auto& [n, entry] : facts.pictures) {
        const int bitmap = n == 0 ? 1100 : n == 1 ? 1864 : 1699 + n;
        EXPECT_EQ(entry[0], bitmap) << "picture " << n;
        EXPECT_TRUE(entry[1] >= 40 && entry[1] <= 227 && entry[2] >= 46 && entry[2] <= 397) << "picture " << n << " size";
    }
    ASSERT_EQ(facts.sounds.size(), 39u);
    static const std::regex soundName(R"([A-Z0-9_]{1,18})");
    std::set<std::string> sounds(facts.sounds.begin(), facts.sounds.end());
    EXPECT_EQ(sounds.size(), 39u) << "sound names are all different";
    for (const std::string& s : facts.sounds) EXPECT_TRUE(std::regex_match(s, soundName)) << s;

    std::set<int> shown;
    std::set<std::string> played;
    for (const Variable& v : Variables())
        if (v.kind == "picture")
            for (const std::string& pic : v.values) shown.insert(std::stoi(pic));
    for (const auto& [n, p] : Map()) {
        for (const std::string& pic : p.pictures) {
            if (pic[0] == '%') {
                const Variable* v = FindVariable(pic.substr(1));
                EXPECT_TRUE(v && v->kind == "picture") << n << ": " << pic;
            } else {
                EXPECT_TRUE(facts.pictures.count(std::stoi(pic))) << n << ": picture " << pic;
                shown.insert(std::stoi(pic));
            }
        }
        EXPECT_LE(p.sounds.size(), 4u) << n;
        for (const std::string& s : p.sounds) {
            EXPECT_TRUE(sounds.count(s)) << n << ": sound " << s;
            played.insert(s);
        }
    }
    for (int pic = 2; pic <= 164; ++pic) EXPECT_TRUE(shown.count(pic)) << "picture " << pic << " is never shown";
    EXPECT_EQ(played, sounds) << "every sound plays somewhere";
}

TEST(BookDesign, WrittenParagraphsFollowTheMap) {
    static const std::regex header(R"(^===\s*(\d+)(\s+ending)?\s*$)");
    static const std::regex command(R"(<([A-Za-z])([^>]*)>)");
    static const std::regex target(R"(@(\d+))");
    std::map<int, std::string> texts;
    std::map<int, bool> endingMarks;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(Source + "/book/mirewood/text"))
        if (entry.path().extension() == ".mw") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file);
        int current = 0;
        for (std::string line; std::getline(in, line);) {
            std::smatch m;
            if (std::regex_match(line, m, header)) {
                current = std::stoi(m[1]);
                endingMarks[current] = m[2].matched;
                texts[current];
            } else if (current && Trim(line).rfind('#', 0) != 0) {
                texts[current] += line + " ";
            }
        }
    }
    ASSERT_FALSE(texts.empty());
    for (int p = 2; p <= 10; ++p) EXPECT_TRUE(texts.count(p)) << "paragraph " << p << " is not written";
    for (const auto& [n, text] : texts) {
        const auto it = Map().find(n);
        ASSERT_NE(it, Map().end()) << n;
        const Paragraph& p = it->second;
        EXPECT_EQ(endingMarks[n], p.end != "-") << n << ": the ending mark differs from the map";
        std::set<int> mapped;
        for (const Exit& e : p.exits) mapped.insert(e.targets.begin(), e.targets.end());
        for (std::sregex_iterator c(text.begin(), text.end(), command), end; c != end; ++c) {
            const std::string args = (*c)[2];
            for (std::sregex_iterator t(args.begin(), args.end(), target), none; t != none; ++t) {
                EXPECT_TRUE(mapped.count(std::stoi((*t)[1]))) << n << ": written exit to " << (*t)[1] << " is not in the map";
            }
        }
        const auto h = text.find("<H>"), j = text.find("<J>");
        if (h != std::string::npos && j != std::string::npos && text.find('<', h + 3) == j) {
            EXPECT_EQ(text.substr(h + 3, j - h - 3), p.title) << n;
        }
    }
}

TEST(BookDesign, EveryVariableHasItsPurposeWritten) {
    std::ifstream in(Source + "/docs/book/variables.md");
    ASSERT_TRUE(in.good());
    std::set<std::string> rows;
    static const std::regex row(R"(^\| (\d+) \| `([a-z_0-9]+)` \|)");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, row)) rows.insert(m[1].str() + " " + m[2].str());
    }
    for (const Variable& v : Variables()) {
        EXPECT_TRUE(rows.count(std::to_string(v.number) + " " + v.shortName)) << v.shortName << " has no purpose line";
    }
}

}  // namespace
