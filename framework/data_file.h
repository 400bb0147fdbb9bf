// Opening files from outside without ever waiting on them: a data file is read only when it is
// an ordinary file of bounded size, and a file the user names may also be a pipe, read once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/file_bytes.h"

// The reason given for a name with nothing behind it, the one refusal that is no surprise.
inline constexpr const char DATA_FILE_MISSING[] = "does not exist";

// An ordinary file opened for reading, or null. Opening never blocks: a pipe, device, socket
// or folder is opened without waiting, seen for what it is and closed again. A file over
// maxBytes is refused too. When refused, `why` (if given) says what was found, in words that
// follow the file's name ("is a named pipe, not an ordinary file").
File OpenDataFile(const char* path, uint64_t maxBytes, std::string* why = nullptr);

// The whole of an ordinary file of at most maxBytes, opened as OpenDataFile opens it.
bool ReadDataFile(const char* path, uint64_t maxBytes, std::string* bytes,
                  std::string* why = nullptr);

// A file a program carries inside itself, by the name it has under the working folder
// ("data/dot.tga").
struct BuiltInFile {
    const char* name;
    const unsigned char* bytes;
    uint64_t size;
};

// From now on OpenDataFile and ReadDataFile give a data file that is not there (no such name)
// from `files` instead, when one has its name; repeated slashes count as one. The game never
// calls it: its window reads data/ alone. The table must outlive every later read.
void SetBuiltInFiles(const BuiltInFile* files, size_t count);
// The built-in file read in place of `path` now: null when the path names something here, or
// no built-in file has its name.
const BuiltInFile* BuiltInFileFor(const char* path);
// The built-in file of that name whatever the working folder holds, or null.
const BuiltInFile* BuiltInFileNamed(const char* name);

// What ReadNamedFile found at the path.
enum class NamedFileKind { ORDINARY, STREAM };

// A file the user named: an ordinary file, or a pipe, terminal or device read to its end,
// waiting at most quietMs for each next piece. Refused (false, with `why`) when it cannot be
// opened, is a folder, stays silent too long, or gives more than maxBytes.
bool ReadNamedFile(const char* path, uint64_t maxBytes, int quietMs, std::string* bytes,
                   std::string* why, NamedFileKind* kind = nullptr);
