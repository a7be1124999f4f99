// bookc, the book compiler: reads a book folder and writes the C++ unit that defines the
// book's tables. Run by the build through add_book (cmake/Book.cmake).
//
//   bookc [--fixture] --out <file.cpp> <book folder>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "tools/bookc/chunks.h"
#include "tools/bookc/generate.h"
#include "tools/bookc/source.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
    std::cerr << "usage: bookc [--fixture] --out <file.cpp> <book folder>\n";
    return 2;
}

// Writes text to a temporary file beside path and renames it into place, so that a
// failed run never leaves a partial unit behind.
bool WriteAtomically(const fs::path& path, const std::string& text) {
    fs::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            std::cerr << path.string() << ": error: cannot write the tables\n";
            out.close();
            fs::remove(temporary);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::cerr << path.string() << ": error: cannot write the tables: " << error.message() << '\n';
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bookc::Options options;
    fs::path out;
    fs::path folder;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--fixture") {
            options.fixture = true;
        } else if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else if (!arg.starts_with("-") && folder.empty()) {
            folder = arg;
        } else {
            return Usage();
        }
    }
    if (out.empty() || folder.empty()) return Usage();

    // A failed run removes an older unit too, so a build never links stale tables.
    std::error_code ignored;
    fs::remove(out, ignored);

    if (!fs::is_directory(folder)) {
        std::cerr << folder.string() << ": error: not a book folder\n";
        return 1;
    }
    auto book = std::make_unique<bookc::Book>();
    bookc::Diagnostics diagnostics;
    bool read = bookc::ReadBook(folder, options, *book, diagnostics);
    auto layout = std::make_unique<bookc::ChunkLayout>();
    if (read) bookc::LayOutChunks(*book, *layout, diagnostics);
    if (diagnostics.Count() > 0) {
        std::cerr << diagnostics.Text();
        return 1;
    }
    return WriteAtomically(out, bookc::GenerateTables(*book, *layout, folder.string())) ? 0 : 1;
}
