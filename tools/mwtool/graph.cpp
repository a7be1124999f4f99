// graph: writes DOT from the book model and hands it to Graphviz's dot for pictures.
#include "tools/mwtool/graph.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include <unistd.h>

namespace mwtool {
namespace {

constexpr size_t LabelLength = 28;  // longer captions are cut in the picture

// Returns Windows-1252 text as UTF-8, with DOT's quote and backslash escaped.
std::string Escape(const std::string& text) {
    static const char16_t high[32] = {u'\u20AC', 0, u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
                                      u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', 0, u'\u017D', 0,
                                      0, u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
                                      u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', 0, u'\u017E', u'\u0178'};
    std::string out;
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        char32_t u = c >= 0xA0 ? c : high[c - 0x80];
        if (u == 0) u = u'?';
        if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

std::string Cut(const std::string& text) {
    if (text.size() <= LabelLength) return text;
    return text.substr(0, LabelLength - 3) + "...";
}

std::string TitleOf(const ParagraphModel& p) {
    std::string title;
    for (const TitlePiece& piece : p.title) title += piece.variable >= 0 ? "%" + std::to_string(piece.variable) : piece.text;
    return title;
}

const char* EdgeStyle(EdgeKind kind) {
    switch (kind) {
    case EdgeKind::Choice: return "color=\"#333333\"";
    case EdgeKind::Item: return "color=\"#1f5fbf\", fontcolor=\"#1f5fbf\"";
    case EdgeKind::Chance: return "color=\"#c06000\", fontcolor=\"#c06000\", style=dashed";
    case EdgeKind::Answer: return "color=\"#2a8a2a\", fontcolor=\"#2a8a2a\"";
    case EdgeKind::Arrow: return "color=\"#888888\", fontcolor=\"#888888\", style=dotted";
    case EdgeKind::Restore: return "color=\"#7a3aa0\", fontcolor=\"#7a3aa0\", style=bold";
    }
    return "";
}

class DotWriter {
public:
    DotWriter(const SourceBook& book, int chapter) : b_(book), chapter_(chapter) {}

    std::string Write() {
        const std::string title = Escape(b_.book.texts[bookc::Title].empty() ? "book" : b_.book.texts[bookc::Title]);
        out_ << "digraph \"" << title << "\" {\n";
        out_ << "  graph [rankdir=LR, fontname=\"DejaVu Sans\", fontsize=12, labelloc=t, label=\"" << title
             << (chapter_ >= 0 ? " - " + Escape(b_.chapters[static_cast<size_t>(chapter_)]) : std::string()) << "\"];\n";
        out_ << "  node [shape=box, style=\"rounded\", fontname=\"DejaVu Sans\", fontsize=10];\n";
        out_ << "  edge [fontname=\"DejaVu Sans\", fontsize=8];\n";
        Nodes();
        Edges();
        Legend();
        out_ << "}\n";
        return out_.str();
    }

private:
    bool Inside(const ParagraphModel& p) const { return chapter_ < 0 || p.chapter == chapter_; }

    void Node(const ParagraphModel& p, const char* indent) {
        out_ << indent << "p" << p.number << " [label=\"" << p.number;
        if (std::string title = TitleOf(p); !title.empty()) out_ << "\\n" << Escape(Cut(title));
        out_ << "\"";
        if (p.ending) out_ << ", peripheries=2, style=\"rounded,filled\", fillcolor=\"#f4e3b5\"";
        if (p.text.empty()) out_ << ", style=\"rounded,dashed\"";
        out_ << "];\n";
    }

    void Nodes() {
        for (size_t c = 0; c < b_.chapters.size(); ++c) {
            if (chapter_ >= 0 && static_cast<int>(c) != chapter_) continue;
            out_ << "  subgraph cluster_" << c << " {\n    label=\"" << Escape(b_.chapters[c]) << "\"; style=rounded; color=\"#999999\";\n";
            for (const ParagraphModel& p : b_.paragraphs)
                if (p.chapter == static_cast<int>(c)) Node(p, "    ");
            out_ << "  }\n";
        }
    }

    // Declares a paragraph outside the view (a neighbour in another chapter, or a target
    // without text) once.
    void Outside(int number) {
        if (!declared_.insert(number).second) return;
        const ParagraphModel* p = b_.Find(number);
        if (p == nullptr || p->text.empty()) {
            out_ << "  p" << number << " [label=\"" << number << "\\n(no text)\", color=red, fontcolor=red];\n";
        } else if (!Inside(*p)) {
            out_ << "  p" << number << " [label=\"" << number << "\\n" << Escape(b_.chapters[static_cast<size_t>(p->chapter)])
                 << "\", style=\"rounded,dashed\", color=\"#999999\", fontcolor=\"#666666\"];\n";
        }
    }

    void Edges() {
        // Edges of one kind between two paragraphs are drawn once, with their labels joined.
        std::map<std::tuple<int, int, EdgeKind>, std::set<std::string>> merged;
        for (const ParagraphModel& p : b_.paragraphs) {
            for (const Edge& e : p.edges) {
                const ParagraphModel* to = b_.Find(e.to);
                const bool toInside = to != nullptr && Inside(*to);
                if (!Inside(p) && !toInside) continue;
                if (!Inside(p)) Outside(p.number);
                if (to == nullptr || to->text.empty() || !toInside) Outside(e.to);
                std::string label = e.label;
                // The whole book keeps only the labels that decide the way: chances and answers.
                if (chapter_ < 0 && e.kind != EdgeKind::Chance && e.kind != EdgeKind::Answer) label.clear();
                merged[{p.number, e.to, e.kind}].insert(Cut(label));
            }
        }
        for (const auto& [key, labels] : merged) {
            const auto& [from, to, kind] = key;
            std::string label;
            for (const std::string& l : labels)
                if (!l.empty()) label += (label.empty() ? "" : " / ") + l;
            out_ << "  p" << from << " -> p" << to << " [" << EdgeStyle(kind);
            if (!label.empty()) out_ << ", label=\"" << Escape(label) << "\"";
            out_ << "];\n";
        }
    }

    // Writes one small table naming the colour of each kind of way on, and how an ending looks.
    void Legend() {
        static const std::pair<EdgeKind, const char*> kinds[] = {
            {EdgeKind::Choice, "#333333"}, {EdgeKind::Item, "#1f5fbf"}, {EdgeKind::Chance, "#c06000"},
            {EdgeKind::Answer, "#2a8a2a"}, {EdgeKind::Arrow, "#888888"}, {EdgeKind::Restore, "#7a3aa0"}};
        out_ << "  legend [shape=plaintext, fontsize=9, label=<<table border=\"1\" color=\"#cccccc\" cellborder=\"0\" cellspacing=\"1\">";
        for (const auto& [kind, colour] : kinds)
            out_ << "<tr><td align=\"left\"><font color=\"" << colour << "\">&#8594; " << EdgeKindName(kind) << "</font></td></tr>";
        out_ << "<tr><td align=\"left\" bgcolor=\"#f4e3b5\">ending</td></tr></table>>];\n";
    }

    const SourceBook& b_;
    int chapter_;
    std::ostringstream out_;
    std::set<int> declared_;
};

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

// Runs Graphviz's dot on the DOT file; false when it fails or is missing.
bool Render(const std::string& dotFile, const char* format, const std::string& target) {
    const std::string command = "dot -T" + std::string(format) + " -o '" + target + "' '" + dotFile + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "mwtool: graph: dot could not render %s (is Graphviz installed?)\n", target.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string GraphDot(const SourceBook& book, int chapter) { return DotWriter(book, chapter).Write(); }

bool Graph(const SourceBook& book, const GraphOptions& options) {
    int chapter = -1;
    if (!options.chapter.empty()) {
        for (size_t c = 0; c < book.chapters.size(); ++c)
            if (book.chapters[c] == options.chapter) chapter = static_cast<int>(c);
        if (chapter < 0) {
            std::fprintf(stderr, "mwtool: graph: no chapter named %s; the chapters are:", options.chapter.c_str());
            for (const std::string& name : book.chapters) std::fprintf(stderr, " %s", name.c_str());
            std::fprintf(stderr, "\n");
            return false;
        }
    }
    const std::string dot = GraphDot(book, chapter);
    const bool rendering = !options.svg.empty() || !options.png.empty();
    std::string dotFile = options.out;
    if (dotFile.empty() && !rendering) {
        std::fwrite(dot.data(), 1, dot.size(), stdout);
        return true;
    }
    if (dotFile.empty()) dotFile = (std::filesystem::temp_directory_path() / ("mwtool-graph-" + std::to_string(::getpid()) + ".dot")).string();
    if (!WriteFile(dotFile, dot)) {
        std::fprintf(stderr, "mwtool: graph: cannot write %s\n", dotFile.c_str());
        return false;
    }
    bool ok = true;
    if (!options.svg.empty()) ok = Render(dotFile, "svg", options.svg) && ok;
    if (!options.png.empty()) ok = Render(dotFile, "png", options.png) && ok;
    if (options.out.empty()) std::filesystem::remove(dotFile);
    return ok;
}

}  // namespace mwtool
