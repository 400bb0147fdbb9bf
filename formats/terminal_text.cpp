// Control characters and broken UTF-8 kept off the terminal.
#include "formats/terminal_text.h"

#include "formats/json_writer.h"

namespace gulper {

std::string TerminalText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        const size_t n = Utf8Length(text, i);
        // U+0080 to U+009F, the C1 controls, are 0xc2 0x80 to 0xc2 0x9f.
        const bool c1 = n == 2 && c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
        if (n == 0 || c1) {
            out += '?';
            i += n == 0 ? 1 : n;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

}  // namespace gulper
