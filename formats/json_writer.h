// Writing JSON: every string our files and lines carry goes through one writer, so what we
// write is valid UTF-8 whatever bytes a settings file, a path or an agent gave us.
#pragma once

#include <cstddef>
#include <string>

namespace gulper {

// A JSON string literal of `text`: quotes, backslashes and control characters (DEL among
// them) escaped, valid UTF-8 kept as it is, and every byte that is not part of a valid UTF-8
// sequence written as U+FFFD.
std::string JsonString(const std::string& text);

// The text as JsonString's literal reads back: every byte that is not part of a valid UTF-8
// sequence replaced by U+FFFD. A digest of what a file records is taken of this.
std::string Utf8Repaired(const std::string& text);

// A number as the JSON outputs give it (six significant figures).
std::string JsonNumber(double v);

// The length of the valid UTF-8 sequence of two to four bytes at text[i], or 0 when none
// starts there (no overlong forms, surrogates or code points past U+10FFFF).
size_t Utf8Length(const std::string& text, size_t i);

}  // namespace gulper
