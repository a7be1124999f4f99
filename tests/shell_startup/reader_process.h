// Test helpers: a scratch folder per test, the state file's bytes, and the headless reader
// run as a separate process with a script, as a second reader or a signal needs.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace startup_test {

inline constexpr char StateFileName[] = "QRN5The_Mirewood_Vow.dat";

// A fresh folder under the temporary directory with data/ in it, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    std::string Data() const { return path_ + "/data"; }
    std::string StateFile() const { return Data() + "/" + StateFileName; }

private:
    std::string path_;
};

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The file's bytes; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

struct RunOptions {
    uint64_t fileSizeLimit = 0;  // bytes a file may grow to (RLIMIT_FSIZE), 0 for no limit
};

// The headless reader running in a process of its own.
class ReaderProcess {
public:
    // Starts the reader on the data folder with the script text.
    ReaderProcess(const ScratchFolder& folder, const std::string& script, const RunOptions& options = {});
    ~ReaderProcess();
    // Reads the reader's standard output until a line equal to line comes (false on end or
    // after timeoutMs).
    bool WaitForLine(const std::string& line, int timeoutMs = 20000);
    void Signal(int signal);
    // Waits for the end (at most timeoutMs, then kills it); returns the exit code, or 128 +
    // the signal that ended it, or -1 when it had to be killed.
    int Wait(int timeoutMs = 30000);
    const std::string& Output() const { return out_; }
    const std::string& Errors() const { return err_; }

private:
    void Drain(int timeoutMs);
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    size_t outRead_ = 0;
};

// Runs the reader to its end; returns the exit code as Wait does.
int RunReader(const ScratchFolder& folder, const std::string& script, std::string* errors = nullptr,
              const RunOptions& options = {});

}  // namespace startup_test
