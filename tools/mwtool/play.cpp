// play: readings through the reader's own command handling. Each step takes the least-used
// way on of the page (or one at random), now and then a menu page or the back button, and
// the reading ends at a marked ending or after the step budget.
#include "tools/mwtool/play.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <unordered_map>

#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "tools/mwtool/choices.h"
#include "tools/mwtool/reader.h"

namespace mwtool {
namespace {

// The menu and command-bar commands a detour takes: the menu paragraphs and built-in pages.
constexpr int32_t DetourCommands[] = {501, 502, 503, 504, 506, 507, 508, 513};
constexpr int32_t BuiltInPageCommands[] = {504, 507, 513};
constexpr size_t ListedSeeds = 10;

// The tool's own choices come from a generator of their own, seeded by the reading, so the
// engine's draws (seeded the same way) stay exactly those of a reader.
class Choices {
public:
    explicit Choices(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }

private:
    uint64_t state_;
};

// How a reading came to a paragraph: from which paragraph, by which of its hotwords.
struct Arrival {
    int from;
    int source;
    long run;
};

struct Fault {
    std::string message;
    int from;
    int to;
    std::string action;
    long run;
    long step;
};

class Player {
public:
    Player(const SourceBook& book, const PlayOptions& options, std::FILE* out) : b_(book), o_(options), out_(out) {}

    bool Run() {
        const std::clock_t start = std::clock();
        const long last = o_.replay >= 0 ? o_.replay : o_.runs - 1;
        for (long run = 0; run <= last; ++run) {
            // Readings are independent of each other only when choices are uniform.
            if (o_.replay >= 0 && o_.uniform && run != o_.replay) continue;
            Reading(run, run == o_.replay);
        }
        // Processor time, so the figure does not depend on what else the machine runs.
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        const bool clean = faults_.empty() && deadEnds_.empty() && missing_.empty() && crowded_.empty();
        if (o_.replay < 0) Report(seconds);
        return clean;
    }

private:
    // ---------------------------------------------------------------------------------
    // One reading
    // ---------------------------------------------------------------------------------

    void Reading(long run, bool printing) {
        Choices choices(static_cast<uint64_t>(run));
        plat::SeedRandom(static_cast<uint32_t>(run));
        reader::StartAtBeginning();
        ++pages_;
        TakeFaults(run, 0, 2, "the start");
        bool builtIn = false;
        std::vector<Option> options;
        std::pair<int, int> cameBy = {2, -1};  // the paragraph and hotword the last move left by
        for (long step = 0; step < o_.steps; ++step) {
            const int paragraph = shell::CurrentParagraph;
            const bool inStory = shell::InStory;
            const ParagraphModel* p = builtIn ? nullptr : b_.Find(paragraph);
            if (!builtIn && !reader::HasPage(paragraph)) {
                // The reader would show the last page it assembled again.
                if (o_.draft) ++unwritten_[paragraph];
                else missing_.emplace(paragraph, Arrival{cameBy.first, cameBy.second, run});
                if (printing) std::fprintf(out_, "step %ld: paragraph %d has no text\n", step, paragraph);
                return;
            }
            if (!builtIn && paragraph >= 0 && paragraph <= book::ParagraphCount) ++paragraphHits_[static_cast<size_t>(paragraph)];
            if (!builtIn && reader::HotwordsOnPage() > MaxHotwordsOnPage) crowded_.emplace(paragraph, Arrival{reader::HotwordsOnPage(), -1, run});
            if (p != nullptr && p->ending && inStory) {
                ++endings_[paragraph];
                if (printing) std::fprintf(out_, "step %ld: paragraph %d is an ending\n", step, paragraph);
                return;
            }
            PageOptions(p, OptionRules{}, options);
            if (!inStory) options.push_back(BackOption());
            if (options.empty()) {
                deadEnds_.emplace(paragraph, run);
                if (printing) std::fprintf(out_, "step %ld: paragraph %d has no way on\n", step, paragraph);
                return;
            }
            Option choice;
            if (inStory && o_.detourPercent > 0 && choices.Below(100) < static_cast<size_t>(o_.detourPercent)) {
                choice = BackOption();
                choice.command = DetourCommands[choices.Below(std::size(DetourCommands))];
                choice.label = "menu command " + std::to_string(choice.command);
            } else {
                choice = Pick(paragraph, options, choices);
            }
            if (printing) std::fprintf(out_, "step %ld: %s %d: %s\n", step, builtIn ? "built-in page after" : inStory ? "paragraph" : "aside at paragraph", paragraph, choice.label.c_str());
            Act(choice);
            if (p != nullptr && choice.source >= 0) ++hotwordHits_[{paragraph, choice.source}];
            cameBy = {paragraph, p != nullptr ? choice.source : -1};
            builtIn = choice.action == Option::Command &&
                      std::find(std::begin(BuiltInPageCommands), std::end(BuiltInPageCommands), choice.command) != std::end(BuiltInPageCommands);
            ++pages_;
            TakeFaults(run, step, paragraph, choice.label);
        }
        endless_.push_back(run);
        if (printing) std::fprintf(out_, "after %ld steps: no ending reached\n", o_.steps);
    }

