// explore: breadth-first over reading states. A state is what the reader holds when it is
// about to build a page: the navigation, every variable and the snapshot slots. Expanding
// a state builds its page through the real reader, then applies each way on (without the
// paint that would follow) to find the next states. States are kept as two 64-bit hashes;
// only the states still to expand are kept whole, packed.
#include "tools/mwtool/explore.h"

#include <algorithm>
#include <ctime>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <unordered_map>

#include "markup/hotwords.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "tools/mwtool/choices.h"
#include "tools/mwtool/reader.h"

namespace mwtool {
namespace {

constexpr uint32_t FirstSeed = 1;
constexpr uint32_t MostSeeds = 64;          // builds of a page that draws, to find its outcomes
constexpr uint32_t SeedsWithoutNews = 16;   // stop once this many builds in a row add nothing
// The menu's paragraphs, visited aside from every story state: command and paragraph.
constexpr std::pair<int32_t, int> MenuCommands[] = {{501, 6}, {502, 3}, {503, 4}, {506, 7}, {508, 5}};
constexpr size_t ListedLoops = 20;

enum NodeFlag : uint8_t { InStory = 1, Expanded = 2, Ending = 4, CanEnd = 8, Cut = 16, DeadEnd = 32, NoText = 64 };

struct Node {
    uint64_t h1;
    uint64_t h2;
    int32_t parent;   // -1 for the first state
    uint32_t via;     // the label of the move from the parent
    int16_t paragraph;
    uint8_t flags;
};

struct Fault {
    uint32_t node;
    std::string move;
};

uint64_t Fnv(const std::string& s) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : s) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

class Explorer {
public:
    Explorer(const SourceBook& book, const ExploreOptions& options, std::FILE* out)
        : b_(book), o_(options), out_(out), read_(VariablesRead(book)) {}

    bool Run() {
        const std::clock_t start = std::clock();
        // What explore checks does not depend on the pixels: the pages are built and laid
        // out, not drawn.
        reader::DrawPages(false);
        plat::SeedRandom(FirstSeed);
        firstDraw_ = plat::NextRandom();
        ReadingState first;
        reader::StartState(first);
        Insert(first, -1, Label("start"));
        while (!frontier_.empty()) {
            auto [id, packed] = std::move(frontier_.front());
            frontier_.pop_front();
            ReadingState state;
            Unpack(packed, state);
            Expand(id, state);
        }
        // Processor time, so the figure does not depend on what else the machine runs.
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        FindTraps();
        return Report(seconds);
    }

private:
    // ---------------------------------------------------------------------------------
    // States: packing, hashing, the table of states seen
    // ---------------------------------------------------------------------------------

    // Packs a state: the navigation, a bitmap of the nonzero variable bytes and those bytes,
    // then each slot with its saved block as an index into the blocks seen. A variable that
    // nothing in the book reads is packed as 0: its value changes nothing a reader meets, and
    // states that differ only there are one state.
    std::string Pack(const ReadingState& s) {
        std::string out;
        auto put = [&](const void* data, size_t size) { out.append(static_cast<const char*>(data), size); };
        put(&s.currentParagraph, 2);
        put(&s.storyParagraph, 2);
        out += static_cast<char>(s.inStory);
        uint8_t bitmap[(book::SnapshotBytes + 7) / 8] = {};
        std::string bytes;
        for (int i = 0; i < book::SnapshotBytes; ++i) {
            if (s.variables[i] == 0 || !read_[static_cast<size_t>(i / 2)]) continue;
            bitmap[i / 8] = static_cast<uint8_t>(bitmap[i / 8] | (1u << (i % 8)));
            bytes += static_cast<char>(s.variables[i]);
        }
        put(bitmap, sizeof bitmap);
        out += bytes;
        for (int k = 0; k < book::SlotCount; ++k) {
            out += static_cast<char>(s.saved[k]);
            put(&s.slotParagraph[k], 2);
            if (s.saved[k] == 0) continue;
            std::string block(reinterpret_cast<const char*>(s.snapshots[k]), book::SnapshotBytes);
            for (int i = 0; i < book::SnapshotBytes; ++i)
                if (!read_[static_cast<size_t>(i / 2)]) block[static_cast<size_t>(i)] = 0;
            auto [it, added] = blockIds_.emplace(block, static_cast<uint32_t>(blocks_.size()));
            if (added) blocks_.push_back(block);
            put(&it->second, 4);
        }
        return out;
    }

