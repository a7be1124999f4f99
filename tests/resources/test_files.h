// Small BMP and WAVE files built in memory for the format and embedder tests, and a
// temporary folder and tool runner for the tests that run rescomp and shellart.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace restest {

using Bytes = std::vector<uint8_t>;

// A 4 x 2 BMP; height < 0 makes it top-down, compression != 0 marks it compressed.
Bytes MakeBmp(int32_t height = 2, uint32_t bitsPerPixel = 8, uint32_t compression = 0);
// A short PCM WAVE with the given format tag, channel count and sample size.
Bytes MakeWave(uint16_t format = 1, uint16_t channels = 1, uint16_t bitsPerSample = 16);

void Write(const std::filesystem::path& file, const Bytes& bytes);
void Write(const std::filesystem::path& file, const std::string& text);
std::string ReadText(const std::filesystem::path& file);

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct RunResult {
    int status;          // the exit status, or -1 when the command did not exit normally
    std::string output;  // stdout and stderr together
};
RunResult RunTool(const std::string& command);

// Quotes a path for the shell.
std::string Quote(const std::filesystem::path& p);

}  // namespace restest
