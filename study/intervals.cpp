// Confidence intervals: Wilson for a rate, Bonett and Price for a paired difference of rates,
// the expanded percentile bootstrap for a mean.
#include "study/intervals.h"

#include <algorithm>
#include <cmath>

namespace gulper {

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

double StudentT975(double df) {
    const double z = Z95, z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
    return z + (z3 + z) / (4 * df) + (5 * z5 + 16 * z3 + 3 * z) / (96 * df * df) +
           (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * df * df * df) +
           (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / (92160 * df * df * df * df);
}

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
    const double n = static_cast<double>(c.Total());
    // Only the seeds one side alone won tell the rates apart; one more of each keeps the
    // interval honest when they are few (Bonett and Price's adjusted Wald interval).
    const double onlyA = (static_cast<double>(c.onlyA) + 1) / (n + 2);
    const double onlyB = (static_cast<double>(c.onlyB) + 1) / (n + 2);
    const double diff = onlyA - onlyB;
    const double half = Z95 * std::sqrt(std::max(0.0, onlyA + onlyB - diff * diff) / (n + 2));
    return {std::max(-1.0, diff - half), std::min(1.0, diff + half)};
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
    // Hesterberg's expanded percentile interval: the resampled means spread too little for
    // few values, by sqrt((n - 1) / n) and by z against Student's t.
    const double mean = Mean(values);
    const double nn = static_cast<double>(n);
    const double widen = n > 1 ? std::sqrt(nn / (nn - 1)) * StudentT975(nn - 1) / Z95 : 1;
    return {mean - widen * (mean - Quantile(means, 0.025)),
            mean + widen * (Quantile(means, 0.975) - mean)};
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

}  // namespace gulper