    void Unpack(const std::string& in, ReadingState& s) const {
        size_t at = 0;
        auto get = [&](void* data, size_t size) {
            std::memcpy(data, in.data() + at, size);
            at += size;
        };
        get(&s.currentParagraph, 2);
        get(&s.storyParagraph, 2);
        s.inStory = in[at++] != 0;
        uint8_t bitmap[(book::SnapshotBytes + 7) / 8];
        get(bitmap, sizeof bitmap);
        for (int i = 0; i < book::SnapshotBytes; ++i)
            s.variables[i] = (bitmap[i / 8] >> (i % 8)) & 1u ? static_cast<uint8_t>(in[at++]) : 0;
        for (int k = 0; k < book::SlotCount; ++k) {
            s.saved[k] = static_cast<int8_t>(in[at++]);
            get(&s.slotParagraph[k], 2);
            std::memset(s.snapshots[k], 0, book::SnapshotBytes);
            if (s.saved[k] == 0) continue;
            uint32_t id = 0;
            get(&id, 4);
            std::memcpy(s.snapshots[k], blocks_[id].data(), book::SnapshotBytes);
        }
    }

    uint32_t Label(const std::string& label) {
        auto [it, added] = labelIds_.emplace(label, static_cast<uint32_t>(labels_.size()));
        if (added) labels_.push_back(label);
        return it->second;
    }

    // Adds the state unless it was seen; returns its node, or -1 when the budget is spent.
    int32_t Insert(const ReadingState& s, int32_t parent, uint32_t via) {
        std::string packed = Pack(s);
        const uint64_t h1 = std::hash<std::string>{}(packed);
        const uint64_t h2 = Fnv(packed);
        if (table_.size() < 2 * (nodes_.size() + 1)) Grow();
        size_t mask = table_.size() - 1;
        for (size_t i = h1 & mask;; i = (i + 1) & mask) {
            const uint32_t slot = table_[i];
            if (slot == 0) {
                if (static_cast<long>(nodes_.size()) >= o_.budget) return -1;
                table_[i] = static_cast<uint32_t>(nodes_.size()) + 1;
                break;
            }
            const Node& n = nodes_[slot - 1];
            if (n.h1 == h1 && n.h2 == h2) return static_cast<int32_t>(slot - 1);
        }
        const auto id = static_cast<int32_t>(nodes_.size());
        nodes_.push_back({h1, h2, parent, via, s.currentParagraph, static_cast<uint8_t>(s.inStory ? InStory : 0)});
        frontier_.emplace_back(id, std::move(packed));
        const ParagraphModel* p = b_.Find(s.currentParagraph);
        if (p != nullptr && p->ending && s.inStory) firstEnding_.emplace(s.currentParagraph, id);
        return id;
    }

    void Grow() {
        std::vector<uint32_t> old = std::move(table_);
        table_.assign(std::max<size_t>(1024, old.size() * 2), 0);
        const size_t mask = table_.size() - 1;
        for (uint32_t slot : old) {
            if (slot == 0) continue;
            size_t i = nodes_[slot - 1].h1 & mask;
            while (table_[i] != 0) i = (i + 1) & mask;
            table_[i] = slot;
        }
    }

    // ---------------------------------------------------------------------------------
    // Expanding a state
    // ---------------------------------------------------------------------------------

    // Builds the page of the state and notes what the build reported.
    void Build(const ReadingState& state, uint32_t seed, int32_t id) {
        reader::Restore(state);
        plat::SeedRandom(seed);
        reader::Rebuild();
        TakeFaults(id, "building the page");
    }

