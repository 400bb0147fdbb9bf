// Answer-time figures, exact for a game and bucketed over a run.
#include "episode/answer_times.h"

#include <algorithm>
#include <map>

namespace gulper {

uint32_t TimeBucket(int64_t us) {
    if (us < 16) {
        return static_cast<uint32_t>(std::max<int64_t>(us, 0));
    }
    int b = 63 - __builtin_clzll(static_cast<unsigned long long>(us));
    b = std::min(b, 43);
    const uint32_t sub = static_cast<uint32_t>((us >> (b - 3)) & 7);
    return std::min<uint32_t>(16 + static_cast<uint32_t>(b - 4) * 8 + sub, TIME_BUCKETS - 1);
}

int64_t BucketFloor(uint32_t bucket) {
    if (bucket < 16) {
        return bucket;
    }
    const int b = static_cast<int>((bucket - 16) / 8) + 4;
    const int64_t sub = (bucket - 16) % 8;
    return (int64_t(1) << b) + (sub << (b - 3));
}

namespace {

// The value at quantile p of n sorted values, by the nearest rank.
size_t Rank(double p, size_t n) {
    const size_t r = static_cast<size_t>(p * static_cast<double>(n) + 0.999999);
    return std::min(n, std::max<size_t>(r, 1)) - 1;
}

}  // namespace

AnswerTimes TimesOf(std::vector<int64_t> us) {
    AnswerTimes t;
    t.count = static_cast<int64_t>(us.size());
    if (us.empty()) {
        return t;
    }
    std::sort(us.begin(), us.end());
    t.medianUs = us[Rank(0.5, us.size())];
    t.p99Us = us[Rank(0.99, us.size())];
    t.maxUs = us.back();
    std::map<uint32_t, uint32_t> buckets;
    for (int64_t v : us) {
        ++buckets[TimeBucket(v)];
    }
    t.histogram.assign(buckets.begin(), buckets.end());
    return t;
}

AnswerTimes JoinTimes(const std::vector<const AnswerTimes*>& games) {
    AnswerTimes t;
    std::map<uint32_t, int64_t> buckets;
    for (const AnswerTimes* g : games) {
        t.count += g->count;
        t.maxUs = std::max(t.maxUs, g->maxUs);
        for (const auto& [bucket, n] : g->histogram) {
            buckets[bucket] += n;
        }
    }
    if (t.count == 0) {
        return t;
    }
    const auto at = [&](double p) {
        const int64_t rank = static_cast<int64_t>(Rank(p, static_cast<size_t>(t.count)));
        int64_t seen = 0;
        for (const auto& [bucket, n] : buckets) {
            seen += n;
            if (seen > rank) {
                return BucketFloor(bucket);
            }
        }
        return t.maxUs;
    };
    t.medianUs = at(0.5);
    t.p99Us = at(0.99);
    return t;
}

}  // namespace gulper
