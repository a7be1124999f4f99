// Errors and warnings of the authoring tools, each at a place in the book source, printed
// in file and line order as `file:line:column: error: message`. Used by every subcommand.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/bookc/source.h"

namespace mwtool {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity;
    bookc::Location where;
    std::string message;
};

class Findings {
public:
    void Error(bookc::Location where, std::string message) { Add(Severity::Error, where, std::move(message)); }
    void Warning(bookc::Location where, std::string message) { Add(Severity::Warning, where, std::move(message)); }
    void Add(Severity severity, bookc::Location where, std::string message);

    int Errors() const { return errors_; }
    int Warnings() const { return static_cast<int>(list_.size()) - errors_; }
    const std::vector<Finding>& List() const { return list_; }

    // Prints every finding, sorted by file, line and column (findings about the whole book
    // last), to out; the same finding reported twice is printed once.
    void Print(const bookc::Book& book, std::FILE* out) const;

private:
    std::vector<Finding> list_;
    int errors_ = 0;
};

// Formats a place as `file:line:column` (`file` for a whole file, `book` for no file).
std::string Where(const bookc::Book& book, bookc::Location where);

}  // namespace mwtool
