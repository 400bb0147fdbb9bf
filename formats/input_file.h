// Files from outside read as hostile input, the one way for every reader of our own files:
// the kind of file looked at before it is read, its size checked against a cap before any
// memory is taken, and no wait on a pipe beyond a bound.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "formats/json_reader.h"

namespace gulper {

// What a reader takes: ordinary files only (a study's parts: a pipe, device or folder is
// refused at once), or also a pipe read once with a bounded wait (a replay file given by
// process substitution).
enum class InputFrom { ORDINARY_FILE, FILE_OR_PIPE };

// The bytes of `path`, at most maxBytes. False, with "cannot read WHAT PATH: it ...".
bool ReadInputFile(const std::string& path, const char* what, uint64_t maxBytes, InputFrom from,
                   std::string* text, std::string* error);

// Reads `path` as above and hands its text to `parse`, which reads it with a JsonCursor; a
// JsonError becomes "PATH is not WHAT_IS: REASON at byte N".
bool ParseInputFile(const std::string& path, const char* what, const char* whatIs,
                    uint64_t maxBytes, InputFrom from,
                    const std::function<void(const std::string& text)>& parse, std::string* error);

}  // namespace gulper
