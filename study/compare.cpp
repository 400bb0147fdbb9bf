// The statistics of a comparison on paired seeds, its verdicts, and its summary and JSON.
#include "study/compare.h"

#include "formats/terminal_text.h"

#include <cstdio>

#include "study/exec_stats.h"

namespace gulper {

namespace {

// The bootstrap's own seeds: fixed, so that the same games always give the same intervals.
constexpr uint64_t SIDE_DRAWS = 0x51de5eed;
constexpr uint64_t PAIR_DRAWS = 0x9a125eed;

std::string Fixed(double v, int places) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

std::string Percent(double rate) {
    return Fixed(100 * rate, 1) + " %";
}

std::vector<double> Scores(const std::vector<GameResult>& games) {
    std::vector<double> scores;
    scores.reserve(games.size());
    for (const GameResult& g : games) {
        scores.push_back(g.score);
    }
    return scores;
}

bool Won(const GameResult& g) {
    return g.outcome == GameOutcome::WON;
}

std::string JsonInterval(const Interval& i) {
    return "[" + JsonNumber(i.lo) + ", " + JsonNumber(i.hi) + "]";
}

}  // namespace

Comparison Compare(CompareBy by, const std::vector<Side>& sides) {
    Comparison c;
    c.by = by;
    c.games = sides.empty() ? 0 : static_cast<int64_t>(sides.front().games.size());
    for (size_t s = 0; s < sides.size(); ++s) {
        SideStats st;
        st.label = sides[s].label;
        st.run = Summarise(sides[s].games);
        st.winRate = WilsonInterval(st.run.won, st.run.games);
        const std::vector<double> scores = Scores(sides[s].games);
        st.meanScore = BootstrapMeanInterval(scores, SIDE_DRAWS + s);
        st.iqmScore = InterquartileMean(scores);
        c.sides.push_back(std::move(st));
    }
    for (size_t a = 0; a < sides.size(); ++a) {
        for (size_t b = a + 1; b < sides.size(); ++b) {
            PairStats p;
            p.a = a;
            p.b = b;
            std::vector<double> differences;
            const size_t n = std::min(sides[a].games.size(), sides[b].games.size());
            for (size_t i = 0; i < n; ++i) {
                const GameResult& ga = sides[a].games[i];
                const GameResult& gb = sides[b].games[i];
                const bool wa = Won(ga), wb = Won(gb);
                ++(wa && wb ? p.wins.both : wa ? p.wins.onlyA : wb ? p.wins.onlyB : p.wins.neither);
                p.aBetter += ga.score > gb.score;
                p.bBetter += ga.score < gb.score;
                p.equal += ga.score == gb.score;
                differences.push_back(static_cast<double>(ga.score) - gb.score);
            }
            const double total = static_cast<double>(std::max<size_t>(1, n));
            p.winDifference = static_cast<double>(p.wins.onlyA - p.wins.onlyB) / total;
            p.winInterval = PairedRateDifference(p.wins);
            p.scoreDifference = Mean(differences);
            p.scoreInterval = BootstrapMeanInterval(differences, PAIR_DRAWS + a * 64 + b);
            c.pairs.push_back(p);
        }
    }
    return c;
}

namespace {

// One measure's sentence, "A VERB B: x against y, difference d, 95 % interval lo to hi.", with
// the side its interval favours named first and every figure in that order; or, when the
// interval holds 0, that it does not tell them apart. Figures come scaled for printing.
struct Measure {
    const char* verb;       // "wins more often than"
    const char* name;       // "win rate"
    const char* prefix;     // before the first value
    const char* suffix;     // after each value
    const char* gapSuffix;  // after the difference
};

std::string Judgement(const Measure& m, const std::string& a, const std::string& b, double valueA,
                      double valueB, double difference, Interval interval) {
    const bool bAhead = interval.hi < 0;
    if (bAhead) {
        std::swap(valueA, valueB);
        difference = -difference;
        interval = {-interval.hi, -interval.lo};
    }
    const std::string figures = m.prefix + Fixed(valueA, 1) + m.suffix + " against " +
                                Fixed(valueB, 1) + m.suffix + ", difference " +
                                Fixed(difference, 1) + m.gapSuffix + ", 95 % interval " +
                                Fixed(interval.lo, 1) + " to " + Fixed(interval.hi, 1);
    if (interval.lo > 0) {
        return (bAhead ? b : a) + " " + m.verb + " " + (bAhead ? a : b) + ": " + figures + ".";
    }
    return std::string("No clear difference in ") + m.name + " between " + a + " and " + b + ": " +
           figures + ", which includes no difference.";
}

}  // namespace

std::string Verdict(const Comparison& c, const PairStats& p) {
    const SideStats& a = c.sides[p.a];
    const SideStats& b = c.sides[p.b];
    const double rateA = a.run.games ? double(a.run.won) / a.run.games : 0;
    const double rateB = b.run.games ? double(b.run.won) / b.run.games : 0;
    const Interval win{100 * p.winInterval.lo, 100 * p.winInterval.hi};
    return Judgement({"wins more often than", "win rate", "", " %", " points"}, a.label, b.label,
                     100 * rateA, 100 * rateB, 100 * p.winDifference, win) +
           " " +
           Judgement({"scores more than", "mean score", "mean ", "", ""}, a.label, b.label,
                     a.run.score.mean, b.run.score.mean, p.scoreDifference, p.scoreInterval);
}

void PrintComparison(std::ostream& out, const Comparison& compared) {
    // Names as they may reach a terminal: every one the text gives is a copy made safe.
    Comparison c = compared;
    c.agent = TerminalText(c.agent);
    c.configPath = TerminalText(c.configPath);
    for (SideStats& s : c.sides) {
        s.label = TerminalText(ShownAgent(s.label, s.run));
    }
    out << "compare:      " << (c.by == CompareBy::AGENTS ? "agents" : "settings files") << " on "
        << c.games << " paired seeds from " << c.firstSeed << ", "
        << (c.by == CompareBy::AGENTS ? "settings " + c.configPath : "agent " + c.agent) << "\n";
    for (const SideStats& s : c.sides) {
        out << "\n" << s.label << "\n";
        out << "  win rate:   " << Percent(s.run.games ? double(s.run.won) / s.run.games : 0)
            << " (" << s.run.won << " of " << s.run.games << "), 95 % interval "
            << Fixed(100 * s.winRate.lo, 1) << " to " << Fixed(100 * s.winRate.hi, 1) << "\n";
        out << "  score:      mean " << Fixed(s.run.score.mean, 1) << ", 95 % interval "
            << Fixed(s.meanScore.lo, 1) << " to " << Fixed(s.meanScore.hi, 1) << "; median "
            << Fixed(s.run.score.median, 1) << ", interquartile mean " << Fixed(s.iqmScore, 1)
            << "\n";
        out << "  lost:       " << s.run.lost << ", unfinished " << s.run.unfinished << "\n";
        if (s.run.exec) {
            out << "  outside:    " << ExecLine(s.run) << "\n";
        }
    }
    for (const PairStats& p : c.pairs) {
        const std::string& a = c.sides[p.a].label;
        const std::string& b = c.sides[p.b].label;
        const double n = static_cast<double>(std::max<int64_t>(1, c.games));
        out << "\n" << a << " against " << b << "\n";
        out << "  win rate:   difference " << Fixed(100 * p.winDifference, 1)
            << " points, 95 % interval " << Fixed(100 * p.winInterval.lo, 1) << " to "
            << Fixed(100 * p.winInterval.hi, 1) << "; won by " << a << " alone on " << p.wins.onlyA
            << " seeds, by " << b << " alone on " << p.wins.onlyB << "\n";
        out << "  score:      difference " << Fixed(p.scoreDifference, 1) << ", 95 % interval "
            << Fixed(p.scoreInterval.lo, 1) << " to " << Fixed(p.scoreInterval.hi, 1) << "\n";
        out << "  per seed:   " << a << " scored more on " << Percent(p.aBetter / n) << ", " << b
            << " on " << Percent(p.bBetter / n) << ", the same on " << Percent(p.equal / n) << "\n";
        out << "  verdict:    " << Verdict(c, p) << "\n";
    }
    if (c.sequential) {
        out << "\nstopping:     "
            << SequentialText(*c.sequential, c.sides[0].label, c.sides[1].label) << "\n";
    }
    out.flush();
}

void WriteComparisonJson(std::ostream& out, const Comparison& c, const std::vector<Side>& sides) {
    out << "{\n  \"compare\": " << JsonString(c.by == CompareBy::AGENTS ? "agents" : "configs")
        << ",\n  \"agent\": " << JsonString(c.agent)
        << ",\n  \"config\": " << JsonString(c.configPath) << ",\n  \"first_seed\": " << c.firstSeed
        << ",\n  \"max_ticks\": " << c.maxTicks << ",\n  \"games_per_side\": " << c.games;
    if (c.sides.size() > 0 && c.sides[0].run.shard.parts > 0) {
        out << ",\n  \"shard\": " << JsonShard(c.sides[0].run.shard);
    }
    out << ",\n  " << JsonVersion();
    if (c.by == CompareBy::AGENTS) {
        out << ",\n  " << JsonSettings(c.settingsText, "\n  ");
    }
    if (c.sequential) {
        const SequentialResult& r = *c.sequential;
        out << ",\n  \"sequential\": {\"decision\": " << JsonString(DecisionName(r.decision))
            << ", \"limit_reached\": " << (r.limitReached ? "true" : "false")
            << ", \"seeds\": " << r.seeds << ", \"only_a\": " << r.onlyA
            << ", \"only_b\": " << r.onlyB << ", \"alpha\": " << JsonNumber(r.plan.alpha)
            << ", \"beta\": " << JsonNumber(r.plan.beta)
            << ", \"win_share\": " << JsonNumber(r.plan.winShare) << "}";
    }
    out << ",\n  \"sides\": [";
    for (size_t s = 0; s < c.sides.size(); ++s) {
        const SideStats& st = c.sides[s];
        out << (s ? ",\n    " : "\n    ") << "{\"label\": " << JsonString(st.label)
            << ", \"win_interval\": " << JsonInterval(st.winRate)
            << ", \"score_mean_interval\": " << JsonInterval(st.meanScore)
            << ", \"score_iqm\": " << JsonNumber(st.iqmScore);
        if (st.run.exec) {
            out << ", \"agent_name\": " << JsonString(st.run.name);
        }
        if (c.by == CompareBy::CONFIGS) {
            out << ",\n    " << JsonSettings(st.settingsText, "\n    ");
        }
        out << ",\n    \"summary\": " << JsonSummary(st.run) << ",\n    \"games\": [";
        const std::string digest = WriteGameRows(out, sides[s].games, "\n      ");
        out << "\n    ], \"games_sha256\": " << JsonString(digest) << "}";
    }
    out << "\n  ],\n  \"pairs\": [";
    for (size_t i = 0; i < c.pairs.size(); ++i) {
        const PairStats& p = c.pairs[i];
        out << (i ? ",\n    " : "\n    ") << "{\"a\": " << JsonString(c.sides[p.a].label)
            << ", \"b\": " << JsonString(c.sides[p.b].label)
            << ", \"win_difference\": " << JsonNumber(p.winDifference)
            << ", \"win_interval\": " << JsonInterval(p.winInterval)
            << ", \"score_difference\": " << JsonNumber(p.scoreDifference)
            << ", \"score_interval\": " << JsonInterval(p.scoreInterval)
            << ", \"a_better\": " << p.aBetter << ", \"b_better\": " << p.bBetter
            << ", \"equal\": " << p.equal << ",\n     \"verdict\": " << JsonString(Verdict(c, p))
            << "}";
    }
    out << "\n  ]\n}\n";
}

}  // namespace gulper