    static Option BackOption() {
        Option o{Option::Command, {}, -1, 0, "", 0, shell::BackCommand, -1, "the back button"};
        return o;
    }

    static uint64_t Key(int paragraph, const Option& o) {
        const uint64_t which = o.source >= 0 ? static_cast<uint64_t>(o.source) : 0x8000u + static_cast<uint64_t>(o.choice.controlId & 0x7FFF);
        return (static_cast<uint64_t>(paragraph) << 40) | (which << 20) | (static_cast<uint64_t>(o.action) << 16) | (static_cast<uint64_t>(o.variant) << 12) |
               static_cast<uint64_t>(o.command & 0xFFF);
    }

    // Returns the least-used option of the page (ties drawn at random), or any one when
    // uniform, and counts its use.
    Option Pick(int paragraph, const std::vector<Option>& options, Choices& choices) {
        if (o_.uniform) return options[choices.Below(options.size())];
        uint64_t least = UINT64_MAX;
        std::vector<size_t> best;
        for (size_t i = 0; i < options.size(); ++i) {
            const uint64_t used = use_[Key(paragraph, options[i])];
            if (used < least) {
                least = used;
                best.clear();
            }
            if (used == least) best.push_back(i);
        }
        const Option& chosen = options[best[choices.Below(best.size())]];
        ++use_[Key(paragraph, chosen)];
        return chosen;
    }

    void Act(const Option& o) {
        switch (o.action) {
        case Option::Tap:
        case Option::Chance:
            reader::Tap(o.choice.controlId);
            break;
        case Option::Answer:
            reader::TypeAndConfirm(o.choice.controlId, o.text);
            break;
        case Option::Arrow:
        case Option::Command:
            reader::Command(o.command);
            break;
        }
    }

    void TakeFaults(long run, long step, int from, const std::string& action) {
        for (const ShownBox& box : reader::TakeBoxes())
            if (box.fault) faults_.push_back({box.text, from, shell::CurrentParagraph, action, run, step});
    }

    // ---------------------------------------------------------------------------------
    // The report
    // ---------------------------------------------------------------------------------

    bookc::Location Header(int paragraph) const {
        const ParagraphModel* p = b_.Find(paragraph);
        return p != nullptr ? p->source->header : bookc::Location{};
    }

