// One reader at a time: registering a window class starts a listener on an abstract Unix
// socket named after the user, the class and the data folder; AskRunningInstanceToFront
// connects to it from another process. A small thread answers at once and hands the
// request to the message loop, which brings the window to the front.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/window_system.h"

namespace plat {
namespace ws {
namespace {

constexpr char Request[] = "front\n";
constexpr char Reply[] = "ok\n";
constexpr int32_t ReplyTimeoutMs = 2000;

struct Listener {
    int fd = -1;
    char16_t className[MaxClassName] = {};
    std::thread thread;

    void Stop() {
        if (fd < 0) return;
        shutdown(fd, SHUT_RDWR);  // wakes the thread out of accept
        if (thread.joinable()) thread.join();
        close(fd);
        fd = -1;
    }
    // At the program's end the thread is stopped, not abandoned.
    ~Listener() { Stop(); }
};

Listener Listeners[MaxWindowClasses];
std::atomic<uint32_t> Requests{0};  // one bit per listener slot that was asked

// The address of a class's listener; the data folder is part of it, because two readers
// with separate data folders (tests, for one) keep separate state and do not exclude
// each other.
bool AddressOf(const char16_t* className, sockaddr_un& address, socklen_t& length) {
    char name[MaxClassName];
    Narrow(className, name, MaxClassName);
    const char* folder = device::Current().dataFolder();
    uint64_t hash = 14695981039346656037ull;  // FNV-1a of the folder's path
    for (const char* c = folder != nullptr ? folder : ""; *c != 0; ++c) {
        hash = (hash ^ static_cast<uint8_t>(*c)) * 1099511628211ull;
    }
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // An abstract name: the first byte is 0 and nothing appears in the file system.
    const int written = std::snprintf(address.sun_path + 1, sizeof address.sun_path - 1, "mirewood/%u/%s/%016llx",
                                      static_cast<unsigned>(getuid()), name, static_cast<unsigned long long>(hash));
    if (written <= 0 || static_cast<size_t>(written) >= sizeof address.sun_path - 1) return false;
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(written));
    return true;
}

void SetTimeouts(int fd) {
    timeval timeout{ReplyTimeoutMs / 1000, (ReplyTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

// Runs on the listener's own thread until the socket is shut down.
void Listen(int fd, uint32_t bit) {
    for (;;) {
        const int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;
        }
        SetTimeouts(client);
        char request[sizeof Request] = {};
        const ssize_t n = read(client, request, sizeof Request - 1);
        if (n == static_cast<ssize_t>(sizeof Request - 1) && std::memcmp(request, Request, sizeof Request - 1) == 0) {
            Requests.fetch_or(bit);
            device::Current().wake();
            [[maybe_unused]] const ssize_t sent = write(client, Reply, sizeof Reply - 1);
        }
        close(client);
    }
}

}  // namespace

void ListenForOtherInstances(const char16_t* className) {
    int32_t free = -1;
    for (int32_t i = 0; i < MaxWindowClasses; ++i) {
        if (Listeners[i].fd < 0) {
            if (free < 0) free = i;
        } else if (std::memcmp(Listeners[i].className, className, sizeof Listeners[i].className) == 0) {
            return;
        }
    }
    sockaddr_un address;
    socklen_t length = 0;
    if (free < 0 || !AddressOf(className, address, length)) return;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    // A failed bind means another reader of this class already listens: we stay quiet.
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return;
    }
    Listener& l = Listeners[free];
    l.fd = fd;
    std::memset(l.className, 0, sizeof l.className);
    for (int32_t i = 0; i < MaxClassName - 1 && className[i] != 0; ++i) l.className[i] = className[i];
    l.thread = std::thread(Listen, fd, 1u << free);
}

void AnswerOtherInstances() {
    uint32_t asked = Requests.exchange(0);
    for (int32_t i = 0; asked != 0 && i < MaxWindowClasses; ++i) {
        if ((asked & (1u << i)) == 0 || Listeners[i].fd < 0) continue;
        asked &= ~(1u << i);
        const WindowId window = FindTopLevelOfClass(Listeners[i].className);
        WindowRecord* r = Find(window);
        if (r == nullptr) continue;
        ShowWindow(window, ShowNormal);
        r->topmost = true;
        BringToTop(*r);
        InvalidateWindow(window, true);
        UpdateWindow(window);
        if (device::Current().raise != nullptr) device::Current().raise();
    }
}

void StopListening() {
    for (Listener& l : Listeners) l.Stop();
    Requests.store(0);
}

}  // namespace ws

bool AskRunningInstanceToFront(const char16_t* className) {
    sockaddr_un address;
    socklen_t length = 0;
    if (className == nullptr || !ws::AddressOf(className, address, length)) return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ws::SetTimeouts(fd);
    bool answered = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        write(fd, ws::Request, sizeof ws::Request - 1) == static_cast<ssize_t>(sizeof ws::Request - 1)) {
        char reply[sizeof ws::Reply] = {};
        answered = read(fd, reply, sizeof ws::Reply - 1) == static_cast<ssize_t>(sizeof ws::Reply - 1) &&
                   std::memcmp(reply, ws::Reply, sizeof ws::Reply - 1) == 0;
    }
    close(fd);
    return answered;
}

}  // namespace plat
