// The named levels: settings files shipped as one versioned set, fixed once published, so that
// a figure on a level means the same game wherever and whenever it was played.
#pragma once

#include <string>
#include <vector>

namespace gulper {

// The set the names below belong to; a level's settings change only with a new set.
constexpr const char* LEVEL_SET = "v1";

struct Level {
    const char* name;
    const char* summary;
};

// From the gentlest to the hardest.
const std::vector<Level>& Levels();
// The level of that name, or null.
const Level* FindLevel(const std::string& name);
// The names, comma-separated, for messages.
std::string LevelNames();
// Where a level's settings file is, as a settings path ("data/levels/v1/NAME.txt").
std::string LevelFile(const Level& level);
// The level whose file `configPath` is, or null.
const Level* LevelOfFile(const std::string& configPath);
// A level's published settings: the copy built into the program, whatever the working folder
// holds. False when the program was built without it.
bool LevelSettings(const Level& level, std::string* text);

}  // namespace gulper
