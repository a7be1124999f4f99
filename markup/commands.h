// The command set: runs the markup command held in the scanner's CommandBuffer.
#pragma once

#include <cstdint>

namespace markup {

// Runs the command in CommandBuffer; returns nonzero for true. Called once per command by
// the scanner.
uint8_t RunCommand();

// Plays sound n of the book's sound table when sounds are on; a number outside the table
// plays nothing.
void PlayBookSound(int n);
void StopBookSound();

}  // namespace markup
