// Studies in shards: which part a run plays, and joining the parts' JSON files back into the
// games of the whole study, checked to be the parts of one study, each once, all there.
#pragma once

#include <string>
#include <vector>

#include "study/shard_part.h"
#include "study/study_read.h"

namespace gulper {

// "K/N" with 1 <= K <= N <= 100000; false with the reason otherwise.
bool ParseShard(const std::string& text, ShardPart* shard, std::string* error);

// Joins the shards into the whole study. False, with the reason, unless the files are all the
// parts of one study: played by the same program, agent and settings, on the same seeds and
// tick limit, each part once.
bool MergeShards(const std::vector<std::string>& paths, StudyFile* whole, std::string* error);

}  // namespace gulper
