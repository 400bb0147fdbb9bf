#pragma once

#include <ostream>
#include <string>

namespace gulper {

// Shows how the game reads a settings file, without changing how it reads it: a warning for
// each key it does not know, each value it clamps or skips and each key given twice, where
// reading stopped and why, then the value every setting ends up with. Returns the exit
// status: 0 when the file could be read (warnings or not), 2 when it could not.
int CheckConfig(const std::string& path, std::ostream& out);

}  // namespace gulper
