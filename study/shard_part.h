// Which part of a study a run plays: the K-th of N interleaved parts (game i when i % N is
// K - 1), and how many games the whole study has.
#pragma once

#include <cstdint>
#include <string>

namespace gulper {

struct ShardPart {
    int64_t part = 0;  // 1 to parts; 0 with parts 0 for a whole run
    int64_t parts = 0;
    int64_t games = 0;  // games per side in the whole study
    bool Whole() const { return parts == 0; }
    bool Holds(int64_t game) const { return Whole() || game % parts == part - 1; }
};

// {"part": K, "parts": N, "games": G}
std::string JsonShard(const ShardPart& s);

}  // namespace gulper
