// bookc on broken books: every kind of source error is reported as file:line:column with
// exit status 1, and no tables are written (an older unit is removed too). Most books are
// folders under fixtures/; those that need odd bytes or bulk are written by the test.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string messages;
    bool wroteTables;
};

// Runs bookc on folder, with an older output file in place, and collects its messages.
Result RunBookc(const fs::path& folder, bool fixture) {
    // Test cases run as parallel processes: each run gets an output path of its own.
    static int runs = 0;
    fs::path out = fs::path(testing::TempDir()) /
                   ("bookc_errors_out_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".cpp");
    std::ofstream(out) << "// an older unit\n";
    std::string command = std::string("'") + BOOKC_PATH + "'" + (fixture ? " --fixture" : "") + " --out '" +
                          out.string() + "' '" + folder.string() + "' 2>&1";
    Result result{-1, {}, false};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.messages.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.wroteTables = fs::exists(out);
    return result;
}

// A book folder written by the test: files maps relative paths to their bytes.
fs::path WriteBook(const std::string& name,
                   std::initializer_list<std::pair<std::string, std::string>> files) {
    fs::path folder = fs::path(testing::TempDir()) / ("bookc_" + name);
    fs::remove_all(folder);
    for (const auto& [path, bytes] : files) {
        fs::create_directories((folder / path).parent_path());
        std::ofstream(folder / path, std::ios::binary) << bytes;
    }
    return folder;
}

void ExpectFailure(const Result& result, const std::string& expected) {
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.messages.find(expected), std::string::npos) << "expected: " << expected << "\ngot:\n"
                                                                 << result.messages;
    EXPECT_FALSE(result.wroteTables);
}