    void Report(double seconds) {
        long ended = 0;
        for (const auto& [paragraph, count] : endings_) ended += count;
        std::fprintf(out_, "play: %ld readings of up to %ld steps, %s, %d%% detours\n", o_.runs, o_.steps,
                     o_.uniform ? "choosing uniformly" : "least-used choices first", o_.detourPercent);
        std::fprintf(out_, "play: %ld reached an ending, %zu took %ld steps without one, %zu dead ends, %zu data faults\n", ended, endless_.size(),
                     o_.steps, deadEnds_.size(), faults_.size());
        if (!endings_.empty()) {
            std::fprintf(out_, "play: endings reached:");
            for (const auto& [paragraph, count] : endings_) std::fprintf(out_, " %d (%ld)", paragraph, count);
            std::fprintf(out_, "\n");
        }
        if (!unwritten_.empty()) {
            long stopped = 0;
            for (const auto& [paragraph, count] : unwritten_) stopped += count;
            std::fprintf(out_, "play: %ld readings stopped where the draft stops, at paragraphs", stopped);
            for (const auto& [paragraph, count] : unwritten_) std::fprintf(out_, " %d (%ld)", paragraph, count);
            std::fprintf(out_, "\n");
        }

        Findings findings;
        std::map<std::pair<int, std::string>, const Fault*> firstFault;
        for (const Fault& f : faults_) firstFault.emplace(std::pair(f.to, f.message), &f);
        for (const auto& [key, f] : firstFault)
            findings.Error(Header(f->to), "data fault: the reader showed \"" + f->message + "\" on the way from paragraph " + std::to_string(f->from) + " (" +
                                              f->action + ") to paragraph " + std::to_string(f->to) + "; see --replay " + std::to_string(f->run));
        for (const auto& [paragraph, a] : missing_) {
            const ParagraphModel* from = b_.Find(a.from);
            const std::vector<int> hotwords = from != nullptr ? from->Hotwords() : std::vector<int>{};
            const bookc::Location at = a.source >= 0 && a.source < static_cast<int>(hotwords.size())
                                           ? from->At(from->commands[static_cast<size_t>(hotwords[static_cast<size_t>(a.source)])].offset)
                                           : Header(a.from);
            const std::string by = a.source >= 0 ? "this hotword of paragraph " + std::to_string(a.from) : "the menu or an arrow at paragraph " + std::to_string(a.from);
            findings.Error(at, "a reading went by " + by + " to paragraph " + std::to_string(paragraph) +
                                   ", which has no text: the reader shows the last page again; see --replay " + std::to_string(a.run));
        }
        for (const auto& [paragraph, a] : crowded_)
            findings.Error(Header(paragraph), "a page of paragraph " + std::to_string(paragraph) + " showed " + std::to_string(a.from) + " hotwords; a page holds at most " +
                                                  std::to_string(MaxHotwordsOnPage) + "; see --replay " + std::to_string(a.run));
        for (const auto& [paragraph, run] : deadEnds_)
            findings.Error(Header(paragraph), "dead end: paragraph " + std::to_string(paragraph) + " offers no way on and is not an ending; see --replay " +
                                                  std::to_string(run));
        if (!endless_.empty()) {
            std::string seeds;
            for (size_t i = 0; i < endless_.size() && i < ListedSeeds; ++i) seeds += (seeds.empty() ? "" : ", ") + std::to_string(endless_[i]);
            findings.Warning({}, std::to_string(endless_.size()) + " readings reached no ending in " + std::to_string(o_.steps) + " steps (readings " + seeds +
                                     (endless_.size() > ListedSeeds ? ", ..." : "") + "); see --replay");
        }
        for (const ParagraphModel& p : b_.paragraphs) {
            if (p.text.empty()) continue;
            if (paragraphHits_[static_cast<size_t>(p.number)] == 0) {
                findings.Warning(p.source->header, "no reading visited paragraph " + std::to_string(p.number));
                continue;
            }
            const std::vector<int> hotwords = p.Hotwords();
            for (size_t h = 0; h < hotwords.size(); ++h) {
                if (hotwordHits_.count({p.number, static_cast<int>(h)}) != 0) continue;
                const Command& c = p.commands[static_cast<size_t>(hotwords[h])];
                findings.Warning(p.At(c.offset), "no reading chose this hotword of paragraph " + std::to_string(p.number));
            }
        }
        findings.Print(b_.book, out_);
        if (o_.hits) PrintHits();
        std::fprintf(out_, "play: %ld pages in %.2f s of processor time: %.0f pages per second\n", pages_, seconds, seconds > 0 ? static_cast<double>(pages_) / seconds : 0.0);
    }

    void PrintHits() {
        std::fprintf(out_, "hits per paragraph:\n");
        for (int n = 1; n <= book::ParagraphCount; ++n)
            if (paragraphHits_[static_cast<size_t>(n)] > 0) std::fprintf(out_, "  %d: %ld\n", n, paragraphHits_[static_cast<size_t>(n)]);
        std::fprintf(out_, "hits per hotword:\n");
        for (const auto& [key, count] : hotwordHits_) {
            const ParagraphModel* p = b_.Find(key.first);
            if (p != nullptr) std::fprintf(out_, "  %s: %ld\n", DescribeHotword(b_, *p, key.second).c_str(), count);
        }
    }

    const SourceBook& b_;
    const PlayOptions& o_;
    std::FILE* out_;
    std::unordered_map<uint64_t, uint64_t> use_;
    std::vector<long> paragraphHits_ = std::vector<long>(book::ParagraphCount + 1);
    std::map<std::pair<int, int>, long> hotwordHits_;
    std::map<int, long> endings_;
    std::map<int, long> deadEnds_;  // paragraph -> first reading
    std::vector<long> endless_;
    std::map<int, Arrival> missing_;    // paragraphs without text that readings reached
    std::map<int, long> unwritten_;     // the same in a draft: where readings stopped
    std::map<int, Arrival> crowded_;    // pages with too many hotwords (from: the count)
    std::vector<Fault> faults_;
    long pages_ = 0;
};

}  // namespace

bool Play(const SourceBook& book, const PlayOptions& options, std::FILE* out) { return Player(book, options, out).Run(); }

}  // namespace mwtool