    void TakeFaults(int32_t id, const std::string& move) {
        for (const ShownBox& box : reader::TakeBoxes())
            if (box.fault) faults_.emplace(std::pair(static_cast<int>(nodes_[static_cast<size_t>(id)].paragraph), box.text), Fault{static_cast<uint32_t>(id), move});
    }

    // Returns a summary of the built page: the variables, and the hotwords' stored values
    // and targets, which a draw at build time can change too.
    static std::string PageKey(const ReadingState& after) {
        std::string key(reinterpret_cast<const char*>(after.variables), book::SnapshotBytes);
        std::vector<PageChoice> choices;
        reader::ListChoices(choices);
        for (const PageChoice& c : choices) {
            if (c.hotword < 0) continue;
            const markup::HotwordEntry& e = markup::HotwordTable[c.hotword];
            for (int32_t field : {int32_t{c.hotword}, int32_t{e.kind}, e.value, int32_t{e.target}, int32_t{e.target2}, int32_t{e.target3}, int32_t{e.elseTarget}})
                key.append(reinterpret_cast<const char*>(&field), sizeof field);
        }
        return key;
    }

    void Expand(int32_t id, const ReadingState& state) {
        Node& node = nodes_[static_cast<size_t>(id)];
        node.flags |= Expanded;
        const int paragraph = state.currentParagraph;
        const ParagraphModel* p = b_.Find(paragraph);
        if (!reader::HasPage(paragraph)) {
            // The reader would show the last page it assembled again; in a draft the
            // reading simply stops where the text stops.
            node.flags |= NoText | (o_.draft ? CanEnd : 0);
            return;
        }
        reached_.insert(paragraph);
        Build(state, FirstSeed, id);
        if (reader::HotwordsOnPage() > MaxHotwordsOnPage) {
            auto& most = crowded_[paragraph];
            if (reader::HotwordsOnPage() > most.first) most = {reader::HotwordsOnPage(), id};
        }
        const bool draws = plat::NextRandom() != firstDraw_;
        if (p != nullptr && p->ending && state.inStory) {
            nodes_[static_cast<size_t>(id)].flags |= Ending | CanEnd;
            return;
        }
        std::set<std::string> variants;
        uint32_t quiet = 0;
        for (uint32_t seed = FirstSeed; seed < FirstSeed + MostSeeds && quiet < SeedsWithoutNews; ++seed) {
            if (seed != FirstSeed) Build(state, seed, id);
            ReadingState after;
            reader::Capture(after);
            if (!variants.insert(PageKey(after)).second) {
                ++quiet;
                continue;
            }
            quiet = 0;
            Moves(id, state, after, p);
            if (!draws) break;
        }
    }

    // Applies every way on from the built page to a copy of the state after the build.
    void Moves(int32_t id, const ReadingState& before, const ReadingState& after, const ParagraphModel* p) {
        std::vector<Option> options;
        PageOptions(p, OptionRules{true, true}, options);
        if (!before.inStory) options.push_back({Option::Command, {}, -1, 0, "", 0, shell::BackCommand, -1, "the back button"});
        if (options.empty() && before.inStory) nodes_[static_cast<size_t>(id)].flags |= DeadEnd;
        for (const Option& o : options) {
            if (p != nullptr && o.source >= 0) offered_.insert({p->number, o.source});
            reader::Restore(after);
            switch (o.action) {
            case Option::Tap:
                reader::ActivateWithoutPaint(o.choice.hotword, "");
                break;
            case Option::Answer:
                reader::ActivateWithoutPaint(o.choice.hotword, o.text);
                break;
            case Option::Chance:
                reader::ActivateChanceWithoutPaint(o.choice.hotword, o.target);
                break;
            case Option::Arrow:
                reader::FollowArrowWithoutPaint(o.target);
                break;
            case Option::Command:
                reader::CommandWithoutPaint(o.command);
                break;
            }
            Next(id, o.label, true);
            if (!reader::HasPage(shell::CurrentParagraph)) {
                const std::vector<int> hotwords = p != nullptr ? p->Hotwords() : std::vector<int>{};
                bookc::Location at = Header(before.currentParagraph);
                if (o.source >= 0) at = p->At(p->commands[static_cast<size_t>(hotwords[static_cast<size_t>(o.source)])].offset);
                if (o.item >= 0) at = b_.book.variables[static_cast<size_t>(o.item)].where;
                noText_.emplace(shell::CurrentParagraph, std::pair(last_, at));
            }
        }
        if (!o_.menu || !before.inStory) return;
        for (const auto& [command, paragraph] : MenuCommands) {
            reader::Restore(after);
            reader::CommandWithoutPaint(command);
            Next(id, "the menu's paragraph " + std::to_string(paragraph), false);
        }
    }

