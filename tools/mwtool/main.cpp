// mwtool: the authoring tools of one book, linked with that book's tables. Subcommands:
// lint, play, explore, graph and stats (docs/tools.md). Each build of the tool knows its
// book's name and source folder; --book-dir reads the source from another folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/mwtool/book_model.h"
#include "tools/mwtool/explore.h"
#include "tools/mwtool/graph.h"
#include "tools/mwtool/lint.h"
#include "tools/mwtool/play.h"
#include "tools/mwtool/reader.h"
#include "tools/mwtool/stats.h"

#ifndef MWTOOL_BOOK
#define MWTOOL_BOOK "mirewood"
#endif
#ifndef MWTOOL_BOOK_DIR
#define MWTOOL_BOOK_DIR "book/mirewood"
#endif
#ifndef MWTOOL_FIXTURE
#define MWTOOL_FIXTURE 0
#endif

namespace {

constexpr int ExitClean = 0;
constexpr int ExitFindings = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "usage: %s <command> [options]\n"
    "  lint                     static checks of the book source; errors fail\n"
    "      --no-facts           leave out the facts of the book\n"
    "  play                     automated readings through the reader on the headless device\n"
    "      --runs N             readings (1000); reading i uses seed i\n"
    "      --steps N            steps a reading may take before it counts as endless (500)\n"
    "      --uniform            choose uniformly among the ways on, not least-used first\n"
    "      --detours P          percent of steps that use the menu or the back button (5)\n"
    "      --replay SEED        print the path of reading SEED\n"
    "      --hits               print hit counts for every paragraph and hotword\n"
    "  explore                  every reading state reachable from paragraph 2\n"
    "      --states N           state budget (2000000)\n"
    "      --no-menu            do not visit the menu's paragraphs from every state\n"
    "      --paths              print the shortest path to each ending in full\n"
    "  graph                    the paragraph graph as Graphviz DOT\n"
    "      --chapter NAME       only this chapter (a paragraph file's name) and its neighbours\n"
    "      --out FILE           write the DOT to FILE (default: standard output)\n"
    "      --svg FILE, --png FILE  render with Graphviz dot\n"
    "  stats                    words and characters per paragraph, chapter and book\n"
    "      --paragraphs         list every paragraph\n"
    "common options:\n"
    "  --book-dir DIR           read the book source from DIR (the tables stay those of book %s)\n"
    "  --draft                  the book is still being written: paragraphs, pictures and sounds\n"
    "                           not yet made are warnings, and readings stop where the text stops\n";

int Usage(const char* program, const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "mwtool: %s\n", problem);
    std::fprintf(stderr, UsageText, program, MWTOOL_BOOK);
    return ExitUsage;
}

bool ParseCount(const char* text, long low, long high, long& out) {
    if (text == nullptr) return false;
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == 0 && out >= low && out <= high;
}

// The options of every subcommand, read from the command line.
struct Options {
    std::string command;
    std::string bookDir = MWTOOL_BOOK_DIR;
    bool facts = true;
    bool draft = false;
    mwtool::PlayOptions play;
    mwtool::ExploreOptions explore;
    mwtool::GraphOptions graph;
    bool paragraphs = false;
};

// Reads the options; returns an error text, or an empty one when all is well.
std::string ReadOptions(int argc, char** argv, Options& o) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        auto count = [&](long low, long high) {
            if (!ParseCount(value, low, high, n)) return false;
            ++i;
            return true;
        };
        auto text = [&](std::string& into) {
            if (value == nullptr) return false;
            into = value;
            ++i;
            return true;
        };
        bool ok = true;
        if (arg == "--book-dir") ok = text(o.bookDir);
        else if (arg == "--draft") o.draft = true;
        else if (o.command == "lint" && arg == "--no-facts") o.facts = false;
        else if (o.command == "play" && arg == "--runs") ok = count(1, 100000000) && (o.play.runs = n, true);
        else if (o.command == "play" && arg == "--steps") ok = count(1, 1000000) && (o.play.steps = n, true);
        else if (o.command == "play" && arg == "--uniform") o.play.uniform = true;
        else if (o.command == "play" && arg == "--detours") ok = count(0, 100) && (o.play.detourPercent = static_cast<int>(n), true);
        else if (o.command == "play" && arg == "--replay") ok = count(0, 100000000) && (o.play.replay = n, true);
        else if (o.command == "play" && arg == "--hits") o.play.hits = true;
        else if (o.command == "explore" && arg == "--states") ok = count(1, 200000000) && (o.explore.budget = n, true);
        else if (o.command == "explore" && arg == "--no-menu") o.explore.menu = false;
        else if (o.command == "explore" && arg == "--paths") o.explore.fullPaths = true;
        else if (o.command == "graph" && arg == "--chapter") ok = text(o.graph.chapter);
        else if (o.command == "graph" && arg == "--out") ok = text(o.graph.out);
        else if (o.command == "graph" && arg == "--svg") ok = text(o.graph.svg);
        else if (o.command == "graph" && arg == "--png") ok = text(o.graph.png);
        else if (o.command == "stats" && arg == "--paragraphs") o.paragraphs = true;
        else return "unknown option " + arg + " for " + o.command;
        if (!ok) return "option " + arg + " needs a valid value";
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(argv[0], nullptr);
    Options o;
    o.command = argv[1];
    if (o.command == "-h" || o.command == "--help") {
        std::printf(UsageText, argv[0], MWTOOL_BOOK);
        return ExitClean;
    }
    if (o.command != "lint" && o.command != "play" && o.command != "explore" && o.command != "graph" && o.command != "stats")
        return Usage(argv[0], ("unknown command " + o.command).c_str());
    if (std::string problem = ReadOptions(argc, argv, o); !problem.empty()) return Usage(argv[0], problem.c_str());
    o.play.draft = o.draft;
    o.explore.draft = o.draft;

    mwtool::SourceBook book;
    std::string errors;
    if (!mwtool::LoadSourceBook(o.bookDir, MWTOOL_FIXTURE != 0, book, errors)) {
        std::fprintf(stderr, "%smwtool: the book source in %s cannot be read\n", errors.c_str(), o.bookDir.c_str());
        return ExitUsage;
    }

    if (o.command == "graph") return mwtool::Graph(book, o.graph) ? ExitClean : ExitFindings;
    if (o.command == "stats") {
        mwtool::PrintStats(book, o.paragraphs, stdout);
        return ExitClean;
    }

    if (!mwtool::reader::Open()) {
        std::fprintf(stderr, "mwtool: the reader's window could not be made on the headless device\n");
        return ExitUsage;
    }
    int status = ExitClean;
    if (o.command == "lint") {
        mwtool::Findings findings;
        mwtool::LintOptions lint;
        lint.draft = o.draft;
        mwtool::Lint(book, lint, findings);
        findings.Print(book.book, stdout);
        if (o.facts) mwtool::PrintFacts(book, stdout);
        std::printf("lint: %d errors, %d warnings\n", findings.Errors(), findings.Warnings());
        status = findings.Errors() > 0 ? ExitFindings : ExitClean;
    } else if (o.command == "play") {
        status = mwtool::Play(book, o.play, stdout) ? ExitClean : ExitFindings;
    } else {
        status = mwtool::Explore(book, o.explore, stdout) ? ExitClean : ExitFindings;
    }
    mwtool::reader::Close();
    return status;
}
