// Condition expressions: the book's forms, left-to-right joining and short-circuits,
// blanks anywhere, malformed conditions, and the stack limits with their messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "book/variables.h"
#include "markup/conditions.h"
#include "markup/scanner.h"
#include "platform/headless/headless.h"

namespace {

// Evaluates "O " + condition as the command O would.
bool Evaluate(const std::string& condition) {
    std::snprintf(markup::CommandBuffer, sizeof markup::CommandBuffer, "O %s", condition.c_str());
    return markup::EvaluateCondition() != 0;
}

// The condition with a blank between every two characters and around it.
std::string Spread(const std::string& condition) {
    std::string spread = " ";
    for (char c : condition) {
        spread += c;
        spread += ' ';
    }
    return spread;
}

std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : headless::MessageBoxes()) texts.emplace_back(box.text.begin(), box.text.end());
    return texts;
}

class ConditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        book::ResetStoryVariables();
    }
};

struct Case {
    const char* condition;
    std::vector<int> held;                        // variables whose held byte is 1
    std::vector<std::pair<int, int>> values;      // variable, value
    bool expected;
    const char* what;
};

// Variables 59, 88 and 90 of interp_book are numbers, 63 a list of four texts; the other
// numbers used here are plain items.
const std::vector<Case> BookForms = {
    {"(X %5)", {5}, {}, true, "held"},
    {"(X %5)", {}, {}, false, "not held"},
    {"(%88 x 350)", {}, {{88, 351}}, true, "greater"},
    {"(%88 x 350)", {}, {{88, 350}}, false, "greater is strict"},
    {"(%90 y 75)", {}, {{90, 74}}, true, "less"},
    {"(%90 y 75)", {}, {{90, 75}}, false, "less is strict"},
    {"(%63 = 2)", {}, {{63, 2}}, true, "a list compares its index"},
    {"(%63 = 2)", {}, {{63, 1}}, false, "another index"},
    {"(%88 = %90)", {}, {{88, 40}, {90, 40}}, true, "two variables equal"},
    {"(%88 = %90)", {}, {{88, 40}, {90, 41}}, false, "two variables differ"},
    {"(%88 y %90)", {}, {{88, 40}, {90, 41}}, true, "less than a variable"},
    {"(%88 x 0)", {}, {{88, 500}}, true, "values above 255"},
    {"!(X %19) & (%59 x 4)", {19}, {{59, 9}}, false, "held 19 decides the and"},
    {"!(X %19) & (%59 x 4)", {}, {{59, 5}}, true, "then the second group decides: true"},
    {"!(X %19) & (%59 x 4)", {}, {{59, 4}}, false, "then the second group decides: false"},
    {"(X %3) | (X %175) & (%88 x 25)", {3}, {{88, 10}}, false, "left to right: (true | ...) & false"},
    {"(X %3) | (X %175) & (%88 x 25)", {175}, {{88, 26}}, true, "or, then and"},
    {"!(X %130) | !(X %37) & (%59 x 9)", {130, 37}, {{59, 10}}, false, "(not | not) & above: both held"},
    {"!(X %130) | !(X %37) & (%59 x 9)", {37}, {{59, 10}}, true, "first not holds"},
    {"!(X %130) | !(X %37) & (%59 x 9)", {130}, {{59, 10}}, true, "second not holds"},
    {"!(X %130) | !(X %37) & (%59 x 9)", {}, {{59, 9}}, false, "the and decides last"},
    {"!((X %14) & (X %17) | (X %9))", {9}, {}, false, "a skipped group inside a negation"},
    {"!((X %14) & (X %17) | (X %9))", {}, {}, true, "negation of false"},
    {"!((X %14) & (X %17) | (X %9))", {14, 17}, {}, false, "negation of true"},
    {"((X %3) | (X %125)) & (%88 x 25)", {125}, {{88, 30}}, true, "nested groups"},
    {"((X %3) | (X %125)) & (%88 x 25)", {}, {{88, 30}}, false, "nested groups, neither held"},
    {"(X %1) & (X %2) & (X %3) & (X %4)", {1, 2, 3, 4}, {}, true, "a long chain"},
};

void Apply(const Case& c) {
    book::ResetStoryVariables();
    for (int v : c.held) book::SetHeld(v, 1);
    for (auto [v, x] : c.values) book::SetVariableValue(v, x);
}