    void Next(int32_t id, const std::string& move, bool story) {
        TakeFaults(id, move);
        ReadingState next;
        reader::Capture(next);
        const int32_t to = Insert(next, id, Label(move));
        last_ = to >= 0 ? to : id;
        ++moves_;
        if (to < 0) {
            nodes_[static_cast<size_t>(id)].flags |= Cut;
            return;
        }
        if (story) edges_.emplace_back(static_cast<uint32_t>(id), static_cast<uint32_t>(to));
    }

    // ---------------------------------------------------------------------------------
    // Traps: states from which no ending can be reached
    // ---------------------------------------------------------------------------------

    // Marks every state that can still reach an ending (or a state the budget left
    // unexplored, which might) by walking the moves backwards; what stays unmarked is a trap.
    void FindTraps() {
        std::vector<uint32_t> count(nodes_.size() + 1);
        for (const auto& [from, to] : edges_) ++count[to + 1];
        for (size_t i = 1; i < count.size(); ++i) count[i] += count[i - 1];
        std::vector<uint32_t> into(edges_.size());
        std::vector<uint32_t> fill(count.begin(), count.end() - 1);
        for (const auto& [from, to] : edges_) into[fill[to]++] = from;
        std::vector<uint32_t> queue;
        for (size_t i = 0; i < nodes_.size(); ++i) {
            Node& n = nodes_[i];
            if ((n.flags & (Ending | Cut)) != 0 || (n.flags & Expanded) == 0) {
                n.flags |= CanEnd;
                queue.push_back(static_cast<uint32_t>(i));
            }
        }
        for (size_t q = 0; q < queue.size(); ++q) {
            const uint32_t to = queue[q];
            for (uint32_t e = count[to]; e < count[to + 1]; ++e) {
                Node& from = nodes_[into[e]];
                if ((from.flags & CanEnd) != 0) continue;
                from.flags |= CanEnd;
                queue.push_back(into[e]);
            }
        }
    }

    // Returns the loops among the trapped states (in the story, expanded, and unable to
    // reach an ending): their strongly connected groups that hold a cycle. States that only
    // lead into such a loop are not listed themselves.
    std::vector<std::vector<int32_t>> Loops() const {
        auto trapped = [&](uint32_t i) {
            const uint8_t f = nodes_[i].flags;
            return (f & (InStory | Expanded)) == (InStory | Expanded) && (f & (CanEnd | DeadEnd | NoText)) == 0;
        };
        std::vector<uint32_t> first(nodes_.size() + 1);
        for (const auto& [from, to] : edges_) ++first[from + 1];
        for (size_t i = 1; i < first.size(); ++i) first[i] += first[i - 1];
        std::vector<uint32_t> next(edges_.size());
        std::vector<uint32_t> fill(first.begin(), first.end() - 1);
        for (const auto& [from, to] : edges_) next[fill[from]++] = to;

        // Tarjan's algorithm, without recursion.
        constexpr uint32_t Unseen = UINT32_MAX;
        std::vector<uint32_t> index(nodes_.size(), Unseen), low(nodes_.size()), stack, work;
        std::vector<bool> onStack(nodes_.size());
        std::vector<std::vector<int32_t>> loops;
        uint32_t counter = 0;
        for (uint32_t root = 0; root < nodes_.size(); ++root) {
            if (!trapped(root) || index[root] != Unseen) continue;
            std::vector<std::pair<uint32_t, uint32_t>> calls = {{root, first[root]}};
            index[root] = low[root] = counter++;
            stack.push_back(root);
            onStack[root] = true;
            while (!calls.empty()) {
                auto& [v, e] = calls.back();
                if (e < first[v + 1]) {
                    const uint32_t w = next[e++];
                    if (!trapped(w)) continue;
                    if (index[w] == Unseen) {
                        index[w] = low[w] = counter++;
                        stack.push_back(w);
                        onStack[w] = true;
                        calls.push_back({w, first[w]});
                    } else if (onStack[w]) {
                        low[v] = std::min(low[v], index[w]);
                    }
                    continue;
                }
                const uint32_t done = v;
                calls.pop_back();
                if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
                if (low[done] != index[done]) continue;
                std::vector<int32_t> group;
                uint32_t w = 0;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[w] = false;
                    group.push_back(static_cast<int32_t>(w));
                } while (w != done);
                bool cycle = group.size() > 1;
                for (uint32_t e2 = first[done]; !cycle && e2 < first[done + 1]; ++e2) cycle = next[e2] == done;
                if (cycle) loops.push_back(std::move(group));
            }
        }
        std::sort(loops.begin(), loops.end(), [](const auto& a, const auto& b) { return *std::min_element(a.begin(), a.end()) < *std::min_element(b.begin(), b.end()); });
        return loops;
    }

