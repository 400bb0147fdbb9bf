#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

// The readers take file names, so each input goes to a file of its own in memory-backed
// storage (/dev/shm where there is one), named with the ending the reader is given.
inline const char* WriteFuzzInput(const uint8_t* data, size_t size, const char* ending) {
    static std::string path;
    if (path.empty()) {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/gulper-fuzz-" + std::to_string(getpid()) + ending;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return nullptr;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        return nullptr;
    }
    return path.c_str();
}
