// rescomp: the resource embedder. Turns the program's resource manifest, or a book's
// pictures/ and sounds/ folders, into a C++ file that defines one plat::ResourceDirectory
// with the files' bytes pulled in by the assembler (.incbin), after checking every file
// with the readers of platform/resource_formats.h. Run by the build (resources/, cmake/Book.cmake).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "platform/resources.h"
#include "platform/resource_formats.h"

namespace fs = std::filesystem;
using plat::ResourceType;

namespace {

struct Resource {
    ResourceType type;
    int32_t id;        // -1 for a resource found by name
    std::string name;  // upper-case name, or empty
    fs::path file;
    uint32_t size = 0;
};

// A failure in one input file: "file: message" or "file:line: message".
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const fs::path& file, const std::string& message, int line = 0) {
    std::string where = file.string();
    if (line > 0) where += ":" + std::to_string(line);
    throw InputError(where + ": " + message);
}

const char* TypeName(ResourceType t) {
    switch (t) {
        case ResourceType::Bitmap: return "bitmap";
        case ResourceType::Menu: return "menu";
        case ResourceType::String: return "string";
        case ResourceType::MenuBar: return "menubar";
        case ResourceType::Icon: return "icon";
        case ResourceType::Wave: return "wave";
    }
    return "?";
}

const char* EnumName(ResourceType t) {
    switch (t) {
        case ResourceType::Bitmap: return "Bitmap";
        case ResourceType::Menu: return "Menu";
        case ResourceType::String: return "String";
        case ResourceType::MenuBar: return "MenuBar";
        case ResourceType::Icon: return "Icon";
        case ResourceType::Wave: return "Wave";
    }
    return "?";
}

bool ParseType(const std::string& word, ResourceType& type) {
    for (ResourceType t : {ResourceType::Bitmap, ResourceType::Menu, ResourceType::String, ResourceType::MenuBar,
                           ResourceType::Icon, ResourceType::Wave})
        if (word == TypeName(t)) {
            type = t;
            return true;
        }
    return false;
}

// Ids are 1 to 65535, written in decimal without leading zeros or signs.
bool ParseId(const std::string& word, int32_t& id) {
    if (word.empty() || word.size() > 5 || word[0] == '0' ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    id = std::stoi(word);
    return id <= 65535;
}

// Sound names: upper-case letters, digits and underscores, at most 18 characters.
bool ValidName(const std::string& name) {
    return !name.empty() && name.size() <= 18 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

std::vector<uint8_t> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail(file, "cannot open");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() > 0x7fffffff) Fail(file, "too large to embed");
    return bytes;
}

// Reads the file and checks that its contents have the format its type promises.
void Check(Resource& r) {
    const std::vector<uint8_t> bytes = ReadBytes(r.file);
    const uint8_t* data = bytes.data();
    const auto size = static_cast<uint32_t>(bytes.size());
    plat::FormatError e;
    switch (r.type) {
        case ResourceType::Bitmap: {
            plat::BitmapView v;
            e = plat::ReadBitmap(data, size, v);
            break;
        }
        case ResourceType::Wave: {
            plat::WaveView v;
            e = plat::ReadWave(data, size, v);
            break;
        }
        case ResourceType::Icon: {
            int32_t count = 0;
            e = plat::ReadIcon(data, size, count);
            break;
        }
        case ResourceType::Menu: {
            plat::MenuView v;
            e = plat::ReadMenu(data, size, v);
            break;
        }
        case ResourceType::MenuBar: {
            plat::MenuBarView v;
            e = plat::ReadMenuBar(data, size, v);
            break;
        }
        case ResourceType::String: {
            plat::TextView v;
            e = plat::ReadString(data, size, v);
            break;
        }
    }
    if (e) Fail(r.file, e.message, e.line);
    r.size = size;
}

// ---- Inputs -------------------------------------------------------------------------------

std::vector<Resource> ReadManifest(const fs::path& manifest) {
    std::ifstream in(manifest);
    if (!in) Fail(manifest, "cannot open");
    std::vector<Resource> out;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string type, key, file, extra;
        if (!(words >> type) || type[0] == '#') continue;
        if (!(words >> key >> file) || (words >> extra))
            Fail(manifest, "expected: <type> <id or NAME> <file>", number);
        Resource r{};
        if (!ParseType(type, r.type)) Fail(manifest, "unknown resource type '" + type + "'", number);
        if (r.type == ResourceType::Wave) {
            if (!ValidName(key)) Fail(manifest, "a wave's name is upper-case letters, digits and _, at most 18", number);
            r.id = -1;
            r.name = key;
        } else if (!ParseId(key, r.id)) {
            Fail(manifest, "expected an id from 1 to 65535, not '" + key + "'", number);
        }
        r.file = manifest.parent_path() / file;
        out.push_back(r);
    }
    return out;
}

// Lists the files of one folder of a book; a missing folder has none. Hidden files are
// skipped; anything else that is not <stem><extension> is an error.
std::vector<fs::path> FolderFiles(const fs::path& folder, const char* extension) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
        const std::string leaf = e.path().filename().string();
        if (leaf[0] == '.') continue;
        if (!e.is_regular_file() || e.path().extension() != extension)
            Fail(e.path(), std::string("expected only ") + extension + " files in this folder");
        files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<Resource> ReadBookFolders(const fs::path& book) {
    std::vector<Resource> out;
    for (const fs::path& file : FolderFiles(book / "pictures", ".bmp")) {
        Resource r{ResourceType::Bitmap, 0, "", file};
        if (!ParseId(file.stem().string(), r.id)) Fail(file, "a picture is named <bitmap id>.bmp, with an id from 1 to 65535");
        out.push_back(r);
    }
    for (const fs::path& file : FolderFiles(book / "sounds", ".wav")) {
        Resource r{ResourceType::Wave, -1, file.stem().string(), file};
        if (!ValidName(r.name)) Fail(file, "a sound is named <NAME>.wav: upper-case letters, digits and _, at most 18");
        out.push_back(r);
    }
    return out;
}