TEST(BookcErrors, FixtureBooksReportEachKindOfError) {
    struct Case {
        const char* book;
        bool fixture;
        const char* expected;  // a part of the messages, from the book folder on
    } cases[] = {
        {"unknown_name", true, "/text/a.mw:2:21: error: unknown variable name 'lantren'"},
        {"target_range", true, "/text/a.mw:2:9: error: target @1 outside 2..713"},
        {"target_range", true, "/text/a.mw:2:23: error: target @714 outside 2..713"},
        {"paragraph_twice", true, "/text/b.mw:4:1: error: paragraph 2 defined twice (first at "},
        {"paragraph_header", true, "/text/a.mw:1:5: error: paragraph number must be 1 to 713, not '0'"},
        {"paragraph_header", true, "/text/a.mw:2:5: error: paragraph number must be 1 to 713, not '714'"},
        {"paragraph_header", true, "/text/a.mw:3:5: error: paragraph number must be 1 to 713, not 'two'"},
        {"paragraph_header", true, "/text/a.mw:4:7: error: unexpected 'the' in a paragraph header"},
        {"paragraph_header", true, "/text/a.mw:5:4: error: expected a paragraph number after '==='"},
        {"paragraph_header", true, "/text/a.mw:6:1: error: paragraph 1 never has text"},
        {"text_before_header", true, "/text/a.mw:3:1: error: text before the first paragraph header"},
        {"unterminated", true, "/text/a.mw:2:4: error: unterminated quote\n"},
        {"unterminated", true, "/text/a.mw:4:4: error: unterminated parenthesis\n"},
        {"unterminated", true, "/text/a.mw:7:1: error: unterminated command"},
        {"bad_variables", true, "/variables.txt:2:5: error: short name 'lantern' already used by variable 0"},
        {"bad_variables", true, "/variables.txt:3:5: error: short name must be a letter"},
        {"bad_variables", true, "/variables.txt:4:11: error: variable name is empty"},
        {"bad_variables", true, "/variables.txt:5:1: error: variable number must be 0 to 178, not '179'"},
        {"bad_variables", true, "/variables.txt:6:1: error: variable number must be 0 to 178, not 'x'"},
        {"bad_variables", true, "/variables.txt:7:21: error: kind must be item, text, number or picture"},
        {"bad_variables", true, "/variables.txt:8:28: error: bounds must be min..max"},
        {"bad_variables", true, "/variables.txt:9:28: error: bounds must be min..max"},  // max + 1 overflows
        {"bad_variables", true, "/variables.txt:10:28: error: bounds are given only for a number"},
        {"bad_variables", true, "/variables.txt:11:26: error: description must be @11 to @179, not '@10'"},
        {"bad_variables", true, "/variables.txt:12:26: error: description must be @11 to @179, not '@180'"},
        {"bad_variables", true, "/variables.txt:13:29: error: description must be @11 to @179, not '11'"},
        {"bad_variables", true, "/variables.txt:14:1: error: variable 0 defined twice (first on line 1)"},
        {"bad_variable_values", true,
         "/variables.txt:1:35: error: only a text or picture variable has values"},
        {"bad_variable_values", true,
         "/variables.txt:2:34: error: a text variable has 1 to 16 values, found 0"},
        {"bad_variable_values", true,
         "/variables.txt:3:35: error: a text variable has 1 to 16 values, found 17"},
        {"bad_variable_values", true, "/variables.txt:4:39: error: empty text in the value list"},
        {"bad_variable_values", true,
         "/variables.txt:5:41: error: picture number must be 0 to 164, not '165'"},
        {"bad_variable_values", true,
         "/variables.txt:6:39: error: picture number must be 0 to 164, not 'two'"},
        {"bad_variable_values", true, "/variables.txt:7:1: error: a variable record has 6 or 7 fields"},
        {"bad_variable_values", true, "/variables.txt:8:1: error: a variable record has 6 or 7 fields"},
        {"bad_facts", true, "/book.facts:2:1: error: title defined twice (first on line 1)"},
        {"bad_facts", true, "/book.facts:3:8: error: expected a quoted text"},
        {"bad_facts", true, "/book.facts:4:20: error: expected a quoted text"},
        {"bad_facts", true, "/book.facts:5:11: error: unterminated quote"},
        {"bad_facts", true, "/book.facts:6:14: error: picture number must be 0 to 164, not '165'"},
        {"bad_facts", true, "/book.facts:7:1: error: unknown fact 'colour'"},
        {"bad_facts", true, "/book.facts:9:6: error: slot 0 defined twice (first on line 8)"},
        {"bad_facts", true, "/book.facts:10:6: error: slot number must be 0 to 8, not '9'"},
        {"bad_facts", true, "/book.facts:11:8: error: slot paragraph must be @2 to @713, not '@1'"},
        {"bad_facts", true, "/book.facts:12:11: error: a slot label is a quoted text"},
        {"bad_facts", true, "/book.facts:14:7: error: sound 0 defined twice (first on line 13)"},
        {"bad_facts", true, "/book.facts:15:9: error: sound name 'BELL' already used by sound 0"},
        {"bad_facts", true, "/book.facts:16:9: error: sound name must be 1 to 18 upper-case"},
        {"bad_facts", true, "/book.facts:17:9: error: sound name must be 1 to 18 upper-case"},
        {"bad_facts", true, "/book.facts:19:9: error: picture 0 defined twice (first on line 18)"},
        {"bad_facts", true, "/book.facts:20:9: error: picture number must be 0 to 164, not '165'"},
        {"bad_facts", true, "/book.facts:21:16: error: picture size must be <width>x<height>, not '10by10'"},
        {"bad_facts", true, "/book.facts:22:11: error: bitmap id must be 0 to 32767, not '40000'"},
        // Outside --fixture every table must be complete.
        {"table_sizes", false, "/variables.txt: error: 179 variables are needed, 178 missing: 1, 2,"},
        {"table_sizes", false, "/book.facts: error: missing fact 'copyright'"},
        {"table_sizes", false, "/book.facts: error: missing fact 'title-picture'"},
        {"table_sizes", false, "/book.facts: error: 9 slots are needed, 9 missing: 0, 1,"},
        {"table_sizes", false, "/book.facts: error: 39 sounds are needed, 39 missing: 0, 1,"},
        {"table_sizes", false, "/book.facts: error: 165 pictures are needed, 165 missing: 0, 1,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.book);
        ExpectFailure(RunBookc(fs::path(BOOKC_FIXTURES) / c.book, c.fixture), c.expected);
    }
}

TEST(BookcErrors, BadCharactersAreReportedAtTheirColumn) {
    struct Case {
        const char* line;  // the second line of paragraph 2, as UTF-8 bytes
        const char* expected;
    } cases[] = {
        {"go \xE2\x86\x92 north", ":2:4: error: character U+2192 has no Windows-1252 byte"},
        {"caf\xC3\xA9 \xFF", ":2:6: error: invalid UTF-8"},
        {"cut \xE2\x80", ":2:5: error: invalid UTF-8"},
        {"bell\x07", ":2:5: error: control character 0x07"},
        {"a\tb", ":2:2: error: tab in paragraph text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        fs::path book =
            WriteBook("bad_character", {{"text/a.mw", std::string("=== 2\n") + c.line + "<G>\n"}});
        ExpectFailure(RunBookc(book, true), std::string("/text/a.mw") + c.expected);
    }
    std::string zero = "=== 2\nab";
    zero += '\0';
    zero += "c<G>\n";
    fs::path book = WriteBook("zero_byte", {{"text/a.mw", zero}});
    ExpectFailure(RunBookc(book, true), "/text/a.mw:2:3: error: zero byte");
}

TEST(BookcErrors, MissingFilesOutsideFixtures) {
    fs::path book = WriteBook("no_files", {{"pictures/readme", ""}});
    Result result = RunBookc(book, false);
    ExpectFailure(result, "/variables.txt: error: cannot open the file");
    ExpectFailure(result, "/book.facts: error: cannot open the file");
    ExpectFailure(result, "no paragraph files (*.mw)");
    // A fixture book may leave every file out.
    EXPECT_EQ(RunBookc(book, true).status, 0);
}

TEST(BookcErrors, ParagraphLongerThanTheReaderHoldsOutsideFixtures) {
    std::string text = "=== 2\n";
    for (int i = 0; i < 642; ++i) text += "abcdefghi ";  // 6420 characters assembled
    fs::path book = WriteBook("long_paragraph", {{"text/a.mw", text + "\n"}});
    Result result = RunBookc(book, false);
    ExpectFailure(
        result, "/text/a.mw:1:1: error: paragraph 2 is 6420 characters long; the reader shows at most 6419");
}

// A book of paragraphs with 32 distinct 30-character words each: 31 pool bytes per word.
std::string DistinctWords(int paragraphs) {
    std::string text;
    for (int p = 2; p < 2 + paragraphs; ++p) {
        text += "=== " + std::to_string(p) + "\n";
        for (int w = 0; w < 32; ++w) {
            char word[48];
            std::snprintf(word, sizeof word, "w%06dx%022d ", p * 32 + w, 0);
            text += word;
        }
        text += "\n";
    }
    return text;
}

TEST(BookcErrors, MarkupCharactersInsideArgumentsOutsideFixtures) {
    fs::path book = WriteBook("argument_markup",
                              {{"text/a.mw", "=== 2\n<M \"a > b\" @3> <O ((X %3) |\n (X {4))>{x}<G>\n"}});
    Result result = RunBookc(book, false);
    ExpectFailure(
        result, "/text/a.mw:2:7: error: '>' inside a quoted argument would break the command in the reader");
    ExpectFailure(result,
                  "/text/a.mw:3:5: error: '{' inside a parenthesised argument would break the command");
    // A fixture book may hold them, to test how the reader copes.
    EXPECT_EQ(RunBookc(book, true).status, 0);
}

TEST(BookcErrors, ChunkPoolsThatWouldOverflowStopTheCompiler) {
    // 500 paragraphs need about 496 KB of pools: the eight chunks of 64 KiB take them.
    fs::path fits = WriteBook("pool_fits", {{"text/a.mw", DistinctWords(500)}});
    EXPECT_EQ(RunBookc(fits, true).status, 0);
    // 600 need about 595 KB, more than eight pools can start words in.
    fs::path overflows = WriteBook("pool_overflow", {{"text/a.mw", DistinctWords(600)}});
    ExpectFailure(RunBookc(overflows, true),
                  "error: the word chunks are full: the distinct words of paragraph ");
}

TEST(BookcErrors, StopsAfterTwentyErrors) {
    std::string text = "=== 2\n";
    for (int i = 0; i < 30; ++i) text += "<S %missing" + std::to_string(i) + " 1>\n";
    fs::path book = WriteBook("many_errors", {{"text/a.mw", text}});
    Result result = RunBookc(book, true);
    ExpectFailure(result,
                  "/text/a.mw:21:4: error: unknown variable name 'missing19'\nbookc: error: too many errors, "
                  "stopping\n");
    EXPECT_EQ(result.messages.find("missing20"), std::string::npos);
}

}  // namespace
