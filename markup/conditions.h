// Condition expressions of the commands O and o: a single left-to-right pass over the
// command with an operand and an operator stack, a parenthesis depth and a short-circuit
// that passes over the group after "&" or "|" when the left side already decides.
// Called by the command set.
#pragma once

#include <cstdint>

namespace markup {

inline constexpr int ConditionStackCapacity = 10;

struct Operand {
    int16_t value;
    bool reference;  // value is a variable number whose current value is meant
};

struct Operator {
    char op;        // '=', 'x', 'y', 'X', '!', '&' or '|'
    int16_t depth;  // the parenthesis depth at which it was read
};

struct OperandStackRecord {
    Operand entries[ConditionStackCapacity];
    int16_t count;
};

struct OperatorStackRecord {
    Operator entries[ConditionStackCapacity];
    int16_t count;
};

extern OperandStackRecord OperandStack;
extern OperatorStackRecord OperatorStack;

// Reads the condition from CommandBuffer after the command letter (one blank after it is
// passed over) to the end of the command; returns nonzero for true. Malformed conditions
// end too, each character read once; an empty condition is false.
uint8_t EvaluateCondition();

// Pushes an entry. The push that fills the tenth entry shows "Operands stack overflow" or
// "Operators stack overflow"; a push onto a full stack is ignored without a further message.
void PushOperand(int16_t value, bool reference);
void PushOperator(char op, int16_t depth);
// Removes the top operand and returns its stored value. On an empty stack shows "Can't
// remove an operand from an empty stack!" and returns the bottom entry's stored value.
int16_t PopOperand();
// As PopOperand, but a reference yields the current value of the variable it names.
int32_t PopOperandValue();
// Removes the top operator and returns it; on an empty stack shows "Can't remove an
// operator from an empty stack!" and returns the bottom entry.
Operator PopOperator();
// Moves CommandPosition past the group that starts there: up to the ")" that brings the
// parenthesis count back to depth, or to the end of the command.
void SkipGroup(int16_t depth);

}  // namespace markup
