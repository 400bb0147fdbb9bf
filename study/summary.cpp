#include "study/summary.h"

#include "formats/sha256.h"
#include "formats/terminal_text.h"
#include "formats/version.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "study/exec_stats.h"

namespace gulper {

Spread SpreadOf(std::vector<double> values) {
    Spread s;
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    s.mean = sum / n;
    double squares = 0;
    for (double v : values) {
        squares += (v - s.mean) * (v - s.mean);
    }
    s.sd = std::sqrt(squares / n);
    auto quantile = [&](double p) {
        const double at = p * (n - 1);
        const size_t lo = static_cast<size_t>(std::floor(at));
        const size_t hi = std::min(lo + 1, n - 1);
        return values[lo] + (values[hi] - values[lo]) * (at - lo);
    };
    s.min = values.front();
    s.q1 = quantile(0.25);
    s.median = quantile(0.5);
    s.q3 = quantile(0.75);
    s.max = values.back();
    return s;
}

RunSummary Summarise(const std::vector<GameResult>& results) {
    RunSummary s;
    s.games = static_cast<int64_t>(results.size());
    std::vector<double> scores;
    std::vector<double> ticks;
    for (const GameResult& r : results) {
        s.won += r.outcome == GameOutcome::WON;
        s.lost += r.outcome == GameOutcome::LOST;
        s.unfinished += r.outcome == GameOutcome::UNFINISHED;
        s.decisions += r.decisions;
        scores.push_back(r.score);
        ticks.push_back(static_cast<double>(r.ticks));
        if (r.outcome == GameOutcome::LOST) {
            ++s.caughtBy[GhostColourName(r.caughtBy)];
            ++s.caughtWhile[r.lastState.empty() ? "unknown" : r.lastState];
        }
    }
    s.score = SpreadOf(scores);
    s.ticks = SpreadOf(ticks);
    SummariseExec(results, s);
    return s;
}

namespace {

std::string Format(const char* format, double a) {
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

std::string SpreadLine(const Spread& s) {
    return "min " + Format("%.0f", s.min) + ", q1 " + Format("%.1f", s.q1) + ", q3 " +
           Format("%.1f", s.q3) + ", max " + Format("%.0f", s.max) + ", sd " + Format("%.1f", s.sd);
}

std::string Counts(const std::map<std::string, int64_t>& counts) {
    std::string text;
    for (const auto& [name, count] : counts) {
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
    }
    return text.empty() ? "-" : text;
}

std::string JsonSpread(const Spread& s) {
    return "{\"mean\": " + JsonNumber(s.mean) + ", \"sd\": " + JsonNumber(s.sd) +
           ", \"min\": " + JsonNumber(s.min) + ", \"q1\": " + JsonNumber(s.q1) +
           ", \"median\": " + JsonNumber(s.median) + ", \"q3\": " + JsonNumber(s.q3) +
           ", \"max\": " + JsonNumber(s.max) + "}";
}

std::string JsonCounts(const std::map<std::string, int64_t>& counts) {
    std::string text;
    for (const auto& [name, count] : counts) {
        text += (text.empty() ? "" : ", ") + JsonString(name) + ": " + std::to_string(count);
    }
    return "{" + text + "}";
}

}  // namespace

void PrintSummary(std::ostream& out, const RunSummary& s) {
    const double n = static_cast<double>(s.games);
    out << "agent:        " << TerminalText(ShownAgent(s.agent, s)) << "\n";
    out << "games:        " << s.games << "\n";
    out << "won:          " << s.won << " (win rate " << Format("%.1f", 100.0 * s.won / n)
        << "%)\n";
    out << "lost:         " << s.lost << "\n";
    out << "unfinished:   " << s.unfinished << "\n";
    out << "score:        mean " << Format("%.1f", s.score.mean) << ", median "
        << Format("%.1f", s.score.median) << "\n";
    out << "score spread: " << SpreadLine(s.score) << "\n";
    out << "ticks:        mean " << Format("%.1f", s.ticks.mean) << ", median "
        << Format("%.1f", s.ticks.median) << "\n";
    out << "ticks spread: " << SpreadLine(s.ticks) << "\n";
    out << "decisions:    " << s.decisions << "\n";
    out << "caught by:    " << Counts(s.caughtBy) << "\n";
    out << "caught while: " << Counts(s.caughtWhile) << "\n";
    PrintExecSummary(out, s);
    out.flush();
}

std::string JsonSummary(const RunSummary& s) {
    std::string out =
        "{\"games\": " + std::to_string(s.games) + ", \"won\": " + std::to_string(s.won) +
        ", \"lost\": " + std::to_string(s.lost) +
        ", \"unfinished\": " + std::to_string(s.unfinished) +
        ", \"win_rate\": " + JsonNumber(s.games ? double(s.won) / s.games : 0) +
        ", \"decisions\": " + std::to_string(s.decisions) +
        ",\n    \"score\": " + JsonSpread(s.score) + ",\n    \"ticks\": " + JsonSpread(s.ticks) +
        ",\n    \"caught_by\": " + JsonCounts(s.caughtBy) +
        ", \"caught_while\": " + JsonCounts(s.caughtWhile) + JsonExecSummary(s) + "}";
    return out;
}

std::string JsonGameRow(const GameResult& r) {
    std::string out = "{\"seed\": " + std::to_string(r.seed) +
                      ", \"result\": " + JsonString(OutcomeName(r.outcome)) +
                      ", \"score\": " + std::to_string(r.score) +
                      ", \"food_left\": " + std::to_string(r.foodLeft) +
                      ", \"ticks\": " + std::to_string(r.ticks) +
                      ", \"decisions\": " + std::to_string(r.decisions);
    if (r.outcome == GameOutcome::LOST) {
        out += ", \"caught_by\": " + JsonString(GhostColourName(r.caughtBy)) +
               ", \"caught_at\": [" + std::to_string(r.caughtAt.x) + ", " +
               std::to_string(r.caughtAt.y) + "], \"state\": " + JsonString(r.lastState);
    }
    return out + JsonExecRow(r) + "}";
}

std::string WriteGameRows(std::ostream& out, const std::vector<GameResult>& games,
                          const char* indent) {
    Sha256 sha;
    for (size_t i = 0; i < games.size(); ++i) {
        const std::string row = JsonGameRow(games[i]);
        out << (i ? "," : "") << indent << row;
        sha.Add(row);
        sha.Add("\n", 1);
    }
    return sha.Hex();
}

std::string JsonVersion() {
    return "\"program_version\": " + JsonString(PROGRAM_VERSION);
}

std::string JsonSettings(const std::string& settingsText, const char* indent) {
    // The digest of the text as the file records it, so that it reads back to the same.
    return "\"settings_sha256\": " + JsonString(Sha256Hex(Utf8Repaired(settingsText))) + "," +
           indent + "\"settings_text\": " + JsonString(settingsText);
}

std::string JsonShard(const ShardPart& s) {
    return "{\"part\": " + std::to_string(s.part) + ", \"parts\": " + std::to_string(s.parts) +
           ", \"games\": " + std::to_string(s.games) + "}";
}

void WriteJson(std::ostream& out, const RunSummary& s, const std::vector<GameResult>& results) {
    out << "{\n  \"agent\": " << JsonString(s.agent)
        << ",\n  \"config\": " << JsonString(s.configPath) << ",\n  \"first_seed\": " << s.firstSeed
        << ",\n  \"max_ticks\": " << s.maxTicks;
    if (s.shard.parts > 0) {
        out << ",\n  \"shard\": " << JsonShard(s.shard);
    }
    out << ",\n  " << JsonVersion();
    if (s.exec) {
        out << ",\n  \"agent_name\": " << JsonString(s.name);
    }
    out << ",\n  " << JsonSettings(s.settingsText, "\n  ");
    out << ",\n  \"summary\": " << JsonSummary(s) << ",\n  \"games\": [";
    const std::string digest = WriteGameRows(out, results, "\n    ");
    out << "\n  ],\n  \"games_sha256\": " << JsonString(digest) << "\n}\n";
}

}  // namespace gulper
