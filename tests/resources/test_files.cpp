// Test files and tool running for the resources tests. See test_files.h.
#include "test_files.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace restest {

namespace {

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

}  // namespace

Bytes MakeBmp(int32_t height, uint32_t bitsPerPixel, uint32_t compression) {
    const uint32_t width = 4, rows = static_cast<uint32_t>(height < 0 ? -height : height);
    const uint32_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    const uint32_t colours = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
    const uint32_t offset = 14 + 40 + colours * 4, imageBytes = stride * rows;
    Bytes b{'B', 'M'};
    Put32(b, offset + imageBytes);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, width);
    Put32(b, static_cast<uint32_t>(height));
    Put16(b, 1);
    Put16(b, bitsPerPixel);
    Put32(b, compression);
    Put32(b, imageBytes);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    b.resize(b.size() + colours * 4 + imageBytes, 0x11);
    return b;
}

Bytes MakeWave(uint16_t format, uint16_t channels, uint16_t bitsPerSample) {
    const uint32_t rate = 11025, frame = channels * bitsPerSample / 8u, dataBytes = 8 * frame;
    Bytes b{'R', 'I', 'F', 'F'};
    Put32(b, 4 + 8 + 16 + 8 + dataBytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(b, 16);
    Put16(b, format);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * frame);
    Put16(b, frame);
    Put16(b, bitsPerSample);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put32(b, dataBytes);
    b.resize(b.size() + dataBytes, 0x80);
    return b;
}

void Write(const std::filesystem::path& file, const Bytes& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Write(const std::filesystem::path& file, const std::string& text) { Write(file, Bytes(text.begin(), text.end())); }

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mirewood-resources-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

RunResult RunTool(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return {-1, "cannot run: " + command};
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quote(const std::filesystem::path& p) {
    std::string out = "'";
    for (char c : p.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace restest
