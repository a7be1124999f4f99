// Reads a book folder into the Book model: decodes UTF-8 into Windows-1252 line by line,
// parses the variable records and the facts, and splits paragraphs into stored words.
// Called by bookc and the authoring tools through ReadBook.
#include "tools/bookc/source.h"

#include <iconv.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <string_view>

namespace bookc {

namespace fs = std::filesystem;

void Diagnostics::Error(const Book& book, Location where, std::string message) {
    if (Full()) return;
    std::string text;
    if (where.file >= 0 && where.file < static_cast<int>(book.files.size())) {
        text += book.files[static_cast<size_t>(where.file)];
        if (where.line > 0) text += ':' + std::to_string(where.line) + ':' + std::to_string(where.column);
        text += ": ";
    } else {
        text += "bookc: ";
    }
    messages_.push_back({where, text + "error: " + message + '\n'});
}

std::string Diagnostics::Text() const {
    // Files are read in a fixed order, but a file's bad characters are found before its
    // records are parsed: sort so that every file reads from top to bottom.
    auto key = [](const Message& m) {
        return std::pair(m.where.file < 0 ? INT_MAX : m.where.file,
                         m.where.line == 0 ? INT_MAX : m.where.line);
    };
    std::vector<Message> sorted = messages_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Message& a, const Message& b) { return key(a) < key(b); });
    std::string text;
    for (const Message& m : sorted) text += m.text;
    if (Full()) text += "bookc: error: too many errors, stopping\n";
    return text;
}

namespace {

// ===== Reading lines ======================================================================

struct Line {
    int number;
    std::string text;  // Windows-1252, line end removed
};

constexpr std::string_view Blanks = " \t";
constexpr size_t MaxParagraphLength = 6419;  // the reader's paragraph buffer, less its zero

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_';
}

std::string_view Trim(std::string_view s) {
    size_t first = s.find_first_not_of(Blanks);
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(Blanks);
    return s.substr(first, last - first + 1);
}

bool IsComment(std::string_view raw) {
    size_t first = raw.find_first_not_of(Blanks);
    return first != std::string_view::npos && raw[first] == '#';
}

// Converts UTF-8 to Windows-1252 with the C library's converter.
class Converter {
public:
    Converter() : cd_(iconv_open("WINDOWS-1252", "UTF-8")) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ready() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts raw into out; returns the byte offset in raw where conversion failed, or
    // npos when the whole line converted.
    size_t Convert(std::string_view raw, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(raw.size(), '\0');  // Windows-1252 never needs more bytes than UTF-8
        char* in = const_cast<char*>(raw.data());
        size_t inLeft = raw.size();
        char* dst = out.data();
        size_t outLeft = out.size();
        size_t result = iconv(cd_, &in, &inLeft, &dst, &outLeft);
        out.resize(out.size() - outLeft);
        if (result == static_cast<size_t>(-1)) return static_cast<size_t>(in - raw.data());
        return std::string_view::npos;
    }

private:
    iconv_t cd_;
};

// Describes the character at raw[at] for an error message: its code point when it is well
// formed UTF-8, otherwise that the bytes are not UTF-8.
std::string DescribeBadCharacter(std::string_view raw, size_t at) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(raw[i]); };
    unsigned lead = byte(at);
    int length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (lead < 0x80 || length == 0 || at + static_cast<size_t>(length) > raw.size()) return "invalid UTF-8";
    unsigned code = lead & (0x7Fu >> length);
    for (int i = 1; i < length; ++i) {
        unsigned next = byte(at + static_cast<size_t>(i));
        if ((next & 0xC0) != 0x80) return "invalid UTF-8";
        code = (code << 6) | (next & 0x3F);
    }
    char text[48];
    std::snprintf(text, sizeof text, "character U+%04X has no Windows-1252 byte", code);
    return text;
}

