// The markup scanner: how text is cut into runs, where blanks go, title mode, blocks and
// skip counts, the buffer limits, and the argument readers that the commands use.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "book/assembly.h"
#include "book/variables.h"
#include "markup/scanner.h"
#include "page/display_list.h"
#include "page_text.h"

namespace {

using markup_test::Describe;
using markup_test::Messages;
using markup_test::Scan;
using ScannerTest = markup_test::MarkupTest;

struct ScanCase {
    const char* input;
    const char* expected;
    const char* checks;
};

std::string Words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "word ";
    return text;
}

TEST_F(ScannerTest, TextRunsBlanksAndCommands) {
    const ScanCase cases[] = {
        {"<B>first<D> second<G> ", "B | [first] | /B | [second]", "a blank after a command is dropped"},
        {"one two <U> three<G> ", "[one two ] | BR | [three]", "the blank before a command stays with the run"},
        {"  lead<G> ", "[lead]", "blanks at the start are dropped"},
        {"in<B>side<D>word<G> ", "[in] | B | [side] | /B | [word]", "a command inside a word joins its pieces"},
        {"shown <G> not shown", "[shown ]", "text after the last command is not shown"},
        {"never closed <B", "[never closed ]", "a command whose > never comes is not run"},
        {"<B<D>x<G> ", "/B | [x]", "a < inside a command starts it afresh"},
        {"<B}x<G> ", "[x]", "a } inside a command abandons it"},
        {"one} two<G> ", "[onetwo]", "a } with no block only drops the blank after it"},
        {"a > b { c<G> ", "[a  b  c]", "> and { outside commands are never shown"},
        {"x<>y<G> ", "[xy]", "an empty command runs, has no effect and is true"},
    };
    for (const auto& c : cases) {
        markup_test::ResetAll();
        EXPECT_EQ(Scan(c.input), c.expected) << c.checks << "\n  input: " << c.input;
        EXPECT_TRUE(Messages().empty()) << c.input;
    }
}

TEST_F(ScannerTest, LongRunsAreHandedOnAtABlankAndShowAsOneText) {
    // 400 characters of words never fill the 300-character word buffer.
    const std::string words = Words(80);
    EXPECT_EQ(Scan((words + "<G> ").c_str()), "[" + words + "]");
    EXPECT_TRUE(Messages().empty());

    // The hand-on comes at the first blank after the run passes 150 characters.
    markup_test::ResetAll();
    const std::string run = std::string(149, 'a') + " bb cc";
    markup::MarkupScanner(run.c_str());
    EXPECT_STREQ(markup::WordBuffer, "cc") << "151 characters with the blank after bb went on";
    EXPECT_EQ(markup::WordLength, 2);
    ASSERT_EQ(page::DisplayList.count, 1);
    EXPECT_EQ(std::strlen(page::DisplayList.items[0].text), 153u);
}

