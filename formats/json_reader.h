// Reading the simulator's own JSON back, value by value, without building a tree (a study's
// file can hold millions of games). Input is hostile: every string, number and nesting is
// bounded, and any fault throws JsonError naming the byte where it was found.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

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
    // Skips one value of any kind; an object in it may give a key only once.
    void Skip(int depth = 0);
    // Only white space may be left.
    void End();
    // Past any white space: the byte where the next value (or separator) starts.
    size_t ValueStart();
    // The byte just after what was read last.
    size_t Position() const { return at; }

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

// The keys of one object as a strict reader takes them: each of the known keys at most once,
// and no other.
class ObjectKeys {
  public:
    // `what` names the object in the reasons ("a game").
    ObjectKeys(const char* what, std::initializer_list<const char*> known);
    // The key just read by NextKey: fails at the cursor when it is not known or came before.
    void Take(const JsonCursor& in, const std::string& key);
    bool Has(const std::string& key) const;
    // Fails at the cursor unless every one of `needed` was taken.
    void Require(const JsonCursor& in, std::initializer_list<const char*> needed) const;

  private:
    const char* what;
    std::vector<std::string> known;
    std::vector<bool> taken;
};

}  // namespace gulper
