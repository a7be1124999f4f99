// Helpers of the markup tests: a scan from a clean page and story, the resulting display
// list written as one line, and the message boxes shown meanwhile.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace markup_test {

// Puts the page, the scanner, the story variables, the arrows, the sound setting (on) and
// the headless device back to their start.
void ResetAll();
// Scans text onto an empty page and returns the page as Describe writes it.
std::string Scan(const char* text);
// The display list as one line: [text] runs, T[title], B and /B, BR (line break), P (blank
// line), TAB, L C R (alignments), pic<id> or pic<id>i (inline), btn[caption], edit<n>.
std::string Describe();
// The texts of the message boxes shown since the last reset, oldest first.
std::vector<std::string> Messages();

class MarkupTest : public testing::Test {
protected:
    void SetUp() override { ResetAll(); }
};

}  // namespace markup_test
