// The program's version, as the build knows it (the project's version in CMake); a study's
// files record it so that parts played by different builds are not joined.
#pragma once

namespace gulper {

constexpr const char* PROGRAM_VERSION = GULPER_VERSION;

}  // namespace gulper
