// The one JSON string writer, and numbers as the outputs give them.
#include "formats/json_writer.h"

#include <cstdio>

namespace gulper {

size_t Utf8Length(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    const size_t n = c >= 0xf0 && c <= 0xf4 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 && c < 0xe0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xc0) != 0x80) {
            return 0;
        }
    }
    const unsigned char d = byte(i + 1);
    if ((c == 0xe0 && d < 0xa0) || (c == 0xed && d >= 0xa0) || (c == 0xf0 && d < 0x90) ||
        (c == 0xf4 && d >= 0x90)) {
        return 0;
    }
    return n;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (const size_t n = Utf8Length(text, i)) {
            out.append(text, i, n);
            i += n;
        } else {
            out += "\\ufffd";
            ++i;
        }
    }
    return out + "\"";
}

std::string Utf8Repaired(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : Utf8Length(text, i);
        out += n ? text.substr(i, n) : "\xef\xbf\xbd";
        i += n ? n : 1;
    }
    return out;
}

std::string JsonNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

}  // namespace gulper
