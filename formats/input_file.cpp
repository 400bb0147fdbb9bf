// Reading a file from outside, bounded, and parsing it with the reasons naming file and byte.
#include "formats/input_file.h"

#include "framework/data_file.h"
#include "game/settings.h"

namespace gulper {

bool ReadInputFile(const std::string& path, const char* what, uint64_t maxBytes, InputFrom from,
                   std::string* text, std::string* error) {
    std::string why;
    const bool read = from == InputFrom::ORDINARY_FILE
                          ? ReadDataFile(path.c_str(), maxBytes, text, &why)
                          : ReadNamedFile(path.c_str(), maxBytes, SETTINGS_QUIET_MS, text, &why);
    if (!read) {
        text->clear();
        *error = std::string("cannot read ") + what + " " + path + ": it " + why;
    }
    return read;
}

bool ParseInputFile(const std::string& path, const char* what, const char* whatIs,
                    uint64_t maxBytes, InputFrom from,
                    const std::function<void(const std::string& text)>& parse, std::string* error) {
    std::string text;
    if (!ReadInputFile(path, what, maxBytes, from, &text, error)) {
        return false;
    }
    try {
        parse(text);
    } catch (const JsonError& e) {
        *error = path + " is not " + whatIs + ": " + e.what();
        return false;
    }
    return true;
}

}  // namespace gulper
