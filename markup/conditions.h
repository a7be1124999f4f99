// Condition expressions of the commands O and o: a single left-to-right pass over the
// command with an operand and an operator stack.
#pragma once

#include <cstdint>

namespace markup {

inline constexpr int ConditionStackCapacity = 10;

// Reads the condition from CommandBuffer after the command letter; returns nonzero for true.
uint8_t EvaluateCondition();

}  // namespace markup
