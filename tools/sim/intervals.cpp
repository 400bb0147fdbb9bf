// Confidence intervals: Wilson for a rate, Newcombe for a paired difference of rates, the
// percentile bootstrap for a mean.
#include "tools/sim/intervals.h"

#include <algorithm>
#include <cmath>

namespace {

// splitmix64: small, fast and the same on every machine, so shards merged anywhere agree.
class Draws {
  public:
    explicit Draws(uint64_t seed) : state(seed) {}
    uint64_t Next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // A whole number from 0 to n - 1 (n below 2^32), by multiply and shift.
    size_t Below(size_t n) { return static_cast<size_t>(((Next() >> 32) * n) >> 32); }

  private:
    uint64_t state;
};

// The value at rank p (0 to 1) of sorted values, interpolated as SpreadOf does.
double Quantile(const std::vector<double>& sorted, double p) {
    const double at = p * static_cast<double>(sorted.size() - 1);
    const size_t lo = static_cast<size_t>(std::floor(at));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (sorted[hi] - sorted[lo]) * (at - static_cast<double>(lo));
}

}  // namespace

Interval WilsonInterval(int64_t wins, int64_t n) {
    if (n <= 0) {
        return {0, 1};
    }
    const double p = static_cast<double>(wins) / static_cast<double>(n);
    const double z2 = Z95 * Z95;
    const double nn = static_cast<double>(n);
    const double centre = (p + z2 / (2 * nn)) / (1 + z2 / nn);
    const double half = Z95 / (1 + z2 / nn) * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

Interval PairedRateDifference(const PairedCounts& c) {
    const int64_t n = c.Total();
    if (n <= 0) {
        return {-1, 1};
    }
    const double nn = static_cast<double>(n);
    const double p1 = static_cast<double>(c.both + c.onlyA) / nn;
    const double p2 = static_cast<double>(c.both + c.onlyB) / nn;
    const Interval w1 = WilsonInterval(c.both + c.onlyA, n);
    const Interval w2 = WilsonInterval(c.both + c.onlyB, n);
    // The correlation of the two sides' wins over the seeds (0 when one side never varies).
    const double a = static_cast<double>(c.both), b = static_cast<double>(c.onlyA),
                 cc = static_cast<double>(c.onlyB), d = static_cast<double>(c.neither);
    const double spread = (a + b) * (cc + d) * (a + cc) * (b + d);
    const double phi = spread > 0 ? (a * d - b * cc) / std::sqrt(spread) : 0;
    const double diff = p1 - p2;
    const double below = std::sqrt(std::max(0.0, (p1 - w1.lo) * (p1 - w1.lo) -
                                                     2 * phi * (p1 - w1.lo) * (w2.hi - p2) +
                                                     (w2.hi - p2) * (w2.hi - p2)));
    const double above = std::sqrt(std::max(0.0, (w1.hi - p1) * (w1.hi - p1) -
                                                     2 * phi * (w1.hi - p1) * (p2 - w2.lo) +
                                                     (p2 - w2.lo) * (p2 - w2.lo)));
    return {std::max(-1.0, diff - below), std::min(1.0, diff + above)};
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

Interval BootstrapMeanInterval(const std::vector<double>& values, uint64_t seed, int resamples) {
    if (values.empty()) {
        return {0, 0};
    }
    Draws draws(seed ^ (static_cast<uint64_t>(values.size()) << 20));
    const size_t n = values.size();
    std::vector<double> means(static_cast<size_t>(std::max(1, resamples)));
    for (double& mean : means) {
        double sum = 0;
        for (size_t i = 0; i < n; ++i) {
            sum += values[draws.Below(n)];
        }
        mean = sum / static_cast<double>(n);
    }
    std::sort(means.begin(), means.end());
    return {Quantile(means, 0.025), Quantile(means, 0.975)};
}

double InterquartileMean(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t cut = values.size() / 4;
    double sum = 0;
    for (size_t i = cut; i < values.size() - cut; ++i) {
        sum += values[i];
    }
    return sum / static_cast<double>(values.size() - 2 * cut);
}
