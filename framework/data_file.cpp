// Opening files from outside without waiting on them, and reading them with a cap.
#include "framework/data_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Closes a descriptor on every path out, unless handed on.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd; }
    int Release() { return std::exchange(fd, -1); }

  private:
    int fd;
};

void Say(std::string* why, const std::string& text) {
    if (why != nullptr) {
        *why = text;
    }
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not an ordinary file";
}

std::string TooLarge(uint64_t maxBytes) {
    return "is larger than the " + std::to_string(maxBytes) + " bytes it may be";
}

std::string Duration(int ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds" : std::to_string(ms) + " ms";
}

// Why opening failed, telling a link that leads nowhere from a name that is not there.
std::string OpenFailure(const char* path, int error) {
    struct stat link;
    if (error == ENOENT && lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        return "is a link to something that is not there";
    }
    if (error == ELOOP) {
        return "is a link that leads round in a loop";
    }
    if (error == ENOENT) {
        return DATA_FILE_MISSING;
    }
    return std::string("cannot be opened: ") + std::strerror(error);
}

// Opens without waiting on a pipe or a device, and without taking a terminal.
int OpenWithoutWaiting(const char* path) {
    return open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool ClearNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// Appends what the descriptor gives until its end; false once more than maxBytes came. A
// stream is waited on at most quietMs for each piece (quietMs < 0: the descriptor blocks).
bool ReadToEnd(int fd, uint64_t maxBytes, int quietMs, std::string* bytes, std::string* why) {
    char buffer[65536];
    while (true) {
        if (quietMs >= 0) {
            pollfd ready{fd, POLLIN, 0};
            const int n = poll(&ready, 1, quietMs);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n == 0) {
                Say(why, "gave nothing for " + Duration(quietMs) + "; reading it stopped");
                return false;
            }
        }
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            Say(why, std::string("cannot be read: ") + std::strerror(errno));
            return false;
        }
        if (static_cast<uint64_t>(got) > maxBytes - bytes->size()) {
            Say(why, "gives more than the " + std::to_string(maxBytes) + " bytes it may");
            return false;
        }
        bytes->append(buffer, static_cast<size_t>(got));
    }
}

const BuiltInFile* builtInFiles = nullptr;
size_t builtInCount = 0;

// "data//dot.tga" and "./data/dot.tga" as "data/dot.tga".
std::string WithSingleSlashes(const char* path) {
    std::string name;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c != '/' || name.empty() || name.back() != '/') {
            name += *c;
        }
    }
    return name.rfind("./", 0) == 0 ? name.substr(2) : name;
}

}  // namespace

void SetBuiltInFiles(const BuiltInFile* files, size_t count) {
    builtInFiles = files;
    builtInCount = count;
}

const BuiltInFile* BuiltInFileFor(const char* path) {
    if (builtInCount == 0 || path == nullptr || path[0] == '\0') {
        return nullptr;
    }
    struct stat here;
    if (lstat(path, &here) == 0 || errno != ENOENT) {
        return nullptr;  // something is there, even if not a file the game can read
    }
    const std::string name = WithSingleSlashes(path);
    for (size_t i = 0; i < builtInCount; ++i) {
        if (name == builtInFiles[i].name) {
            return &builtInFiles[i];
        }
    }
    return nullptr;
}

const BuiltInFile* BuiltInFileNamed(const char* name) {
    const std::string wanted = WithSingleSlashes(name == nullptr ? "" : name);
    for (size_t i = 0; i < builtInCount; ++i) {
        if (wanted == builtInFiles[i].name) {
            return &builtInFiles[i];
        }
    }
    return nullptr;
}

File OpenDataFile(const char* path, uint64_t maxBytes, std::string* why) {
    if (path == nullptr || path[0] == '\0') {
        Say(why, DATA_FILE_MISSING);
        return nullptr;
    }
    Descriptor fd(OpenWithoutWaiting(path));
    if (fd.Get() < 0) {
        const int error = errno;
        if (const BuiltInFile* inside = error == ENOENT ? BuiltInFileFor(path) : nullptr) {
            if (inside->size > maxBytes) {
                Say(why, TooLarge(maxBytes));
                return nullptr;
            }
            // Read only: the bytes are never written through this stream.
            return File(fmemopen(const_cast<unsigned char*>(inside->bytes), inside->size, "rb"));
        }
        Say(why, OpenFailure(path, error));
        return nullptr;
    }
    struct stat info;
    if (fstat(fd.Get(), &info) != 0) {
        Say(why, std::string("cannot be examined: ") + std::strerror(errno));
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        Say(why, "is " + KindOf(info.st_mode) + ", not an ordinary file");
        return nullptr;
    }
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        Say(why, TooLarge(maxBytes));
        return nullptr;
    }
    if (!ClearNonBlocking(fd.Get())) {
        Say(why, std::string("cannot be read: ") + std::strerror(errno));
        return nullptr;
    }
    File file(fdopen(fd.Get(), "rb"));
    if (file) {
        fd.Release();
    }
    return file;
}

bool ReadDataFile(const char* path, uint64_t maxBytes, std::string* bytes, std::string* why) {
    bytes->clear();
    if (const BuiltInFile* inside = BuiltInFileFor(path)) {
        if (inside->size > maxBytes) {
            Say(why, TooLarge(maxBytes));
            return false;
        }
        bytes->assign(reinterpret_cast<const char*>(inside->bytes), inside->size);
        return true;
    }
    File file = OpenDataFile(path, maxBytes, why);
    // The size was checked when opened; the cap holds even for a file that grows meanwhile.
    return file && ReadToEnd(fileno(file.get()), maxBytes, -1, bytes, why);
}

bool ReadNamedFile(const char* path, uint64_t maxBytes, int quietMs, std::string* bytes,
                   std::string* why, NamedFileKind* kind) {
    bytes->clear();
    Descriptor fd(OpenWithoutWaiting(path));
    if (fd.Get() < 0) {
        Say(why, OpenFailure(path, errno));
        return false;
    }
    struct stat info;
    if (fstat(fd.Get(), &info) != 0) {
        Say(why, std::string("cannot be examined: ") + std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        Say(why, "is a folder, not a file");
        return false;
    }
    const bool ordinary = S_ISREG(info.st_mode);
    if (kind != nullptr) {
        *kind = ordinary ? NamedFileKind::ORDINARY : NamedFileKind::STREAM;
    }
    if (ordinary && static_cast<uint64_t>(info.st_size) > maxBytes) {
        Say(why, TooLarge(maxBytes));
        return false;
    }
    if (ordinary && !ClearNonBlocking(fd.Get())) {
        Say(why, std::string("cannot be read: ") + std::strerror(errno));
        return false;
    }
    // A pipe stays non-blocking: each read is preceded by a bounded wait.
    return ReadToEnd(fd.Get(), maxBytes, ordinary ? -1 : quietMs, bytes, why);
}
