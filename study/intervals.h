// Confidence intervals for comparing runs: win rates, paired win differences, means by the
// bootstrap, and the interquartile mean. Every interval is 95 % and reproducible: the
// bootstrap draws from its own seeded generator, never from the game's.
#pragma once

#include <cstdint>
#include <vector>

namespace gulper {

struct Interval {
    double lo = 0;
    double hi = 0;
    bool Contains(double v) const { return lo <= v && v <= hi; }
};

// The normal quantile of a two-sided 95 % interval.
constexpr double Z95 = 1.959963984540054;

// Wilson's score interval for `wins` out of `n` (a rate from 0 to 1); [0, 1] when n is 0.
Interval WilsonInterval(int64_t wins, int64_t n);

// Student's t at 97.5 % for `df` degrees of freedom, by the Cornish-Fisher expansion about
// the normal quantile (within 0.2 % from 3 degrees up, 0.1 % from 4).
double StudentT975(double df);

// Paired games on the same seeds, by what each side did on a seed.
struct PairedCounts {
    int64_t both = 0;     // both won
    int64_t onlyA = 0;    // A won, B did not
    int64_t onlyB = 0;    // B won, A did not
    int64_t neither = 0;  // neither won
    int64_t Total() const { return both + onlyA + onlyB + neither; }
};

// An interval for the difference of the win rates (A's less B's) on paired seeds: Bonett and
// Price's adjusted Wald interval, which keeps its 95 % on a few dozen seeds where Newcombe's
// falls to about 93 %.
Interval PairedRateDifference(const PairedCounts& counts);

// A bootstrap interval for the mean of `values` (the expanded percentile interval, which
// keeps its 95 % for few values), from `resamples` resamples drawn with a generator seeded by
// `seed`. Paired differences go in as one value per seed.
Interval BootstrapMeanInterval(const std::vector<double>& values, uint64_t seed,
                               int resamples = 2000);

// The mean of the middle half: a quarter of the values (rounded down) is left off each end.
double InterquartileMean(std::vector<double> values);

double Mean(const std::vector<double>& values);

}  // namespace gulper
