// Findings: collecting and printing the tools' errors and warnings.
#include "tools/mwtool/findings.h"

#include <algorithm>
#include <climits>
#include <tuple>

namespace mwtool {

void Findings::Add(Severity severity, bookc::Location where, std::string message) {
    if (severity == Severity::Error) ++errors_;
    list_.push_back({severity, where, std::move(message)});
}

std::string Where(const bookc::Book& book, bookc::Location where) {
    if (where.file < 0 || where.file >= static_cast<int>(book.files.size())) return "book";
    std::string text = book.files[static_cast<size_t>(where.file)];
    if (where.line > 0) text += ':' + std::to_string(where.line) + ':' + std::to_string(where.column);
    return text;
}

void Findings::Print(const bookc::Book& book, std::FILE* out) const {
    std::vector<const Finding*> sorted;
    for (const Finding& f : list_) sorted.push_back(&f);
    auto key = [](const Finding* f) {
        return std::tuple(f->where.file < 0 ? INT_MAX : f->where.file, f->where.line == 0 ? INT_MAX : f->where.line,
                          f->where.column, f->message);
    };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Finding* a, const Finding* b) { return key(a) < key(b); });
    const Finding* previous = nullptr;
    for (const Finding* f : sorted) {
        if (previous != nullptr && key(previous) == key(f) && previous->severity == f->severity) continue;
        previous = f;
        std::fprintf(out, "%s: %s: %s\n", Where(book, f->where).c_str(),
                     f->severity == Severity::Error ? "error" : "warning", f->message.c_str());
    }
}

}  // namespace mwtool