    // ---------------------------------------------------------------------------------
    // The report
    // ---------------------------------------------------------------------------------

    std::string Path(int32_t id, bool full) const {
        std::vector<int32_t> chain;
        for (int32_t n = id; n >= 0; n = nodes_[static_cast<size_t>(n)].parent) chain.push_back(n);
        std::reverse(chain.begin(), chain.end());
        std::string text;
        for (size_t i = 0; i < chain.size(); ++i) {
            const Node& n = nodes_[static_cast<size_t>(chain[i])];
            if (i > 0) text += full ? "\n      " + labels_[n.via] + " to " : " -(" + labels_[n.via] + ")-> ";
            text += std::to_string(n.paragraph);
            if ((n.flags & InStory) == 0) text += " (aside)";
        }
        return text;
    }

    bookc::Location Header(int paragraph) const {
        const ParagraphModel* p = b_.Find(paragraph);
        return p != nullptr ? p->source->header : bookc::Location{};
    }

    size_t Steps(int32_t id) const {
        size_t steps = 0;
        for (int32_t n = nodes_[static_cast<size_t>(id)].parent; n >= 0; n = nodes_[static_cast<size_t>(n)].parent) ++steps;
        return steps;
    }

    bool Report(double seconds) {
        size_t cut = 0;
        for (const Node& n : nodes_) cut += (n.flags & Cut) != 0;
        std::fprintf(out_, "explore: %zu states, %ld moves, %zu paragraphs reached%s\n", nodes_.size(), moves_, reached_.size(),
                     o_.menu ? " (the menu's paragraphs visited from every story state)" : "");
        if (cut > 0) {
            std::fprintf(out_, "explore: the budget of %ld states ran out: %zu states have moves left unexplored; raise --states to see further\n", o_.budget, cut);
        } else {
            std::fprintf(out_, "explore: every reachable state was explored\n");
        }

        Findings findings;
        for (const auto& [key, fault] : faults_)
            findings.Error(Header(key.first), "data fault: the reader showed \"" + key.second + "\" at paragraph " + std::to_string(key.first) + " (" + fault.move +
                                                  "), reached by " + Path(static_cast<int32_t>(fault.node), false));
        std::map<int, int32_t> deadEnds;
        for (size_t i = 0; i < nodes_.size(); ++i)
            if ((nodes_[i].flags & DeadEnd) != 0) deadEnds.emplace(nodes_[i].paragraph, static_cast<int32_t>(i));
        for (const auto& [paragraph, id] : noText_) {
            const std::string message = "paragraph " + std::to_string(paragraph) + " has no text, but a reading reaches it by " + Path(id.first, false);
            if (o_.draft) findings.Warning(id.second, message);
            else findings.Error(id.second, message + ": the reader shows the last page again");
        }
        for (const auto& [paragraph, most] : crowded_)
            findings.Error(Header(paragraph), "a page of paragraph " + std::to_string(paragraph) + " shows " + std::to_string(most.first) +
                                                  " hotwords; a page holds at most " + std::to_string(MaxHotwordsOnPage) + "; reached by " + Path(most.second, false));
        for (const auto& [paragraph, id] : deadEnds)
            findings.Error(Header(paragraph), "dead end: paragraph " + std::to_string(paragraph) + " offers no way on and is not an ending, reached by " + Path(id, false));
        size_t listed = 0;
        for (const std::vector<int32_t>& loop : Loops()) {
            if (++listed > ListedLoops) break;
            std::set<int> paragraphs;
            for (int32_t id : loop) paragraphs.insert(nodes_[static_cast<size_t>(id)].paragraph);
            std::string names;
            for (int n : paragraphs) names += (names.empty() ? "" : ", ") + std::to_string(n);
            const int32_t first = *std::min_element(loop.begin(), loop.end());
            findings.Error(Header(nodes_[static_cast<size_t>(first)].paragraph),
                           "endless loop: readings go round paragraph" + std::string(paragraphs.size() > 1 ? "s " : " ") + names + " for ever (" +
                               std::to_string(loop.size()) + " reading states), no ending can be reached from there; the loop is entered by " + Path(first, false));
        }
        for (const ParagraphModel& p : b_.paragraphs) {
            if (p.text.empty()) continue;
            if (reached_.count(p.number) == 0) {
                findings.Warning(p.source->header, "no reading state reaches paragraph " + std::to_string(p.number));
                continue;
            }
            const std::vector<int> hotwords = p.Hotwords();
            for (size_t h = 0; h < hotwords.size(); ++h) {
                if (offered_.count({p.number, static_cast<int>(h)}) != 0) continue;
                findings.Warning(p.At(p.commands[static_cast<size_t>(hotwords[h])].offset),
                                 "no reading state offers this hotword of paragraph " + std::to_string(p.number));
            }
        }
        findings.Print(b_.book, out_);

        std::fprintf(out_, "explore: %zu endings reached%s\n", firstEnding_.size(), firstEnding_.empty() ? "" : "; the shortest way to each:");
        for (const auto& [paragraph, id] : firstEnding_)
            std::fprintf(out_, "  ending %d in %zu moves: %s\n", paragraph, Steps(id), Path(id, o_.fullPaths).c_str());
        std::fprintf(out_, "explore: %zu states in %.2f s of processor time: %.0f states per second\n", nodes_.size(), seconds,
                     seconds > 0 ? static_cast<double>(nodes_.size()) / seconds : 0.0);
        return findings.Errors() == 0;
    }

