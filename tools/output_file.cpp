// Output files written beside their place and renamed when whole, and checked standard output.
#include "tools/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

std::string Failure(const std::string& what, int error) {
    return "cannot write " + what + ": " +
           (error != 0 ? std::strerror(error) : "the write did not complete");
}

// Where the bytes go: the file a link leads to, so that the link stays a link.
std::string Destination(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

}  // namespace

OutputFile::~OutputFile() {
    if (!temporary.empty()) {
        out.close();
        std::remove(temporary.c_str());
    }
}

bool OutputFile::Open(const std::string& name, std::string* error) {
    path = name;
    struct stat info;
    const bool inPlace = stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    temporary = inPlace ? "" : Destination(path) + ".tmp-" + std::to_string(getpid());
    errno = 0;
    out.open(inPlace ? path : temporary, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        *error = Failure(path, errno);
        temporary.clear();
        return false;
    }
    return true;
}

bool OutputFile::Good(std::string* error) {
    if (!out) {
        *error = Failure(path, errno);
        return false;
    }
    return true;
}

bool OutputFile::Commit(std::string* error) {
    errno = 0;
    if (!out.flush()) {
        *error = Failure(path, errno);
        return false;
    }
    out.close();
    if (out.fail()) {
        *error = Failure(path, errno);
        return false;
    }
    if (!temporary.empty()) {
        if (std::rename(temporary.c_str(), Destination(path).c_str()) != 0) {
            *error = Failure(path, errno);
            std::remove(temporary.c_str());
            return false;
        }
        temporary.clear();
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
    OutputFile file;
    if (!file.Open(path, error)) {
        return false;
    }
    file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.Commit(error);
}

bool CloseStandardOutput(std::string* error) {
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    int reason = errno;
    std::cout.flush();
    const bool lost = !std::cout.good() || std::ferror(stdout) != 0;
    errno = 0;
    const bool closed = std::fclose(stdout) == 0;
    if (flushed && !lost && closed) {
        return true;
    }
    reason = reason != 0 ? reason : errno;
    // A write that failed earlier leaves no reason behind, only the loss.
    *error = reason != 0 ? Failure("to standard output", reason)
                         : "cannot write to standard output: part of what went there was lost";
    return false;
}