std::string DescribeControl(char c) {
    if (c == '\0') return "zero byte";
    if (c == '\t') return "tab in paragraph text (use blanks)";
    char text[32];
    std::snprintf(text, sizeof text, "control character 0x%02X", static_cast<unsigned char>(c));
    return text;
}

// Counts characters, not bytes, up to raw[at], from column 1.
int ColumnOf(std::string_view raw, size_t at) {
    int column = 1;
    for (size_t i = 0; i < at && i < raw.size(); ++i)
        if ((static_cast<unsigned char>(raw[i]) & 0xC0) != 0x80) ++column;
    return column;
}

// Reads a file's lines without comments, converted to Windows-1252; a line with a bad
// character is reported and left out. Tabs are allowed only where allowTab is set. Returns
// false when the file cannot be opened.
bool ReadLines(const fs::path& path, int file, bool allowTab, Converter& converter, Book& book,
               Diagnostics& diagnostics, std::vector<Line>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string raw;
    std::string converted;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (number == 1 && raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
        if (IsComment(raw)) continue;
        size_t bad = converter.Convert(raw, converted);
        if (bad != std::string_view::npos) {
            diagnostics.Error(book, {file, number, ColumnOf(raw, bad)}, DescribeBadCharacter(raw, bad));
            continue;
        }
        auto control = std::find_if(converted.begin(), converted.end(), [&](char c) {
            auto byte = static_cast<unsigned char>(c);
            return (byte < 0x20 && !(c == '\t' && allowTab)) || byte == 0x7F;
        });
        if (control != converted.end()) {
            diagnostics.Error(book, {file, number, static_cast<int>(control - converted.begin()) + 1},
                              DescribeControl(*control));
            continue;
        }
        lines.push_back({number, converted});
    }
    return true;
}

int AddFile(Book& book, const fs::path& path) {
    book.files.push_back(path.string());
    return static_cast<int>(book.files.size()) - 1;
}

