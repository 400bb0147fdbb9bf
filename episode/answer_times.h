// How long an exec agent took to answer: per game exactly (median, 99th percentile,
// maximum), and over many games from a histogram of eighth-octave buckets (each figure within
// 1/8 of the truth), which stays small whatever the number of answers.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace gulper {

struct AnswerTimes {
    int64_t count = 0;
    int64_t medianUs = 0;
    int64_t p99Us = 0;
    int64_t maxUs = 0;
    // (bucket, answers) for the buckets that hold any, by bucket.
    std::vector<std::pair<uint32_t, uint32_t>> histogram;
};

// The times of one game's answers.
AnswerTimes TimesOf(std::vector<int64_t> answerUs);
// The times over several games: count and maximum exact, median and 99th percentile from the
// joined histograms (a bucket's lowest time).
AnswerTimes JoinTimes(const std::vector<const AnswerTimes*>& games);

// The bucket of a time, and the lowest time a bucket holds.
uint32_t TimeBucket(int64_t us);
int64_t BucketFloor(uint32_t bucket);
constexpr uint32_t TIME_BUCKETS = 16 + 40 * 8;

}  // namespace gulper