// ---- Output -------------------------------------------------------------------------------

// Quotes text for a C++ string literal; everything but plain printable ASCII is escaped.
std::string CppString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        }
    }
    return out + "\"";
}

std::string AsmQuoted(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Generate(const std::vector<Resource>& resources, const std::string& symbol, const std::string& source) {
    std::ostringstream o;
    o << "// Generated by rescomp from " << source << ". Do not edit.\n"
      << "// The directory " << symbol << ": " << resources.size() << " resources, their bytes embedded with .incbin.\n"
      << "#include \"platform/resources.h\"\n\n";
    const std::string prefix = "mirewood_" + symbol + "_";
    if (!resources.empty()) {
        o << "asm(\".pushsection .rodata.mirewood_resources,\\\"a\\\"\\n\"\n";
        for (size_t i = 0; i < resources.size(); ++i) {
            o << "    \".balign 16\\n\"\n"
              << "    " << CppString(prefix + std::to_string(i) + ":\n") << "\n"
              << "    " << CppString(".incbin " + AsmQuoted(fs::absolute(resources[i].file).string()) + "\n") << "\n"
              << "    \".byte 0\\n\"\n";
        }
        o << "    \".popsection\\n\");\n\n";
        for (size_t i = 0; i < resources.size(); ++i) o << "extern \"C\" const uint8_t " << prefix << i << "[];\n";
        o << "\nnamespace {\n\nconst plat::ResourceEntry Entries[] = {\n";
        for (size_t i = 0; i < resources.size(); ++i) {
            const Resource& r = resources[i];
            o << "    {plat::ResourceType::" << EnumName(r.type) << ", " << r.id << ", "
              << (r.name.empty() ? std::string("nullptr") : CppString(r.name)) << ", " << prefix << i << ", " << r.size
              << "u},  // " << r.file.filename().string() << "\n";
        }
        o << "};\n\n}  // namespace\n\n";
    }
    o << "namespace plat {\n\nextern const ResourceDirectory " << symbol << " = {"
      << (resources.empty() ? std::string("nullptr, 0") : "Entries, " + std::to_string(resources.size()))
      << "};\n\n}  // namespace plat\n";
    return o.str();
}

std::string DepfilePath(const fs::path& p) {
    std::string out;
    for (char c : fs::absolute(p).string()) {
        if (c == ' ' || c == '#' || c == '\\') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error(file.string() + ": cannot write");
}

void Usage() {
    std::fputs(
        "usage: rescomp (--manifest FILE | --book DIR) --symbol NAME --out FILE.cpp [--depfile FILE]\n"
        "  --manifest FILE  embed the resources a manifest lists (type, id or NAME, file)\n"
        "  --book DIR       embed a book's pictures/<id>.bmp and sounds/<NAME>.wav\n"
        "  --symbol NAME    the plat::ResourceDirectory to define (ProgramResources, BookResources)\n"
        "  --depfile FILE   also write the inputs as a Makefile rule, for the build's dependencies\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    std::string manifest, book, symbol, out, depfile;
    for (int i = 1; i < argc; ++i) {
        std::string* value = nullptr;
        if (!std::strcmp(argv[i], "--manifest")) value = &manifest;
        else if (!std::strcmp(argv[i], "--book")) value = &book;
        else if (!std::strcmp(argv[i], "--symbol")) value = &symbol;
        else if (!std::strcmp(argv[i], "--out")) value = &out;
        else if (!std::strcmp(argv[i], "--depfile")) value = &depfile;
        if (!value || i + 1 == argc) {
            Usage();
            return 2;
        }
        *value = argv[++i];
    }
    const bool identifier = !symbol.empty() && !std::isdigit(static_cast<unsigned char>(symbol[0])) &&
                            std::all_of(symbol.begin(), symbol.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
    if (manifest.empty() == book.empty() || !identifier || out.empty()) {
        Usage();
        return 2;
    }
    try {
        std::vector<Resource> resources = manifest.empty() ? ReadBookFolders(book) : ReadManifest(manifest);
        for (Resource& r : resources) Check(r);
        std::stable_sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
            return std::tie(a.type, a.id, a.name) < std::tie(b.type, b.id, b.name);
        });
        for (size_t i = 1; i < resources.size(); ++i) {
            const Resource &a = resources[i - 1], &b = resources[i];
            if (a.type == b.type && a.id == b.id && a.name == b.name)
                Fail(b.file, std::string("duplicate ") + TypeName(b.type) + " " + (b.name.empty() ? std::to_string(b.id) : b.name) +
                                 " (also " + a.file.string() + ")");
        }
        const std::string source = manifest.empty() ? "the book folder " + book : manifest;
        WriteText(out, Generate(resources, symbol, source));
        if (!depfile.empty()) {
            // The folders themselves are inputs too, so that adding a file re-runs the embedder.
            std::string rule = DepfilePath(out) + ":";
            std::vector<fs::path> inputs;
            if (!manifest.empty()) {
                inputs.push_back(manifest);
            } else {
                inputs.push_back(book);
                for (const char* sub : {"pictures", "sounds"})
                    if (fs::is_directory(fs::path(book) / sub)) inputs.push_back(fs::path(book) / sub);
            }
            for (const Resource& r : resources) inputs.push_back(r.file);
            for (const fs::path& p : inputs) rule += " \\\n  " + DepfilePath(p);
            WriteText(depfile, rule + "\n");
        }
    } catch (const InputError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rescomp: %s\n", e.what());
        return 1;
    }
    return 0;
}
