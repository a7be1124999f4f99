// Requests to end the program from outside it: SIGTERM (a logout or shutdown), SIGINT (Ctrl+C
// in a terminal) and SIGHUP (its terminal went away) become MsgClose for the program's
// top-level windows, so that it ends in order and saves what it keeps. The signal handler
// only sets a flag and writes to a pipe; a small thread wakes the device's wait, and the
// message loop posts the close when it looks at its queue.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr int EndSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<bool> EndRequested{false};

struct Watcher {
    int pipeRead = -1;
    int pipeWrite = -1;
    std::thread thread;

    // Runs on the watcher's own thread until the pipe's writing end is closed.
    static void Watch(int fd) {
        char byte;
        for (;;) {
            const ssize_t n = read(fd, &byte, 1);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            device::Current().wake();
        }
    }

    bool Start() {
        if (pipeRead >= 0) return true;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        // The handler must never block on a full pipe; one byte waiting is enough to wake.
        fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
        pipeRead = fds[0];
        pipeWrite = fds[1];
        thread = std::thread(Watch, pipeRead);
        return true;
    }

    // At the program's end the thread is stopped, not abandoned.
    ~Watcher() {
        if (pipeRead < 0) return;
        const int fd = pipeWrite;
        pipeWrite = -1;
        close(fd);
        if (thread.joinable()) thread.join();
        close(pipeRead);
    }
};

Watcher TheWatcher;

void OnEndSignal(int) {
    const int saved = errno;
    EndRequested.store(true);
    if (TheWatcher.pipeWrite >= 0) {
        [[maybe_unused]] const ssize_t n = write(TheWatcher.pipeWrite, "x", 1);
    }
    errno = saved;
}

}  // namespace

void AnswerEndRequests() {
    if (!EndRequested.exchange(false)) return;
    bool posted = false;
    for (int32_t i = 0; i < MaxWindows; ++i) {
        const WindowRecord& r = Slot(i);
        if (r.kind != WindowKind::TopLevel || r.destroying) continue;
        posted = PostMessage(IdOf(r), MsgClose, 0, 0) || posted;
    }
    // Before the first window (or after the last) there is nothing to close: end the loop.
    if (!posted) PostQuitMessage(0);
}

}  // namespace ws

bool CloseOnEndRequests() {
    if (!ws::TheWatcher.Start()) return false;
    struct sigaction action = {};
    action.sa_handler = ws::OnEndSignal;
    sigemptyset(&action.sa_mask);
    // A second request finds the default action again and ends the program at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    bool all = true;
    for (int s : ws::EndSignals) all = sigaction(s, &action, nullptr) == 0 && all;
    return all;
}

}  // namespace plat
