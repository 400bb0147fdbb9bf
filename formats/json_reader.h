// Reading the simulator's own JSON back, value by value, without building a tree (a study's
// file can hold millions of games). Input is hostile: every string, number and nesting is
// bounded, and any fault throws JsonError naming the byte where it was found.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gulper {

struct JsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class JsonCursor {
  public:
    // Reads `text` where it is, so the text must outlive the cursor; a temporary cannot be read.
    explicit JsonCursor(const std::string& text) : text(text) {}
    explicit JsonCursor(std::string&&) = delete;

    // Objects: Begin, then Key until it returns false (the closing brace is taken).
    void BeginObject();
    bool NextKey(std::string* key);
    // Arrays: Begin, then More before each element until it returns false.
    void BeginArray();
    bool More();

    // A string of at most `limit` bytes once unescaped.
    std::string String(size_t limit = size_t(1) << 20);
    double Number();
    int64_t Integer(int64_t lo, int64_t hi);
    bool Bool();
    // Skips one value of any kind.
    void Skip(int depth = 0);
    // Only white space may be left.
    void End();

    [[noreturn]] void Fail(const std::string& what) const;

  private:
    void Space();
    char Peek();
    void Take(char c);

    const std::string& text;
    size_t at = 0;
    // Past the separator before the next key or element, or past `close`: false at the end.
    bool NextItem(char close);
    bool first = false;  // no element or key read yet in the innermost open object or array
};

}  // namespace gulper
