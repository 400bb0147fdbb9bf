// Text from outside (an agent's name or command, a file's name, a recorded agent) as it may
// reach a terminal: no escape sequence or other control character gets through.
#pragma once

#include <string>

namespace gulper {

// `text` with every control character (C0, DEL and C1) and every byte that is not valid UTF-8
// shown as '?'; printable text, UTF-8 included, kept as it is.
std::string TerminalText(const std::string& text);

}  // namespace gulper
