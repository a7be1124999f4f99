// Test helpers: scratch folders, file bytes and the headless reader as a child process.
#include "tests/shell_startup/reader_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace startup_test {

ScratchFolder::ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/mirewood-startup-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    mkdir(Data().c_str(), 0700);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

ReaderProcess::ReaderProcess(const ScratchFolder& folder, const std::string& script, const RunOptions& options) {
    const std::string scriptPath = folder.Path() + "/script-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".txt";
    std::ofstream(scriptPath) << script;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        if (options.fileSizeLimit != 0) {
            // A write past the limit then fails with an error instead of ending the process.
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        const std::string data = folder.Data();
        execl(HEADLESS_READER, HEADLESS_READER, "--data", data.c_str(), "--script", scriptPath.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

ReaderProcess::~ReaderProcess() {
    if (pid_ > 0) Wait(5000);
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
}

// Reads what the pipes hold, waiting up to timeoutMs for the first bytes.
void ReaderProcess::Drain(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0) return;
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP)) == 0 || fds[i].fd < 0) continue;
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) (i == 0 ? out_ : err_).append(buffer, static_cast<size_t>(n));
        if (n == 0) {
            close(fds[i].fd);
            (i == 0 ? outFd_ : errFd_) = -1;
        }
    }
}

bool ReaderProcess::WaitForLine(const std::string& line, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (size_t newline; (newline = out_.find('\n', outRead_)) != std::string::npos; outRead_ = newline + 1) {
            if (out_.compare(outRead_, newline - outRead_, line) == 0) {
                outRead_ = newline + 1;
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (outFd_ < 0 && errFd_ < 0)) return false;
        Drain(static_cast<int>(left.count()));
    }
}

void ReaderProcess::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

int ReaderProcess::Wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        Drain(10);
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            pid_ = -1;
            return -1;
        }
    }
    pid_ = -1;
    while (outFd_ >= 0 || errFd_ >= 0) Drain(100);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

int RunReader(const ScratchFolder& folder, const std::string& script, std::string* errors, const RunOptions& options) {
    ReaderProcess reader(folder, script, options);
    const int code = reader.Wait();
    if (errors != nullptr) *errors = reader.Errors();
    return code;
}

}  // namespace startup_test
