// The condition evaluator of the commands O and o. It owns the operand and operator stacks
// and reads the condition from the scanner's CommandBuffer in one pass: comparisons and
// held tests are evaluated at their closing parenthesis, "!", "&" and "|" as soon as the
// groups they join are closed, strictly from left to right.
#include "markup/conditions.h"

#include "book/variables.h"
#include "markup/scanner.h"
#include "page/display_list.h"

namespace markup {

OperandStackRecord OperandStack;
OperatorStackRecord OperatorStack;

namespace {

Operand* TopOperand() {
    return OperandStack.count > 0 ? &OperandStack.entries[OperandStack.count - 1] : nullptr;
}

const Operator* TopOperatorAt(int16_t depth) {
    if (OperatorStack.count == 0) return nullptr;
    const Operator* top = &OperatorStack.entries[OperatorStack.count - 1];
    return top->depth == depth ? top : nullptr;
}

bool IsTest(char op) { return op == '=' || op == 'x' || op == 'y' || op == 'X'; }
bool IsJoin(char op) { return op == '!' || op == '&' || op == '|'; }

// The top operand's value as a truth value; a missing operand counts as false.
bool TopIsTrue() {
    const Operand* top = TopOperand();
    return top != nullptr && top->value != 0;
}

// Evaluates the comparison or held test on top of the operator stack into one operand.
void EvaluateTest() {
    char op = PopOperator().op;
    if (op == 'X') {
        int16_t v = PopOperand();
        PushOperand(book::HeldByte(v), false);
        return;
    }
    int32_t right = PopOperandValue();
    int32_t left = book::VariableValue(PopOperand());
    bool result = op == '=' ? left == right : op == 'x' ? left > right : left < right;
    PushOperand(result ? 1 : 0, false);
}

// Applies the negations and joins that wait at depth, now that their groups are closed.
void EvaluateJoins(int16_t depth) {
    while (const Operator* top = TopOperatorAt(depth)) {
        if (!IsJoin(top->op)) break;
        char op = PopOperator().op;
        if (op == '!') {
            if (Operand* operand = TopOperand()) operand->value = operand->value == 0 ? 1 : 0;
            continue;
        }
        bool b = static_cast<int8_t>(PopOperand()) != 0;
        bool a = static_cast<int8_t>(PopOperand()) != 0;
        PushOperand(op == '&' ? (a && b) : (a || b), false);
    }
}

}  // namespace

void PushOperand(int16_t value, bool reference) {
    if (OperandStack.count >= ConditionStackCapacity) return;
    OperandStack.entries[OperandStack.count++] = {value, reference};
    if (OperandStack.count == ConditionStackCapacity) page::ShowErrorMessage("Operands stack overflow");
}

void PushOperator(char op, int16_t depth) {
    if (OperatorStack.count >= ConditionStackCapacity) return;
    OperatorStack.entries[OperatorStack.count++] = {op, depth};
    if (OperatorStack.count == ConditionStackCapacity) page::ShowErrorMessage("Operators stack overflow");
}

int16_t PopOperand() {
    if (OperandStack.count == 0) {
        page::ShowErrorMessage("Can't remove an operand from an empty stack!");
        return OperandStack.entries[0].value;
    }
    return OperandStack.entries[--OperandStack.count].value;
}

int32_t PopOperandValue() {
    bool reference = OperandStack.entries[OperandStack.count > 0 ? OperandStack.count - 1 : 0].reference;
    int16_t value = PopOperand();
    return reference ? book::VariableValue(value) : value;
}

Operator PopOperator() {
    if (OperatorStack.count == 0) {
        page::ShowErrorMessage("Can't remove an operator from an empty stack!");
        return OperatorStack.entries[0];
    }
    return OperatorStack.entries[--OperatorStack.count];
}

void SkipGroup(int16_t depth) {
    int count = depth;
    for (char c = CommandChar(); c != 0; c = CommandChar()) {
        ++CommandPosition;
        if (c == '(') {
            ++count;
        } else if (c == ')' && --count == depth) {
            return;
        }
    }
}

uint8_t EvaluateCondition() {
    OperandStack.count = 0;
    OperatorStack.count = 0;
    int16_t depth = 0;
    bool afterComparison = false;
    CommandPosition = 1;
    if (CommandChar() == ' ') CommandPosition = 2;

    for (char c = CommandChar(); c != 0; c = CommandChar()) {
        ++CommandPosition;
        switch (c) {
        case '%':
            // Right after a comparison the "%" turns the operand just pushed for the
            // right side into a variable reference; otherwise it starts a left side.
            if (!afterComparison) {
                PushOperand(0, true);
            } else if (Operand* top = TopOperand()) {
                top->reference = true;
            }
            break;
        case '(':
            ++depth;
            break;
        case '=':
        case 'x':
        case 'y':
            PushOperator(c, depth);
            PushOperand(0, false);
            afterComparison = true;
            break;
        case 'X':
        case '!':
            PushOperator(c, depth);
            break;
        case '&':
            if (!TopIsTrue()) {
                SkipGroup(depth);
            } else {
                PushOperator(c, depth);
            }
            break;
        case '|':
            if (TopIsTrue()) {
                SkipGroup(depth);
            } else {
                PushOperator(c, depth);
            }
            break;
        case ')':
            if (const Operator* top = TopOperatorAt(depth); top != nullptr && IsTest(top->op))
                EvaluateTest();
            --depth;
            EvaluateJoins(depth);
            break;
        default:
            if (c >= '0' && c <= '9') {
                afterComparison = false;
                // A digit before any operand has nothing to build on and is ignored.
                if (Operand* top = TopOperand())
                    top->value = static_cast<int16_t>(top->value * 10 + (c - '0'));
            }
            break;
        }
    }
    const Operand* top = TopOperand();
    return top == nullptr ? 0 : static_cast<uint8_t>(top->value);
}

}  // namespace markup
