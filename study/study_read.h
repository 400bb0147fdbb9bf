// Reading back a JSON file gulper-sim wrote for a run or a part of a study, strictly: every key
// known and given once, every figure in range and consistent with the settings the file
// itself records, and every count it claims checked against what its size can hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "study/compare.h"
#include "study/shard_part.h"

namespace gulper {

// The largest file read back: a study's whole text is held while it is read.
constexpr uint64_t MAX_STUDY_FILE = uint64_t(8) << 30;

// What a side was played by and under, beyond its label: the name an exec agent's program
// gave (empty for a built-in agent, or when none answered), and, when settings files are
// compared, the side's settings.
struct SidePins {
    std::string agentName;
    std::string settingsText;
};

// What a JSON file of gulper-sim says about its study, and its games.
struct StudyFile {
    bool comparison = false;
    CompareBy by = CompareBy::AGENTS;
    std::string agent;
    std::string configPath;
    std::string version;
    // The settings' exact bytes, for a single run or agents compared.
    std::string settingsText;
    uint32_t firstSeed = 0;
    int64_t maxTicks = 0;
    ShardPart shard;
    // One side for a single run (labelled with its agent), else each compared side.
    std::vector<Side> sides;
    std::vector<SidePins> pins;  // one for each side
};

// Reads a study's JSON text; throws JsonError naming the byte and the reason.
void ParseStudy(const std::string& text, StudyFile* study);
// Reads the ordinary file at `path` (a pipe, device or folder is refused without waiting).
// False with the reason, which names the file.
bool ReadStudyFile(const std::string& path, StudyFile* study, std::string* error);

}  // namespace gulper