    const SourceBook& b_;
    const ExploreOptions& o_;
    std::FILE* out_;
    const std::vector<bool> read_;  // the variables whose value can matter
    int32_t firstDraw_ = 0;
    std::vector<Node> nodes_;
    std::vector<uint32_t> table_;
    std::deque<std::pair<int32_t, std::string>> frontier_;
    std::unordered_map<std::string, uint32_t> blockIds_;
    std::vector<std::string> blocks_;
    std::unordered_map<std::string, uint32_t> labelIds_;
    std::vector<std::string> labels_;
    std::vector<std::pair<uint32_t, uint32_t>> edges_;
    std::map<std::pair<int, std::string>, Fault> faults_;
    std::map<int, int32_t> firstEnding_;
    std::map<int, std::pair<int32_t, bookc::Location>> noText_;  // paragraph -> first state there, the hotword that leads there
    std::map<int, std::pair<int, int32_t>> crowded_;      // paragraph -> most hotwords, state
    std::set<int> reached_;
    std::set<std::pair<int, int>> offered_;
    long moves_ = 0;
    int32_t last_ = 0;  // the state the last move led to
};

}  // namespace

bool Explore(const SourceBook& book, const ExploreOptions& options, std::FILE* out) { return Explorer(book, options, out).Run(); }

}  // namespace mwtool