TEST_F(ScannerTest, TitleModeCollectsTextAndCommandValues) {
    book::SetVariableValue(2, 1);  // Knife
    book::SetVariableValue(1, 25);
    const ScanCase cases[] = {
        {"<H>The Old Road<J> <F>", "T[The Old Road]", "the title alone, nothing else visible"},
        {"<H>The <l %2><a>Road<J><F>", "T[The Knife Road]", "l and a add to the title"},
        {"<H>Coins:<l %1><J><F>after<G> ", "T[Coins: 25] | [after]", "a number with its leading blank"},
        {"<H>Moon <B>x<J><F>", "B | T[Moon x]", "items other than text go on the page meanwhile"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Scan(c.input), c.expected) << c.checks;
        EXPECT_FALSE(markup::TitleMode);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScannerTest, BlocksFollowTheConditionOfTheirCommand) {
    const ScanCase cases[] = {
        {"<O (X %5)>{inside }after<G> ", "[inside after]", "a true block is read as text"},
        {"<O (X %0)>{<B>inside }after<G> ", "[after]", "a false block is passed over, its commands not run"},
        {"<O (X %5)> lost words {in}<G> ", "[in]", "words between the command and { are never shown"},
        {"<O (X %0)>{a}<E> {b}<G> ", "[b]", "E takes the block when the O was false"},
        {"<E>12{ab}de}gh}jk}x}visible<G> ", "[visible]", "SkipCount passes over braces first"},
        {"<E>{ab}de}visible<G> ", "[devisible]", "without a count the block ends at the first }"},
        {"<E>9{abc", "", "a skip beyond the end ends the scan"},
        {"<E>99999999{abc}d<G> ", "", "a huge count saturates instead of turning negative"},
    };
    book::SetHeld(5, 1);
    for (const auto& c : cases) {
        EXPECT_EQ(Scan(c.input), c.expected) << c.checks << "\n  input: " << c.input;
        EXPECT_EQ(markup::SkipCount, 0) << "the count is spent at the {";
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScannerTest, SkipCountWaitsForItsBraceAcrossScans) {
    Scan("<E>3");
    EXPECT_EQ(markup::SkipCount, 3);
    EXPECT_EQ(Scan("<E>{a}bc}d<G> "), "[d]") << "the count of the last scan is used, then spent";
    EXPECT_EQ(markup::SkipCount, 0);
}

TEST_F(ScannerTest, OverlongRunsAndCommandsAreCutWithOneMessage) {
    const std::string word(350, 'w');
    EXPECT_EQ(Scan((word + "<G> ").c_str()), "[" + word.substr(0, 300) + "]");
    EXPECT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});

    markup_test::ResetAll();
    const std::string title = "<H>" + Words(70) + "<J>";
    EXPECT_EQ(Scan(title.c_str()), "T[" + Words(60) + "]") << "title mode has no hand-on";
    EXPECT_EQ(Messages(), std::vector<std::string>{"300 is Too many letters in word"});

    markup_test::ResetAll();
    const std::string command = "<Y" + std::string(450, 'y') + ">after";
    Scan(command.c_str());
    EXPECT_EQ(std::strlen(markup::CommandBuffer), 400u) << "the buffer keeps the command after it ran";
    EXPECT_STREQ(markup::WordBuffer, "after") << "the cut command ran and was true";
    EXPECT_EQ(Messages(), std::vector<std::string>{"400 is Too many letters in command"});
}

TEST_F(ScannerTest, ScanStartsAfreshButKeepsTitleModeAndResult) {
    markup::LastCondition = 0;
    markup::TitleMode = true;
    Scan("open title ");
    EXPECT_EQ(markup::LastCondition, 1);
    EXPECT_EQ(markup::State, markup::ScanState::InText);
    EXPECT_TRUE(markup::TitleMode);
    EXPECT_STREQ(markup::WordBuffer, "open title ");
    Scan("<J>");
    EXPECT_EQ(Describe(), "T[]") << "the word buffer starts empty at every scan";
}

TEST_F(ScannerTest, AssembledParagraphScansIntoItsPage) {
    const char* const page =
        "T[The Staff Road] | [You walk on. ] | B | [Careful] | /B | [now.] | BR | [%s] | pic1705i";
    char expected[200];
    for (const int8_t held : {int8_t{0}, int8_t{1}}) {
        book::SetHeld(0, held);
        book::AssembleParagraph(2, book::ParagraphText);
        std::snprintf(expected, sizeof expected, page, held != 0 ? "The lantern glows. " : "It is dark. ");
        EXPECT_EQ(Scan(book::ParagraphText), expected);
    }
    EXPECT_TRUE(Messages().empty());
}

// Sets up CommandBuffer as RunCommand sees it, reading from position 1.
void Command(const char* text) {
    std::strcpy(markup::CommandBuffer, text);
    markup::CommandPosition = 1;
}

TEST_F(ScannerTest, ParseNumberForms) {
    struct {
        const char* command;
        int16_t value;
        char stopsAt;
    } const cases[] = {
        {"x-12)", -12, ')'}, {"x12", 12, '\0'}, {"x5-", -5, '\0'}, {"x+7 t", 7, ' '},
        {"xq", 0, 'q'},      {"x", 0, '\0'},    {"x65537", 1, '\0'},  // wraps like 16 bits
    };
    for (const auto& c : cases) {
        Command(c.command);
        EXPECT_EQ(markup::ParseNumber(), c.value) << c.command;
        EXPECT_EQ(markup::CommandChar(), c.stopsAt) << c.command;
    }
}

TEST_F(ScannerTest, SkipPastStopsAfterTheCharacterOrAtTheEnd) {
    Command("N %12 \"x\"");
    markup::SkipPast('%');
    EXPECT_EQ(markup::CommandPosition, 3);
    markup::SkipPast('(');
    EXPECT_EQ(markup::CommandPosition, 9);
    EXPECT_EQ(markup::CommandChar(), '\0');
    markup::SkipPast('"');
    EXPECT_EQ(markup::CommandPosition, 9) << "never past the end";
}

}  // namespace
