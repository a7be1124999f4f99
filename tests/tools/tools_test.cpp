// The authoring tools on fixture books with one planted fault each: every fault is caught
// by the right tool, at the right place in the source, and the tool's exit status says
// whether it found an error. Runs the mwtool_<fixture> executables of this folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace {

struct Case {
    const char* name;
    const char* fixture;
    const char* arguments;
    int exitStatus;        // 0 clean (warnings at most), 1 errors found
    const char* expected;  // a line, or part of one, the tool prints
};

const Case Cases[] = {
    {"BrokenTargetLint", "tools_broken_target", "lint", 1,
     "tools_broken_target/text/story.mw:4:30: error: the hotword leads to paragraph 30, which has no text"},
    {"BrokenTargetPlay", "tools_broken_target", "play --runs 20", 1,
     "tools_broken_target/text/story.mw:4:30: error: a reading went by this hotword of paragraph 2 to paragraph 30, which has no text"},
    {"BrokenTargetExplore", "tools_broken_target", "explore", 1,
     "tools_broken_target/text/story.mw:4:30: error: paragraph 30 has no text, but a reading reaches it by 2 -(\"Take the right path\")-> 30"},
    {"UnreachableLint", "tools_unreachable", "lint", 0,
     "tools_unreachable/text/story.mw:11:1: warning: paragraph 25 is unreachable: no target leads to it"},
    {"UnreachableExplore", "tools_unreachable", "explore", 0,
     "tools_unreachable/text/story.mw:11:1: warning: no reading state reaches paragraph 25"},
    {"ExploreForksEveryDraw", "tools_unreachable", "explore", 0, "ending 21 in 1 moves: 2 -(\"Pole out\" (50% to 21))-> 21"},
    {"GraphLabelsChances", "tools_unreachable", "graph", 0, "p2 -> p21 [color=\"#c06000\", fontcolor=\"#c06000\", style=dashed, label=\"50%\"]"},
    {"RiddleLint", "tools_riddle", "lint", 1,
     "tools_riddle/text/story.mw:5:5: error: answer 1 is empty: no typed text can ever match it"},
    {"RiddleExplore", "tools_riddle", "explore", 0, "tools_riddle/text/story.mw:7:1: warning: no reading state reaches paragraph 20"},
    {"RiddleExploreAnswers", "tools_riddle", "explore", 0, "ending 22 in 1 moves: 2 -(typed \"a river\")-> 22"},
    {"RiddlePlayTypesAnswers", "tools_riddle", "play --runs 20", 0, "play: endings reached: 21 (13) 22 (7)"},
    {"DeadEndLintCannotTell", "tools_dead_end", "lint", 0, "lint: 0 errors, 0 warnings"},
    {"DeadEndPlay", "tools_dead_end", "play --runs 20", 1,
     "tools_dead_end/text/story.mw:6:1: error: dead end: paragraph 20 offers no way on and is not an ending"},
    {"DeadEndExplore", "tools_dead_end", "explore", 1,
     "tools_dead_end/text/story.mw:6:1: error: dead end: paragraph 20 offers no way on and is not an ending, reached by 2 -(\"Go on without it\")-> 20"},
    {"DeadEndReplay", "tools_dead_end", "play --replay 0", 1, "step 1: paragraph 20 has no way on"},
    {"WideCaptionLint", "tools_wide_caption", "lint", 1,
     "tools_wide_caption/text/story.mw:4:1: error: the button \"Follow the towpath all the way to the lock-keeper's cottage\" is"},
    {"NeverHoldsLint", "tools_never_holds", "lint", 1,
     "tools_never_holds/text/story.mw:7:40: error: the condition \"(%0 x 5)\" can never hold: %count (Count) stays within 0..3, so it is never above 5"},
    {"NeverHoldsExplore", "tools_never_holds", "explore", 0,
     "tools_never_holds/text/story.mw:7:53: warning: no reading state offers this hotword of paragraph 20"},
    {"EndlessLoopExplore", "tools_endless_loop", "explore", 1,
     "tools_endless_loop/text/story.mw:5:1: error: endless loop: readings go round paragraphs 20, 21 for ever (2 reading states)"},
    {"EndlessLoopPlay", "tools_endless_loop", "play --runs 20 --steps 50", 0, "warning: 20 readings reached no ending in 50 steps"},
    {"DataFaultLint", "tools_data_fault", "lint", 1,
     "tools_data_fault/text/story.mw:7:10: error: <l %moon (The Moon)> shows a picture in the title: the reader says \"Images not allowed in title\""},
    {"DataFaultPlay", "tools_data_fault", "play --runs 20", 1,
     "tools_data_fault/text/story.mw:6:1: error: data fault: the reader showed \"Images not allowed in title\" on the way from paragraph 2"},
    {"DataFaultExplore", "tools_data_fault", "explore", 1,
     "tools_data_fault/text/story.mw:6:1: error: data fault: the reader showed \"Images not allowed in title\" at paragraph 20 (building the page)"},
    {"GraphMarksBrokenTarget", "tools_broken_target", "graph", 0, "p30 [label=\"30\\n(no text)\", color=red"},
    {"GraphMarksEnding", "tools_broken_target", "graph --chapter story", 0, "p20 [label=\"20\\nThe Ferry\", peripheries=2"},
    {"StatsLongestParagraph", "tools_never_holds", "stats", 0, "longest paragraph: 2, 108 characters"},
};

// Runs a fixture's tool and returns its standard output; status receives its exit status.
std::string RunTool(const Case& c, int& status) {
    const std::string command = std::string(MWTOOL_FIXTURE_TOOLS) + "/mwtool_" + c.fixture + " " + c.arguments + " 2>&1";
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.fixture << " " << c.arguments; }

class PlantedFault : public testing::TestWithParam<Case> {};

TEST_P(PlantedFault, IsCaughtAtItsPlace) {
    const Case& c = GetParam();
    int status = 0;
    const std::string output = RunTool(c, status);
    EXPECT_NE(output.find(c.expected), std::string::npos) << "expected: " << c.expected << "\noutput:\n" << output;
    EXPECT_EQ(status, c.exitStatus) << output;
}

INSTANTIATE_TEST_SUITE_P(Tools, PlantedFault, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
