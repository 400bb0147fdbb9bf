// A pull reader over JSON text, strict and bounded.
#include "formats/json_reader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <set>

namespace gulper {

namespace {
constexpr int MAX_DEPTH = 32;
}  // namespace

void JsonCursor::Fail(const std::string& what) const {
    throw JsonError(what + " at byte " + std::to_string(at));
}

void JsonCursor::Space() {
    while (at < text.size() &&
           (text[at] == ' ' || text[at] == '\n' || text[at] == '\r' || text[at] == '\t')) {
        ++at;
    }
}

char JsonCursor::Peek() {
    Space();
    if (at >= text.size()) {
        Fail("the file ends too soon");
    }
    return text[at];
}

void JsonCursor::Take(char c) {
    if (Peek() != c) {
        Fail(std::string("expected '") + c + "'");
    }
    ++at;
}

void JsonCursor::BeginObject() {
    Take('{');
    first = true;
}

bool JsonCursor::NextItem(char close) {
    const bool closed = Peek() == close;
    if (closed) {
        ++at;
    } else if (!first) {
        Take(',');
    }
    first = false;
    return !closed;
}

bool JsonCursor::NextKey(std::string* key) {
    if (!NextItem('}')) {
        return false;
    }
    *key = String();
    Take(':');
    return true;
}

void JsonCursor::BeginArray() {
    Take('[');
    first = true;
}

bool JsonCursor::More() {
    return NextItem(']');
}

std::string JsonCursor::String(size_t limit) {
    Take('"');
    std::string out;
    while (true) {
        if (at >= text.size()) {
            Fail("a string does not end");
        }
        const unsigned char c = static_cast<unsigned char>(text[at++]);
        if (c == '"') {
            return out;
        }
        if (c < 0x20) {
            Fail("a control character in a string");
        }
        if (out.size() >= limit) {
            Fail("a string is too long");
        }
        if (c != '\\') {
            out += static_cast<char>(c);
            continue;
        }
        if (at >= text.size()) {
            Fail("a string does not end");
        }
        const char e = text[at++];
        switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                if (at + 4 > text.size()) {
                    Fail("a short \\u escape");
                }
                unsigned v = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = text[at++];
                    const int d = h >= '0' && h <= '9'   ? h - '0'
                                  : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                  : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                         : -1;
                    if (d < 0) {
                        Fail("a bad \\u escape");
                    }
                    v = v * 16 + static_cast<unsigned>(d);
                }
                // Our writer escapes control characters only; others are kept as UTF-8.
                if (v < 0x80) {
                    out += static_cast<char>(v);
                } else if (v < 0x800) {
                    out += static_cast<char>(0xc0 | (v >> 6));
                    out += static_cast<char>(0x80 | (v & 63));
                } else {
                    out += static_cast<char>(0xe0 | (v >> 12));
                    out += static_cast<char>(0x80 | ((v >> 6) & 63));
                    out += static_cast<char>(0x80 | (v & 63));
                }
                break;
            }
            default:
                Fail("a bad escape in a string");
        }
    }
}

double JsonCursor::Number() {
    Space();
    const size_t start = at;
    while (at < text.size() && at - start < 40 &&
           (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '-' ||
            text[at] == '+' || text[at] == '.' || text[at] == 'e' || text[at] == 'E')) {
        ++at;
    }
    const std::string figures = text.substr(start, at - start);
    char* end = nullptr;
    const double v = figures.empty() ? NAN : std::strtod(figures.c_str(), &end);
    if (figures.empty() || end != figures.c_str() + figures.size() || !std::isfinite(v)) {
        at = start;
        Fail("expected a number");
    }
    return v;
}

int64_t JsonCursor::Integer(int64_t lo, int64_t hi) {
    const size_t start = at;
    const double v = Number();
    if (v != std::floor(v) || v < static_cast<double>(lo) || v > static_cast<double>(hi)) {
        at = start;
        Fail("expected a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
    }
    return static_cast<int64_t>(v);
}

bool JsonCursor::Bool() {
    Space();
    if (text.compare(at, 4, "true") == 0) {
        at += 4;
        return true;
    }
    if (text.compare(at, 5, "false") == 0) {
        at += 5;
        return false;
    }
    Fail("expected true or false");
}

void JsonCursor::Skip(int depth) {
    if (depth > MAX_DEPTH) {
        Fail("values nested too deep");
    }
    const char c = Peek();
    std::string key;
    if (c == '{') {
        // Even a value read past gives each key once.
        std::set<std::string> keys;
        BeginObject();
        while (NextKey(&key)) {
            if (!keys.insert(key).second) {
                Fail("\"" + key + "\" is given twice in an object");
            }
            Skip(depth + 1);
        }
    } else if (c == '[') {
        BeginArray();
        while (More()) {
            Skip(depth + 1);
        }
    } else if (c == '"') {
        String();
    } else if (c == 't' || c == 'f') {
        Bool();
    } else if (text.compare(at, 4, "null") == 0) {
        at += 4;
    } else {
        Number();
    }
}

size_t JsonCursor::ValueStart() {
    Space();
    return at;
}

void JsonCursor::End() {
    Space();
    if (at != text.size()) {
        Fail("more follows the value");
    }
}

ObjectKeys::ObjectKeys(const char* what, std::initializer_list<const char*> names)
    : what(what), known(names.begin(), names.end()), taken(known.size(), false) {}

void ObjectKeys::Take(const JsonCursor& in, const std::string& key) {
    for (size_t i = 0; i < known.size(); ++i) {
        if (known[i] == key) {
            if (taken[i]) {
                in.Fail(std::string(what) + " gives \"" + key + "\" twice");
            }
            taken[i] = true;
            return;
        }
    }
    in.Fail(std::string(what) + " has no key \"" + key + "\"");
}

bool ObjectKeys::Has(const std::string& key) const {
    for (size_t i = 0; i < known.size(); ++i) {
        if (known[i] == key) {
            return taken[i];
        }
    }
    return false;
}

void ObjectKeys::Require(const JsonCursor& in, std::initializer_list<const char*> needed) const {
    for (const char* key : needed) {
        if (!Has(key)) {
            in.Fail(std::string(what) + " gives no \"" + key + "\"");
        }
    }
}

}  // namespace gulper
