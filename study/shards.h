// Studies in shards: which part a run plays, and joining the parts' JSON files back into the
// games of the whole study, checked to be the parts of one study, each once, all there.
#pragma once

#include <string>
#include <vector>

#include "study/compare.h"
#include "study/shard_part.h"

namespace gulper {

// "K/N" with 1 <= K <= N <= 100000; false with the reason otherwise.
bool ParseShard(const std::string& text, ShardPart* shard, std::string* error);

// What a JSON file of gulper-sim says about its study, and its games.
struct StudyFile {
    bool comparison = false;
    CompareBy by = CompareBy::AGENTS;
    std::string agent;
    std::string configPath;
    uint32_t firstSeed = 0;
    int64_t maxTicks = 0;
    ShardPart shard;
    // One side for a single run (labelled with its agent), else each compared side.
    std::vector<Side> sides;
};

// Reads one JSON file written by gulper-sim (at most 8 GiB). False with the reason.
bool ReadStudyFile(const std::string& path, StudyFile* study, std::string* error);

// Joins the shards into the whole study. False, with the reason, unless the files are all the
// parts of one study.
bool MergeShards(const std::vector<std::string>& paths, StudyFile* whole, std::string* error);

}  // namespace gulper