// Parses a whole string as a decimal integer (an optional minus, then digits).
bool ParseInt(std::string_view s, int& value) {
    if (s.empty()) return false;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

bool IsDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

// Parses a whole string of digits (no sign) and checks that it lies in lo..hi.
bool ParseNumberIn(std::string_view s, int lo, int hi, int& value) {
    return IsDigits(s) && ParseInt(s, value) && value >= lo && value <= hi;
}

std::string Quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

// ===== Variables ===========================================================================

struct Field {
    std::string_view text;
    int column;
};

// Splits a record at separator, trimming blanks around each field.
std::vector<Field> SplitFields(std::string_view line, char separator, int firstColumn = 1) {
    std::vector<Field> fields;
    size_t start = 0;
    while (true) {
        size_t end = line.find(separator, start);
        std::string_view raw = line.substr(start, end == std::string_view::npos ? end : end - start);
        size_t lead = raw.find_first_not_of(Blanks);
        int column = firstColumn + static_cast<int>(start + (lead == std::string_view::npos ? 0 : lead));
        fields.push_back({Trim(raw), column});
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return fields;
}

void ReadVariables(const std::vector<Line>& lines, int file, Book& book, Diagnostics& diagnostics) {
    std::map<std::string, int, std::less<>> shortNames;
    for (const Line& line : lines) {
        if (diagnostics.Full()) return;
        if (Trim(line.text).empty()) continue;
        std::vector<Field> f = SplitFields(line.text, '|');
        auto at = [&](const Field& field) { return Location{file, line.number, field.column}; };
        auto fail = [&](const Field& field, const std::string& message) {
            diagnostics.Error(book, at(field), message);
        };
        if (f.size() < 6 || f.size() > 7) {
            diagnostics.Error(
                book, {file, line.number, 1},
                "a variable record has 6 or 7 fields separated by '|', found " + std::to_string(f.size()));
            continue;
        }
        Variable v;
        v.defined = true;
        v.where = at(f[0]);
        int number = 0;
        if (!ParseNumberIn(f[0].text, 0, book::VariableCount - 1, number)) {
            fail(f[0], "variable number must be 0 to 178, not " + Quoted(f[0].text));
            continue;
        }
        if (f[1].text.empty() || !IsLetter(f[1].text[0]) ||
            !std::all_of(f[1].text.begin(), f[1].text.end(), IsNameChar)) {
            fail(f[1], "short name must be a letter followed by letters, digits and underscores, not " +
                           Quoted(f[1].text));
        } else if (auto seen = shortNames.find(f[1].text); seen != shortNames.end()) {
            fail(f[1], "short name " + Quoted(f[1].text) + " already used by variable " +
                           std::to_string(seen->second));
        } else {
            v.shortName = f[1].text;
        }
        if (f[2].text.empty()) {
            fail(f[2], "variable name is empty");
        }
        v.name = f[2].text;

        std::string_view kind = f[3].text;
        bool list = kind == "text" || kind == "picture";
        if (kind == "item" || kind == "text") {
            v.kind = book::TextChoice;
        } else if (kind == "number") {
            v.kind = book::NumberValue;
        } else if (kind == "picture") {
            v.kind = book::PictureChoice;
        } else {
            fail(f[3], "kind must be item, text, number or picture, not " + Quoted(kind));
        }

        std::string_view bounds = f[4].text;
        if (kind == "number") {
            size_t dots = bounds.find("..");
            int lo = 0;
            int hi = 0;
            if (dots == std::string_view::npos || !ParseInt(Trim(bounds.substr(0, dots)), lo) ||
                !ParseInt(Trim(bounds.substr(dots + 2)), hi) || lo < -32768 || hi > 32766 || lo > hi) {
                fail(f[4],
                     "bounds must be min..max with -32768 <= min <= max <= 32766, not " + Quoted(bounds));
            }
            v.lowerBound = lo;
            v.upperBound = hi + 1;
        } else if (!bounds.empty()) {
            fail(f[4], "bounds are given only for a number");
        }

        std::string_view description = f[5].text;
        if (!description.starts_with('@') ||
            !ParseNumberIn(description.substr(1), 11, 179, v.descriptionParagraph)) {
            fail(f[5], "description must be @11 to @179, not " + Quoted(description));
        }

        Field values = f.size() == 7 ? f[6] : Field{{}, static_cast<int>(line.text.size()) + 1};
        if (!list) {
            if (!values.text.empty()) {
                fail(values, "only a text or picture variable has values");
            }
        } else {
            std::vector<Field> items =
                values.text.empty() ? std::vector<Field>{} : SplitFields(values.text, ';', values.column);
            size_t limit = kind == "text" ? 16 : 256;
            if (items.empty() || items.size() > limit) {
                fail(values, "a " + std::string(kind) + " variable has 1 to " + std::to_string(limit) +
                                 " values, found " + std::to_string(items.size()));
            }
            for (const Field& item : items) {
                if (kind == "text") {
                    if (item.text.empty()) {
                        fail(item, "empty text in the value list");
                        break;
                    }
                    v.texts.emplace_back(item.text);
                } else {
                    int picture = 0;
                    if (!ParseNumberIn(item.text, 0, book::PictureCount - 1, picture)) {
                        fail(item, "picture number must be 0 to 164, not " + Quoted(item.text));
                        break;
                    }
                    v.pictures.push_back(picture);
                }
            }
            v.upperBound = static_cast<int>(items.size());
        }

        Variable& entry = book.variables[static_cast<size_t>(number)];
        if (entry.defined) {
            fail(f[0], "variable " + std::to_string(number) + " defined twice (first on line " +
                           std::to_string(entry.where.line) + ")");
            continue;
        }
        // A record with a bad field is kept, so its name does not cause further errors.
        if (!v.shortName.empty()) shortNames.emplace(v.shortName, number);
        entry = std::move(v);
    }
}

// ===== Facts ===============================================================================

struct Token {
    std::string_view text;  // quotes included for a quoted token
    int column;
};

// Splits a facts line into blank-separated tokens; a quoted token runs to its closing quote.
bool Tokenize(const Line& line, int file, Book& book, Diagnostics& diagnostics, std::vector<Token>& tokens) {
    std::string_view s = line.text;
    size_t i = 0;
    while (i < s.size()) {
        if (IsBlank(s[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        if (s[i] == '"') {
            size_t close = s.find('"', i + 1);
            if (close == std::string_view::npos) {
                diagnostics.Error(book, {file, line.number, static_cast<int>(i) + 1}, "unterminated quote");
                return false;
            }
            i = close + 1;
        } else {
            while (i < s.size() && !IsBlank(s[i])) ++i;
        }
        tokens.push_back({s.substr(start, i - start), static_cast<int>(start) + 1});
    }
    return true;
}

bool IsQuoted(std::string_view s) {
    return s.size() >= 2 && s.front() == '"' && s.back() == '"';
}

void ReadFacts(const std::vector<Line>& lines, int file, Book& book, Diagnostics& diagnostics,
               std::vector<Location>& textFactsSeen, Location& logoSeen, Location& titleSeen) {
    static constexpr std::string_view textKeys[TextFactCount] = {
        "title", "copyright", "language", "author", "extra-line", "web", "contact", "support"};
    std::map<std::string, int, std::less<>> soundNames;
    for (const Line& line : lines) {
        if (diagnostics.Full()) return;
        std::vector<Token> t;
        if (!Tokenize(line, file, book, diagnostics, t) || t.empty()) continue;
        auto at = [&](const Token& token) { return Location{file, line.number, token.column}; };
        auto fail = [&](const Token& token, const std::string& message) {
            diagnostics.Error(book, at(token), message);
        };
        std::string_view key = t[0].text;
        auto expect = [&](size_t lo, size_t hi, const char* form) {
            if (t.size() >= lo && t.size() <= hi) return true;
            fail(t.size() > hi ? t[hi] : t[0], std::string("expected ") + form);
            return false;
        };
        auto once = [&](Location& seen, const std::string& what) {
            if (seen.file < 0) {
                seen = at(t[0]);
                return true;
            }
            fail(t[0], what + " defined twice (first on line " + std::to_string(seen.line) + ")");
            return false;
        };

        auto textKey = std::find(std::begin(textKeys), std::end(textKeys), key);
        if (textKey != std::end(textKeys)) {
            auto fact = static_cast<size_t>(textKey - std::begin(textKeys));
            if (!expect(2, 2, "a quoted text")) continue;
            if (!IsQuoted(t[1].text)) {
                fail(t[1], "expected a quoted text");
                continue;
            }
            if (!once(textFactsSeen[fact], std::string(key))) continue;
            book.texts[fact] = t[1].text.substr(1, t[1].text.size() - 2);
        } else if (key == "logo-picture" || key == "title-picture") {
            if (!expect(2, 2, "a picture number")) continue;
            int picture = 0;
            if (!ParseNumberIn(t[1].text, 0, book::PictureCount - 1, picture)) {
                fail(t[1], "picture number must be 0 to 164, not " + Quoted(t[1].text));
                continue;
            }
            bool logo = key == "logo-picture";
            if (!once(logo ? logoSeen : titleSeen, std::string(key))) continue;
            (logo ? book.logoPicture : book.titlePicture) = picture;
        } else if (key == "slot") {
            if (!expect(3, 4, "slot <0-8> @<paragraph> [\"label\"]")) continue;
            int k = 0;
            int paragraph = 0;
            if (!ParseNumberIn(t[1].text, 0, book::SlotCount - 1, k)) {
                fail(t[1], "slot number must be 0 to 8, not " + Quoted(t[1].text));
                continue;
            }
            if (!t[2].text.starts_with('@') ||
                !ParseNumberIn(t[2].text.substr(1), 2, book::ParagraphCount, paragraph)) {
                fail(t[2], "slot paragraph must be @2 to @713, not " + Quoted(t[2].text));
                continue;
            }
            if (t.size() == 4 && !IsQuoted(t[3].text)) {
                fail(t[3], "a slot label is a quoted text");
                continue;
            }
            Slot& slot = book.slots[static_cast<size_t>(k)];
            if (slot.defined) {
                fail(t[1], "slot " + std::to_string(k) + " defined twice (first on line " +
                               std::to_string(slot.where.line) + ")");
                continue;
            }
            slot = {true, paragraph,
                    t.size() == 4 ? std::string(t[3].text.substr(1, t[3].text.size() - 2)) : "", at(t[0])};
        } else if (key == "sound") {
            if (!expect(3, 3, "sound <0-38> <NAME>")) continue;
            int n = 0;
            if (!ParseNumberIn(t[1].text, 0, book::SoundCount - 1, n)) {
                fail(t[1], "sound number must be 0 to 38, not " + Quoted(t[1].text));
                continue;
            }
            std::string_view name = t[2].text;
            bool good = !name.empty() && name.size() <= 18 &&
                        std::all_of(name.begin(), name.end(),
                                    [](char c) { return (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_'; });
            if (!good) {
                fail(t[2], "sound name must be 1 to 18 upper-case letters, digits and underscores, not " +
                               Quoted(name));
                continue;
            }
            Sound& sound = book.sounds[static_cast<size_t>(n)];
            if (sound.defined) {
                fail(t[1], "sound " + std::to_string(n) + " defined twice (first on line " +
                               std::to_string(sound.where.line) + ")");
                continue;
            }
            if (auto seen = soundNames.find(name); seen != soundNames.end()) {
                fail(t[2],
                     "sound name " + Quoted(name) + " already used by sound " + std::to_string(seen->second));
                continue;
            }
            soundNames.emplace(name, n);
            sound = {true, std::string(name), at(t[0])};
        } else if (key == "picture") {
            if (!expect(4, 4, "picture <0-164> <bitmap id> <width>x<height>")) continue;
            int n = 0;
            int id = 0;
            int width = 0;
            int height = 0;
            if (!ParseNumberIn(t[1].text, 0, book::PictureCount - 1, n)) {
                fail(t[1], "picture number must be 0 to 164, not " + Quoted(t[1].text));
                continue;
            }
            if (!ParseNumberIn(t[2].text, 0, 32767, id)) {
                fail(t[2], "bitmap id must be 0 to 32767, not " + Quoted(t[2].text));
                continue;
            }
            std::string_view size = t[3].text;
            size_t x = size.find('x');
            if (x == std::string_view::npos || !ParseNumberIn(size.substr(0, x), 0, 32767, width) ||
                !ParseNumberIn(size.substr(x + 1), 0, 32767, height)) {
                fail(t[3], "picture size must be <width>x<height>, not " + Quoted(size));
                continue;
            }
            Picture& picture = book.pictures[static_cast<size_t>(n)];
            if (picture.defined) {
                fail(t[1], "picture " + std::to_string(n) + " defined twice (first on line " +
                               std::to_string(picture.where.line) + ")");
                continue;
            }
            picture = {true, id, width, height, at(t[0])};
        } else {
            fail(t[0], "unknown fact " + Quoted(key));
        }
    }
}

// ===== Paragraphs ==========================================================================

// Splits one paragraph's lines into words. Blanks and line ends separate words; inside a
// command a quoted piece (to its closing quote on the same line) and a parenthesised piece
// (to its balancing parenthesis, over lines) keep their blanks, and @N and %name resolve.
class Splitter {
public:
    // strict reports markup characters inside arguments, which the reader would misread;
    // fixture books may hold them on purpose.
    Splitter(Paragraph& paragraph, int file, const std::map<std::string, int, std::less<>>& names,
             bool strict, Book& book, Diagnostics& diagnostics)
        : p_(paragraph),
          file_(file),
          names_(names),
          strict_(strict),
          book_(book),
          diagnostics_(diagnostics) {}

    void AddLine(const Line& line) {
        const std::string& s = line.text;
        size_t i = 0;
        if (depth_ > 0)
            while (i < s.size() && s[i] == ' ') ++i;
        for (; i < s.size(); ++i) {
            char c = s[i];
            Location here{file_, line.number, static_cast<int>(i) + 1};
            if (!inCommand_) {
                if (c == ' ') {
                    Finish();
                    continue;
                }
                if (c == '<') {
                    inCommand_ = true;
                    command_ = here;
                }
                Append(c, here);
                continue;
            }
            if (c == '"') {
                size_t close = s.find('"', i + 1);
                if (close == std::string::npos) {
                    diagnostics_.Error(book_, here, "unterminated quote");
                    quoteFailed_ = true;
                    close = s.size() - 1;
                }
                Append(c, here);
                for (size_t k = i + 1; k < close; ++k)
                    CheckInsideArgument(s[k], {file_, line.number, static_cast<int>(k) + 1}, "a quoted");
                word_.append(s, i + 1, close - i);
                i = close;
                continue;
            }
            if (c == '@' && i + 1 < s.size() && IsDigit(s[i + 1])) {
                size_t end = i + 1;
                while (end < s.size() && IsDigit(s[end])) ++end;
                std::string_view digits(s.data() + i + 1, end - i - 1);
                int target = 0;
                if (!ParseNumberIn(digits, 2, book::ParagraphCount, target)) {
                    diagnostics_.Error(book_, here, "target @" + std::string(digits) + " outside 2..713");
                } else {
                    p_.references.push_back({Reference::Target, target, here});
                }
                Append(std::to_string(target - 1), here);
                i = end - 1;
                continue;
            }
            if (c == '%' && i + 1 < s.size() && IsLetter(s[i + 1])) {
                size_t end = i + 1;
                while (end < s.size() && IsNameChar(s[end])) ++end;
                std::string_view name(s.data() + i + 1, end - i - 1);
                auto found = names_.find(name);
                int number = 0;
                if (found == names_.end()) {
                    diagnostics_.Error(book_, here, "unknown variable name " + Quoted(name));
                } else {
                    number = found->second;
                    p_.references.push_back({Reference::Variable, number, here});
                }
                Append("%" + std::to_string(number), here);
                i = end - 1;
                continue;
            }
            if (depth_ > 0) {
                CheckInsideArgument(c, here, "a parenthesised");
                if (c == '(') ++depth_;
                if (c == ')') --depth_;
                Append(c, here);
                continue;
            }
            switch (c) {
                case ' ':
                    Finish();
                    continue;
                case '(':
                    depth_ = 1;
                    paren_ = here;
                    break;
                case '<':
                    command_ = here;  // the reader restarts the command here too
                    break;
                case '>':
                    inCommand_ = false;
                    break;
                default:
                    break;
            }
            Append(c, here);
        }
        if (depth_ > 0) {
            // A line end inside parentheses, with the blanks around it, is one blank.
            while (!word_.empty() && word_.back() == ' ') word_.pop_back();
            word_ += ' ';
        } else {
            Finish();
        }
    }

    void End() {
        if (depth_ > 0) {
            diagnostics_.Error(book_, paren_, "unterminated parenthesis");
            while (!word_.empty() && word_.back() == ' ') word_.pop_back();
        } else if (inCommand_ && !quoteFailed_) {  // a broken quote already explains it
            diagnostics_.Error(book_, command_, "unterminated command: '>' never comes in this paragraph");
        }
        Finish();
    }

private:
    // The reader's scanner knows no quotes or parentheses: any of these characters would
    // end, restart or abandon the command there.
    void CheckInsideArgument(char c, Location here, const char* argument) {
        if (!strict_ || (c != '<' && c != '>' && c != '{' && c != '}')) return;
        diagnostics_.Error(book_, here,
                           std::string("'") + c + "' inside " + argument +
                               " argument would break the command in the reader");
    }

    void Append(char c, Location here) { Append(std::string_view(&c, 1), here); }
    void Append(std::string_view s, Location here) {
        if (word_.empty()) start_ = here;
        word_ += s;
    }
    void Finish() {
        if (!word_.empty()) p_.words.push_back({std::move(word_), start_});
        word_.clear();
    }

    Paragraph& p_;
    int file_;
    const std::map<std::string, int, std::less<>>& names_;
    bool strict_;
    Book& book_;
    Diagnostics& diagnostics_;
    std::string word_;
    Location start_;
    bool inCommand_ = false;
    bool quoteFailed_ = false;
    int depth_ = 0;
    Location command_;
    Location paren_;
};

// Reads "=== N [ending]" into paragraph; reports and returns false when malformed.
bool ParseHeader(const Line& line, int file, Paragraph& paragraph, Book& book, Diagnostics& diagnostics) {
    paragraph.header = {file, line.number, 1};
    std::vector<Field> words;
    std::string_view rest = std::string_view(line.text).substr(3);
    size_t i = 0;
    while (i < rest.size()) {
        if (IsBlank(rest[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < rest.size() && !IsBlank(rest[i])) ++i;
        words.push_back({rest.substr(start, i - start), static_cast<int>(start) + 4});
    }
    auto fail = [&](int column, const std::string& message) {
        diagnostics.Error(book, {file, line.number, column}, message);
        return false;
    };
    if (words.empty()) return fail(4, "expected a paragraph number after '==='");
    if (!ParseNumberIn(words[0].text, 1, book::ParagraphCount, paragraph.number))
        return fail(words[0].column, "paragraph number must be 1 to 713, not " + Quoted(words[0].text));
    if (words.size() >= 2 && words[1].text == "ending") paragraph.ending = true;
    size_t extra = paragraph.ending ? 2 : 1;
    if (words.size() > extra)
        return fail(words[extra].column,
                    "unexpected " + Quoted(words[extra].text) + " in a paragraph header");
    return true;
}

void ReadParagraphs(const std::vector<Line>& lines, int file,
                    const std::map<std::string, int, std::less<>>& names, bool strict,
                    std::vector<Location>& defined, Book& book, Diagnostics& diagnostics) {
    size_t i = 0;
    for (; i < lines.size() && !lines[i].text.starts_with("==="); ++i) {
        if (!Trim(lines[i].text).empty()) {
            diagnostics.Error(book, {file, lines[i].number, 1}, "text before the first paragraph header");
            break;
        }
    }
    while (i < lines.size() && !lines[i].text.starts_with("===")) ++i;
    while (i < lines.size() && !diagnostics.Full()) {
        Paragraph paragraph;
        bool good = ParseHeader(lines[i], file, paragraph, book, diagnostics);
        Splitter splitter(paragraph, file, names, strict, book, diagnostics);
        for (++i; i < lines.size() && !lines[i].text.starts_with("==="); ++i) splitter.AddLine(lines[i]);
        splitter.End();
        if (!good) continue;
        Location& first = defined[static_cast<size_t>(paragraph.number)];
        if (first.file >= 0) {
            diagnostics.Error(book, paragraph.header,
                              "paragraph " + std::to_string(paragraph.number) + " defined twice (first at " +
                                  book.files[static_cast<size_t>(first.file)] + ":" +
                                  std::to_string(first.line) + ")");
            continue;
        }
        first = paragraph.header;
        if (paragraph.number == 1) {
            diagnostics.Error(book, paragraph.header, "paragraph 1 never has text; leave it out");
            continue;
        }
        book.paragraphs.push_back(std::move(paragraph));
    }
}

// Reports the entries of a fixed-size table that were never defined (outside fixtures).
template <typename Entry>
void CheckComplete(const std::vector<Entry>& table, const char* what, int file, Book& book,
                   Diagnostics& diagnostics) {
    std::string missing;
    int count = 0;
    for (size_t n = 0; n < table.size(); ++n) {
        if (table[n].defined) continue;
        if (++count <= 8) missing += (count > 1 ? ", " : "") + std::to_string(n);
    }
    if (count == 0) return;
    if (count > 8) missing += ", ...";
    diagnostics.Error(book, {file, 0, 0},
                      std::to_string(table.size()) + " " + what + " are needed, " + std::to_string(count) +
                          " missing: " + missing);
}

}  // namespace

bool ReadBook(const fs::path& folder, const Options& options, Book& book, Diagnostics& diagnostics) {
    Converter converter;
    if (!converter.Ready()) {
        diagnostics.Error(book, {}, "no UTF-8 to Windows-1252 converter in the C library");
        return false;
    }
    auto open = [&](const fs::path& path, bool allowTab, std::vector<Line>& lines, int& file) {
        file = AddFile(book, path);
        bool exists = ReadLines(path, file, allowTab, converter, book, diagnostics, lines);
        if (!exists && !options.fixture) diagnostics.Error(book, {file, 0, 0}, "cannot open the file");
        return exists;
    };

    std::vector<Line> lines;
    int file = -1;
    if (open(folder / "variables.txt", true, lines, file)) {
        ReadVariables(lines, file, book, diagnostics);
        if (!options.fixture) CheckComplete(book.variables, "variables", file, book, diagnostics);
    }

    lines.clear();
    if (open(folder / "book.facts", true, lines, file)) {
        std::vector<Location> textSeen(TextFactCount);
        Location logoSeen;
        Location titleSeen;
        ReadFacts(lines, file, book, diagnostics, textSeen, logoSeen, titleSeen);
        if (!options.fixture) {
            static constexpr const char* names[TextFactCount] = {
                "title", "copyright", "language", "author", "extra-line", "web", "contact", "support"};
            for (int fact = 0; fact < TextFactCount; ++fact)
                if (textSeen[static_cast<size_t>(fact)].file < 0)
                    diagnostics.Error(book, {file, 0, 0}, std::string("missing fact '") + names[fact] + "'");
            if (logoSeen.file < 0) diagnostics.Error(book, {file, 0, 0}, "missing fact 'logo-picture'");
            if (titleSeen.file < 0) diagnostics.Error(book, {file, 0, 0}, "missing fact 'title-picture'");
            CheckComplete(book.slots, "slots", file, book, diagnostics);
            CheckComplete(book.sounds, "sounds", file, book, diagnostics);
            CheckComplete(book.pictures, "pictures", file, book, diagnostics);
        }
    }

    std::map<std::string, int, std::less<>> names;
    for (size_t n = 0; n < book.variables.size(); ++n)
        if (book.variables[n].defined) names.emplace(book.variables[n].shortName, static_cast<int>(n));

    std::vector<fs::path> texts;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder / "text", error))
        if (entry.path().extension() == ".mw" && entry.is_regular_file()) texts.push_back(entry.path());
    std::sort(texts.begin(), texts.end());
    if (texts.empty() && !options.fixture)
        diagnostics.Error(book, {}, (folder / "text").string() + ": no paragraph files (*.mw)");
    std::vector<Location> defined(book::ParagraphCount + 1);
    for (const fs::path& path : texts) {
        if (diagnostics.Full()) break;
        lines.clear();
        if (open(path, false, lines, file))
            ReadParagraphs(lines, file, names, !options.fixture, defined, book, diagnostics);
    }
    if (!options.fixture) {
        // The reader assembles a paragraph into a buffer of 6419 characters and a zero; a
        // fixture may go beyond it on purpose to test the reader's handling.
        for (const Paragraph& paragraph : book.paragraphs) {
            size_t length = 0;
            for (const Word& word : paragraph.words) length += word.text.size() + 1;
            if (length > MaxParagraphLength)
                diagnostics.Error(book, paragraph.header,
                                  "paragraph " + std::to_string(paragraph.number) + " is " +
                                      std::to_string(length) + " characters long; the reader shows at most " +
                                      std::to_string(MaxParagraphLength));
        }
    }
    return diagnostics.Count() == 0;
}

}  // namespace bookc
