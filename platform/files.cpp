// Files in the reader's data folder (the device names it). A file is opened for this
// program alone: an exclusive advisory lock (flock) is held while it is open, so a second
// open fails, in this process or another. Writes go where the position is, are flushed to
// the disk, and never truncate.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/device.h"
#include "platform/platform.h"

namespace plat {
namespace {

constexpr int32_t MaxOpenFiles = 4;
constexpr int32_t MaxPath = 1024;
constexpr int32_t MaxFileName = 200;

struct OpenFile {
    int fd;  // -1 when the slot is free
    uint32_t generation;
};

OpenFile Files[MaxOpenFiles] = {{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}};

// Builds the path of a file of the data folder; false for a name that is empty, too long,
// or not a plain name (a separator, "." or ".."), and when there is no data folder.
bool PathOf(const char16_t* name, char* path) {
    const char* folder = device::Current().dataFolder();
    if (folder == nullptr || name == nullptr || name[0] == 0) return false;
    char narrow[MaxFileName * 3 + 1];
    int32_t n = 0;
    for (int32_t i = 0; name[i] != 0; ++i) {
        if (i >= MaxFileName) return false;
        const char16_t c = name[i];
        if (c == u'/' || c == u'\\' || c < 0x20) return false;
        // UTF-8, so that a name outside ASCII still names one file (surrogates become '_').
        if (c < 0x80) {
            narrow[n++] = static_cast<char>(c);
        } else if (c < 0x800) {
            narrow[n++] = static_cast<char>(0xC0 | (c >> 6));
            narrow[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c < 0xE000) {
            narrow[n++] = '_';
        } else {
            narrow[n++] = static_cast<char>(0xE0 | (c >> 12));
            narrow[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            narrow[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    narrow[n] = 0;
    if (std::strcmp(narrow, ".") == 0 || std::strcmp(narrow, "..") == 0) return false;
    const int written = std::snprintf(path, MaxPath, "%s/%s", folder, narrow);
    return written > 0 && written < MaxPath;
}

FileId MakeFileId(int32_t slot, uint32_t generation) {
    return static_cast<FileId>(((generation & 0xFFFFFF) << 4) | static_cast<uint32_t>(slot + 1));
}

OpenFile* FindFile(FileId file) {
    const int32_t slot = (file & 0xF) - 1;
    if (file <= 0 || slot < 0 || slot >= MaxOpenFiles) return nullptr;
    OpenFile& f = Files[slot];
    if (f.fd < 0 || MakeFileId(slot, f.generation) != file) return nullptr;
    return &f;
}

}  // namespace

bool FileExists(const char16_t* name) {
    char path[MaxPath];
    struct stat info;
    return PathOf(name, path) && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

FileId OpenExclusive(const char16_t* name, bool create) {
    char path[MaxPath];
    if (!PathOf(name, path)) return 0;
    int32_t slot = 0;
    while (slot < MaxOpenFiles && Files[slot].fd >= 0) ++slot;
    if (slot == MaxOpenFiles) return 0;
    const int fd = open(path, O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return 0;
    // The lock belongs to this open, so a second open fails even in this same process.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return 0;
    }
    Files[slot].fd = fd;
    Files[slot].generation = (Files[slot].generation + 1) & 0xFFFFFF;
    return MakeFileId(slot, Files[slot].generation);
}

int32_t ReadFile(FileId file, void* buffer, int32_t size) {
    OpenFile* f = FindFile(file);
    if (f == nullptr || buffer == nullptr || size <= 0) return 0;
    int32_t done = 0;
    while (done < size) {
        const ssize_t n = read(f->fd, static_cast<char*>(buffer) + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<int32_t>(n);
    }
    return done;
}

bool SeekToStart(FileId file) {
    OpenFile* f = FindFile(file);
    return f != nullptr && lseek(f->fd, 0, SEEK_SET) == 0;
}

bool WriteFile(FileId file, const void* buffer, int32_t size) {
    OpenFile* f = FindFile(file);
    if (f == nullptr || size < 0 || (buffer == nullptr && size > 0)) return false;
    int32_t done = 0;
    while (done < size) {
        const ssize_t n = write(f->fd, static_cast<const char*>(buffer) + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<int32_t>(n);
    }
    return fsync(f->fd) == 0;
}

bool CloseFile(FileId file) {
    OpenFile* f = FindFile(file);
    if (f == nullptr) return false;
    const int result = close(f->fd);  // closing also releases the lock
    f->fd = -1;
    return result == 0;
}

const char* device::UserDataFolder() {
    static char folder[MaxPath];
    if (folder[0] != 0) return folder;
    char path[MaxPath];
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    int written = 0;
    if (state != nullptr && state[0] == '/') {
        written = std::snprintf(path, MaxPath, "%s/mirewood", state);
    } else if (home != nullptr && home[0] == '/') {
        written = std::snprintf(path, MaxPath, "%s/.local/state/mirewood", home);
    } else {
        return nullptr;
    }
    if (written <= 0 || written >= MaxPath) return nullptr;
    // Creates each missing folder on the way; only the last one is the reader's own.
    for (char* p = path + 1; *p != 0; ++p) {
        if (*p != '/') continue;
        *p = 0;
        mkdir(path, 0700);
        *p = '/';
    }
    if (mkdir(path, 0700) != 0 && errno != EEXIST) return nullptr;
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISDIR(info.st_mode)) return nullptr;
    std::memcpy(folder, path, static_cast<size_t>(written) + 1);
    return folder;
}

}  // namespace plat
