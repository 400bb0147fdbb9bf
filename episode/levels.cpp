#include "episode/levels.h"

#include "framework/data_file.h"

namespace gulper {

const std::vector<Level>& Levels() {
    static const std::vector<Level> levels = {
        {"gentle", "two ghosts, red and green, at a third of the Gulper's speed"},
        {"classic", "the shipped settings: four ghosts at half the Gulper's speed"},
        {"brisk", "four ghosts, red and orange as fast as the Gulper"},
        {"swift", "four ghosts, all as fast as the Gulper"},
        {"relentless",
         "four ghosts as fast as the Gulper, out early, chasing nearly all the time, and "
         "blue only briefly and at full speed"},
    };
    return levels;
}

const Level* FindLevel(const std::string& name) {
    for (const Level& level : Levels()) {
        if (name == level.name) {
            return &level;
        }
    }
    return nullptr;
}

std::string LevelNames() {
    std::string names;
    for (const Level& level : Levels()) {
        names += (names.empty() ? "" : ", ") + std::string(level.name);
    }
    return names;
}

std::string LevelFile(const Level& level) {
    return std::string("data/levels/") + LEVEL_SET + "/" + level.name + ".txt";
}

bool LevelSettings(const Level& level, std::string* text) {
    const BuiltInFile* file = BuiltInFileNamed(LevelFile(level).c_str());
    if (file == nullptr) {
        return false;
    }
    text->assign(reinterpret_cast<const char*>(file->bytes), file->size);
    return true;
}

const Level* LevelOfFile(const std::string& configPath) {
    for (const Level& level : Levels()) {
        if (configPath == LevelFile(level)) {
            return &level;
        }
    }
    return nullptr;
}

}  // namespace gulper