TEST_F(ConditionsTest, BookFormsWithAndWithoutBlanks) {
    for (const Case& c : BookForms) {
        Apply(c);
        EXPECT_EQ(Evaluate(c.condition), c.expected) << c.condition << ": " << c.what;
        EXPECT_EQ(Evaluate(Spread(c.condition)), c.expected) << Spread(c.condition) << ": " << c.what;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ConditionsTest, HeldIsAnyNonzeroByte) {
    for (int8_t held : {int8_t{1}, int8_t{2}, int8_t{-1}, int8_t{-128}}) {
        book::SetHeld(5, held);
        EXPECT_TRUE(Evaluate("(X %5)")) << int{held};
    }
    // The held byte of a number is its low byte: 256 has a zero low byte.
    book::SetVariableValue(88, 256);
    EXPECT_FALSE(Evaluate("(X %88)"));
}

TEST_F(ConditionsTest, ShortCircuitNeverEvaluatesTheSkippedGroup) {
    // Evaluated, the group after the "&" would pop from an empty stack and say so.
    EXPECT_FALSE(Evaluate("(X %5) & ( = )"));
    EXPECT_FALSE(Evaluate("!(X %19) & (%59 x 4 ( = ))"));
    book::SetHeld(5, 1);
    EXPECT_TRUE(Evaluate("(X %5) | !( = )"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ConditionsTest, StacksAreEmptiedAtEveryEvaluation) {
    EXPECT_FALSE(Evaluate("(X %5) (X %6) !!!"));  // leaves entries behind
    book::SetHeld(7, 1);
    EXPECT_TRUE(Evaluate("(X %7)"));
    EXPECT_EQ(markup::OperandStack.count, 1);
    EXPECT_EQ(markup::OperatorStack.count, 0);
}

// Conditions the book never holds: each ends, stays inside the stacks and gives the
// result the rules give (digits with no operand are ignored, a missing operand is false).
TEST_F(ConditionsTest, MalformedConditionsEndSafely) {
    struct Malformed {
        const char* condition;
        bool expected;
        size_t messages;
        const char* what;
    };
    book::SetHeld(5, 1);
    book::SetVariableValue(88, 30);
    const Malformed cases[] = {
        {"", false, 0, "empty"},
        {"   ", false, 0, "only blanks"},
        {"12 (X %5)", true, 0, "digits before any operand are ignored"},
        {"(%88 x (25))", true, 0, "a parenthesised right side still compares"},
        {"(%88 x (35))", false, 0, "and compares the right way"},
        {"& | !", false, 0, "operators without operands"},
        {"| (X %5)", true, 1, "an or with nothing on its left pops an empty stack"},
        {"((X %5)", true, 0, "a parenthesis left open"},
        {"(X %5)))", true, 0, "closing parentheses beyond the opening ones"},
        {")(X %5)", true, 0, "a closing parenthesis first"},
        {"((((((((((((X %5))))))))))))", true, 0, "twelve nested groups"},
        {"(X %5) &", true, 0, "an and at the end"},
        {"(X)", false, 1, "a held test without its variable pops an empty stack"},
        {"(= 3)", false, 1, "a comparison without its left side"},
        {"(%5", true, 0, "ends inside a group: the operand stands"},
        {"x y = X", false, 0, "operators only: nothing closes, nothing is evaluated"},
    };
    for (const Malformed& c : cases) {
        headless::ClearMessageBoxes();
        markup::OperandStack.entries[0] = {};  // an empty pop yields the bottom entry
        EXPECT_EQ(Evaluate(c.condition), c.expected) << '"' << c.condition << "\": " << c.what;
        EXPECT_EQ(Messages().size(), c.messages) << '"' << c.condition << "\": " << c.what;
        EXPECT_LE(markup::OperandStack.count, markup::ConditionStackCapacity);
        EXPECT_LE(markup::OperatorStack.count, markup::ConditionStackCapacity);
    }
}

TEST_F(ConditionsTest, FullStacksShowTheirMessageOnceAndIgnoreFurtherPushes) {
    // Twelve negations and a held test: the tenth operator fills the stack; the eleventh,
    // the twelfth and the X are ignored, so the variable number stands as the operand.
    EXPECT_TRUE(Evaluate("!!!!!!!!!!!!(X %5)"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operators stack overflow"});
    EXPECT_EQ(markup::OperatorStack.count, 0);

    headless::ClearMessageBoxes();
    Evaluate("!(!(!(!(!(!(!(!(!(!(!(!(X %5))))))))))))");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operators stack overflow"});

    headless::ClearMessageBoxes();
    Evaluate("%1%2%3%4%5%6%7%8%9%10%11%12");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operands stack overflow"});
    EXPECT_EQ(markup::OperandStack.count, markup::ConditionStackCapacity);
}

TEST_F(ConditionsTest, StackOperations) {
    markup::OperandStack.count = 0;
    for (int16_t i = 0; i < 12; ++i) markup::PushOperand(i, false);
    EXPECT_EQ(markup::OperandStack.count, 10);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Operands stack overflow"});
    EXPECT_EQ(markup::PopOperand(), 9) << "the pushes beyond the tenth were ignored";

    headless::ClearMessageBoxes();
    markup::OperandStack.count = 0;
    markup::OperandStack.entries[0] = {88, true};
    book::SetVariableValue(88, 123);
    EXPECT_EQ(markup::PopOperand(), 88) << "an empty pop yields the bottom entry";
    EXPECT_EQ(markup::PopOperandValue(), 123) << "through its reference";
    EXPECT_EQ(markup::OperandStack.count, 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Can't remove an operand from an empty stack!",
                                                    "Can't remove an operand from an empty stack!"}));

    headless::ClearMessageBoxes();
    markup::OperatorStack.count = 0;
    markup::PushOperator('&', 2);
    EXPECT_EQ(markup::PopOperator().op, '&');
    EXPECT_EQ(markup::PopOperator().op, '&') << "the bottom entry again";
    EXPECT_EQ(markup::OperatorStack.count, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't remove an operator from an empty stack!"});
}

TEST_F(ConditionsTest, SkipGroupStopsAfterItsGroupOrAtTheEnd) {
    struct Skip {
        const char* command;  // the skip starts after the letter
        int16_t depth;
        int16_t end;
    };
    const Skip cases[] = {
        {"O (X %5) & rest", 0, 8},
        {"O !((X %1) | (X %2)) rest", 0, 20},
        {"O (X %5)) rest", 1, 8},  // inside a group: its first ")" brings the count back
        {"O ((X %5)", 0, 9},       // never closes: the end of the command
    };
    for (const Skip& c : cases) {
        std::snprintf(markup::CommandBuffer, sizeof markup::CommandBuffer, "%s", c.command);
        markup::CommandPosition = 1;
        markup::SkipGroup(c.depth);
        EXPECT_EQ(markup::CommandPosition, c.end) << c.command;
    }
}

}  // namespace
