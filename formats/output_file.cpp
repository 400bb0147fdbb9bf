// Output files written beside their place and renamed when whole, and checked standard output.
#include "formats/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace gulper {

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

int OutputFile::Buffer::overflow(int c) {
    const int result = std::filebuf::overflow(c);
    if (result == traits_type::eof() && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    return result;
}

std::streamsize OutputFile::Buffer::xsputn(const char* s, std::streamsize n) {
    const std::streamsize written = std::filebuf::xsputn(s, n);
    if (written < n && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    return written;
}

int OutputFile::Buffer::sync() {
    const int result = std::filebuf::sync();
    if (result != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    return result;
}

std::string OutputFile::Failure() const {
    return gulper::Failure(path, buffer.error != 0 ? buffer.error : errno);
}

OutputFile::~OutputFile() {
    if (!temporary.empty()) {
        buffer.close();
        std::remove(temporary.c_str());
    }
}

bool OutputFile::Open(const std::string& name, std::string* error) {
    path = name;
    struct stat info;
    const bool inPlace = stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    temporary = inPlace ? "" : Destination(path) + ".tmp-" + std::to_string(getpid());
    errno = 0;
    if (buffer.open(inPlace ? path : temporary,
                    std::ios::out | std::ios::binary | std::ios::trunc) == nullptr) {
        *error = Failure();
        temporary.clear();
        return false;
    }
    return true;
}

bool OutputFile::Good(std::string* error) {
    if (!out) {
        *error = Failure();
        return false;
    }
    return true;
}

bool OutputFile::Commit(std::string* error) {
    errno = 0;
    if (!out.flush()) {
        *error = Failure();
        return false;
    }
    if (buffer.close() == nullptr) {
        *error = Failure();
        return false;
    }
    if (!temporary.empty()) {
        if (std::rename(temporary.c_str(), Destination(path).c_str()) != 0) {
            *error = gulper::Failure(path, errno);
            std::remove(temporary.c_str());
            temporary.clear();
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

}  // namespace gulper
