// Random and mutated paragraph texts through the scanner, the command set, conditions and
// hotwords, each followed by a tap or a typed answer, with the headless device answering
// every message box. Run i uses seed i, so a failure names the run that shows it. Meant to
// be run under the address and undefined-behaviour sanitizers too.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "book/tables.h"
#include "book/variables.h"
#include "markup/conditions.h"
#include "markup/hotwords.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/headless/headless.h"
#include "shell/navigation.h"

namespace {

constexpr int Runs = 20000;
constexpr size_t MaxTextLength = 2000;

// Pieces of the book's own markup, well formed, over every kind of variable of interp_book.
const char* const Fragments[] = {
    "<B>", "<D>", "<U>", "<P>", "<T>", "<a>", "<H>", "<J>", "<F>", "<G> ", "<Y>", "<C>",
    "<W 1>", "<W 7>", "<V 5>", "<v 155>", "<V 999>", "<A 3>", "<A -4>", "<n 5>", "<p 712>",
    "<l %3>", "<l %4>", "<l %1>", "<l %0>", "<l %500>", "<s *0>", "<s *3>", "<s *9>",
    "<u *0 \"Back\" 5>", "<u *3 \"Ford\" @560>", "<u *-1 \"x\" 2>",
    "<O (X %5)>", "<O !(X %19) & (%59 x 4)>", "<o (%88 x 350)>", "<o (%63 = 2)>", "<E>",
    "<O (X %3) | (X %175) & (%88 x 25)>", "<O !((X %14) & (X %17) | (X %9))>", "{", "}", "12",
    "<M \"Go\" 12>", "<M $155 3>", "<M %3 4>", "<M %1 4>", "<M %4 4>", "<M 45>", "<g \"Map\" 20>",
    "<m \"Back\" 30>", "<N %5>", "<N %5 \"Take\" 6>", "<Q %0 \"Drop\" 7>", "<R %1 z>",
    "<R %2 600>", "<r %1 -1 \"Spend\" 50>", "<r %2 -%1>", "<R %3 %1 \"Copy\" 9>",
    "<d \"Swim\" (50) 100 (30) 200 300>", "<d \"Swim\" (10) 1 (20) 2 (30) 3 4>",
    "<L \"Climb\" (12) 62 63>", "<S (a river) 41 (the moon) 42 (x) 43 44>",
    "<S (abcdefghijklmnopqrstuvwxyz) 1 2>", "The bridge sways. ", "A bell tolls. ", "  ",
    "\"Who goes there?\" ", "(aside) ",
};

// Characters that mean something to the scanner, the commands or the conditions.
const char Alphabet[] = "<>{}()\"%$*@!&|=xyXzLdMgmNQRrSuOoEBDHJ -+0123456789 abc";

std::string RandomCondition(std::mt19937& rng) {
    std::string condition;
    const size_t length = rng() % 60;
    for (size_t i = 0; i < length; ++i) condition += "()%!&|xyX= 0123456789"[rng() % 21];
    return condition;
}

// A command of any letter with arguments made of the meaningful characters.
std::string RandomCommand(std::mt19937& rng) {
    std::string command = "<";
    command += static_cast<char>(' ' + rng() % 95);
    if (rng() % 2 == 0) {
        command += ' ' + RandomCondition(rng);
    } else {
        const size_t length = rng() % 40;
        for (size_t i = 0; i < length; ++i) command += Alphabet[rng() % (sizeof Alphabet - 1)];
    }
    if (rng() % 20 != 0) command += '>';
    return command;
}

std::string Generate(std::mt19937& rng) {
    std::string text;
    const size_t target = rng() % MaxTextLength;
    while (text.size() < target) {
        switch (rng() % 8) {
        case 0:
            text += RandomCommand(rng);
            break;
        case 1:
            text += std::string(rng() % 500, static_cast<char>('a' + rng() % 26));  // long runs
            break;
        case 2:
            text += "<M \"" + std::string(rng() % 300, 'w') + "\" 1>";  // long captions
            break;
        default:
            text += Fragments[rng() % std::size(Fragments)];
            break;
        }
    }
    // Mutations: bytes replaced by any byte but zero, pieces cut out or doubled.
    const int mutations = static_cast<int>(rng() % 6);
    for (int m = 0; m < mutations && !text.empty(); ++m) {
        const size_t at = rng() % text.size();
        switch (rng() % 3) {
        case 0:
            text[at] = static_cast<char>(1 + rng() % 255);
            break;
        case 1:
            text.erase(at, rng() % 50);
            break;
        default:
            text.insert(at, text.substr(at, rng() % 100));
            break;
        }
    }
    if (text.size() > MaxTextLength) text.resize(MaxTextLength);
    return text;
}

// Story state as a damaged state file might leave it: any bytes, any saved flags.
void Scramble(std::mt19937& rng) {
    for (book::StoryVariable& v : book::StoryVariableTable) {
        v.state[0] = static_cast<uint8_t>(rng());
        v.state[1] = static_cast<uint8_t>(rng());
    }
    for (book::SnapshotSlotRecord& slot : book::SnapshotSlot) slot.saved = static_cast<int8_t>(rng() % 2);
}

std::string TypedText(std::mt19937& rng) {
    const char* const answers[] = {"a river", "THE MOON", "  x ", "", "   ", "abcdefghijklmnopqrs", "\xe9"};
    if (rng() % 2 == 0) return answers[rng() % std::size(answers)];
    std::string typed(rng() % 30, ' ');
    for (char& c : typed) c = static_cast<char>(1 + rng() % 255);
    return typed;
}

// The control id to activate: one of the page's hotwords, or any id near them.
int16_t ChooseControl(std::mt19937& rng) {
    if (markup::HotwordCount > 0 && rng() % 4 != 0)
        return markup::HotwordTable[rng() % static_cast<unsigned>(markup::HotwordCount)].controlId;
    return static_cast<int16_t>(3990 + rng() % 1130);
}

// What must hold after any text and any activation; returns the first broken rule.
std::string Broken() {
    if (markup::HotwordCount < 0 || markup::HotwordCount > markup::HotwordCapacity) return "hotword count";
    if (page::ButtonCount < 0 || page::ButtonCount > page::ButtonCapacity) return "button count";
    if (page::EditBoxCount < 0 || page::EditBoxCount > page::EditBoxCapacity) return "edit box count";
    if (page::DisplayList.count < 0 || page::DisplayList.count > page::DisplayListCapacity) return "display list";
    if (page::PageBufferLength < 0 || page::PageBufferLength > page::PageBufferSize) return "page buffer";
    if (markup::WordLength < 0 || markup::WordLength > markup::WordBufferSize) return "word length";
    if (markup::OperandStack.count > markup::ConditionStackCapacity) return "operand stack";
    if (markup::OperatorStack.count > markup::ConditionStackCapacity) return "operator stack";
    if (shell::CurrentParagraph < 1 || shell::CurrentParagraph > book::ParagraphCount) return "current paragraph";
    for (int i = 0; i < markup::HotwordCount; ++i) {
        const int16_t id = markup::HotwordTable[i].controlId;
        const bool button = id >= page::FirstButtonId && id < page::FirstButtonId + page::ButtonCount;
        const bool box = id >= page::FirstEditBoxId && id < page::FirstEditBoxId + page::EditBoxCount;
        if (id != 0 && !button && !box) return "hotword " + std::to_string(i) + " has a control that does not exist";
        const markup::HotwordEntry& e = markup::HotwordTable[i];
        for (const char* answer : {e.answer1, e.answer2, e.answer3})
            if (e.kind == 'S' && std::memchr(answer, 0, markup::AnswerSize) == nullptr) return "unterminated answer";
    }
    return {};
}

TEST(MarkupFuzz, RandomParagraphsNeverBreakTheTables) {
    headless::Reset();
    book::ResetStoryVariables();
    book::ClearSnapshotFlags();
    shell::CurrentParagraph = shell::StoryParagraph = 2;
    // Kept so that a generator that stopped reaching the hotwords and messages shows.
    long hotwords = 0, moves = 0, messages = 0;
    for (int run = 0; run < Runs; ++run) {
        std::mt19937 rng(static_cast<uint32_t>(run));
        const std::string text = Generate(rng);
        if (rng() % 8 == 0) Scramble(rng);

        page::ResetDisplayList();
        page::ResetControls();
        markup::MarkupScanner(text.c_str());
        std::string broken = Broken();
        ASSERT_TRUE(broken.empty()) << "run " << run << " after the scan: " << broken << "\n" << text;

        hotwords += markup::HotwordCount;

        const std::string typed = TypedText(rng);
        shell::RebuildNeeded = false;
        markup::ActivateHotword(ChooseControl(rng), rng() % 10 == 0 ? nullptr : typed.c_str());
        moves += shell::RebuildNeeded;
        broken = Broken();
        ASSERT_TRUE(broken.empty()) << "run " << run << " after a tap: " << broken << "\n" << text;
        messages += static_cast<long>(headless::MessageBoxes().size());
        headless::ClearMessageBoxes();
    }
    std::printf("%ld hotwords, %ld moves, %ld messages\n", hotwords, moves, messages);
    EXPECT_GT(hotwords, Runs);
    EXPECT_GT(moves, Runs / 4);
    EXPECT_GT(messages, Runs / 10);
}

}  // namespace
