// The comparison's report: each side's catch map and each pair's difference map as PNG
// files, and one page with the verdicts, the intervals drawn, every seed's pair of scores to
// point at, and the maps.
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "formats/output_file.h"
#include "outputs/compare_script.h"
#include "outputs/report.h"
#include "outputs/report_html.h"
#include "outputs/report_page.h"
#include "outputs/report_pictures.h"
#include "picture/png_encode.h"

namespace gulper {

namespace fs = std::filesystem;

namespace {

std::string Rate(int64_t won, int64_t games) {
    return Fixed(100.0 * won / std::max<int64_t>(1, games), 1) + " %";
}

std::string Triple(double v, const Interval& i, double scale) {
    return "[" + JsonNumber(v * scale) + ", " + JsonNumber(i.lo * scale) + ", " +
           JsonNumber(i.hi * scale) + "]";
}

// Each side's agent, settings and game limit as gulper-watch takes them.
std::string SideWatch(const Comparison& c, const SideStats& s) {
    return c.by == CompareBy::AGENTS ? WatchOptions(s.label, c.configPath, c.maxTicks)
                                     : WatchOptions(c.agent, s.label, c.maxTicks);
}

// `c` with its sides labelled as shown (an exec agent by the name it gives); `played` as
// named, for the watch options.
std::string Data(const Comparison& c, const Comparison& played, const std::vector<Side>& sides) {
    std::vector<std::string> labels;
    for (const SideStats& s : c.sides) {
        labels.push_back(s.label);
    }
    const std::vector<std::string> names = ShortNames(labels);
    std::string out = "{\"sides\": [";
    for (size_t i = 0; i < c.sides.size(); ++i) {
        const SideStats& s = c.sides[i];
        const double rate = s.run.games ? double(s.run.won) / s.run.games : 0;
        out += std::string(i ? ", " : "") + "{\"label\": " + JsonString(s.label) +
               ", \"short\": " + JsonString(names[i]) +
               ", \"watch\": " + JsonString(SideWatch(played, played.sides[i])) +
               ", \"win\": " + Triple(rate, s.winRate, 100) +
               ", \"score\": " + Triple(s.run.score.mean, s.meanScore, 1) + "}";
    }
    out += "], \"pairs\": [";
    for (size_t i = 0; i < c.pairs.size(); ++i) {
        const PairStats& p = c.pairs[i];
        out += std::string(i ? ", " : "") + "{\"a\": " + std::to_string(p.a) +
               ", \"b\": " + std::to_string(p.b) +
               ", \"win\": " + Triple(p.winDifference, p.winInterval, 100) +
               ", \"score\": " + Triple(p.scoreDifference, p.scoreInterval, 1) + "}";
    }
    // Each drawn seed: the seed, then every side's score, outcome and ticks.
    out += "], \"seeds\": [";
    size_t games = sides[0].games.size();
    for (const Side& side : sides) {
        games = std::min(games, side.games.size());
    }
    const size_t step = DrawStep(games);
    for (size_t i = 0; i < games; i += step) {
        out += std::string(i ? ", " : "") + "[" + std::to_string(sides[0].games[i].seed);
        for (const Side& side : sides) {
            const GameResult& g = side.games[i];
            out += ", " + std::to_string(g.score) + ", " + std::to_string(int(g.outcome)) + ", " +
                   std::to_string(g.ticks);
        }
        out += "]";
    }
    return out + "]}";
}

// A chart wide enough to name every one of `count` bars level.
int ChartWidth(size_t count) {
    return std::max(420, 60 + 170 * static_cast<int>(count));
}

// The pair whose seeds the scatter shows, when there is more than one to choose from.
std::string PairChooser(const Comparison& c) {
    if (c.pairs.size() < 2) {
        return "";
    }
    std::string html = "<p><label for=\"seeds-pair\">Seeds of </label><select id=\"seeds-pair\">";
    for (size_t i = 0; i < c.pairs.size(); ++i) {
        const PairStats& p = c.pairs[i];
        html += "<option value=\"" + std::to_string(i) + "\">" + Escape(c.sides[p.a].label) +
                " against " + Escape(c.sides[p.b].label) + "</option>";
    }
    return html + "</select></p>\n";
}

std::string Tables(const Comparison& c) {
    std::ostringstream html;
    html << "<table>\n<tr><th>side</th><th>games</th><th>won</th><th>win rate</th>"
            "<th>95 % interval</th><th>mean score</th><th>95 % interval</th><th>median</th>"
            "<th>interquartile mean</th><th>lost</th><th>unfinished</th></tr>\n";
    for (const SideStats& s : c.sides) {
        html << "<tr><th>" << Escape(s.label) << "</th><td>" << s.run.games << "</td><td>"
             << s.run.won << "</td><td>" << Rate(s.run.won, s.run.games) << "</td><td>"
             << Fixed(100 * s.winRate.lo, 1) << " to " << Fixed(100 * s.winRate.hi, 1)
             << "</td><td>" << Fixed(s.run.score.mean, 1) << "</td><td>" << Fixed(s.meanScore.lo, 1)
             << " to " << Fixed(s.meanScore.hi, 1) << "</td><td>" << Fixed(s.run.score.median, 1)
             << "</td><td>" << Fixed(s.iqmScore, 1) << "</td><td>" << s.run.lost << "</td><td>"
             << s.run.unfinished << "</td></tr>\n";
    }
    html << "</table>\n<table>\n<tr><th>pair</th><th>win rate difference</th>"
            "<th>95 % interval</th><th>score difference</th><th>95 % interval</th>"
            "<th>first scored more</th><th>second scored more</th><th>the same</th></tr>\n";
    for (const PairStats& p : c.pairs) {
        const double n = static_cast<double>(std::max<int64_t>(1, c.games));
        html << "<tr><th>" << Escape(c.sides[p.a].label) << " against "
             << Escape(c.sides[p.b].label) << "</th><td>" << Fixed(100 * p.winDifference, 1)
             << " points</td><td>" << Fixed(100 * p.winInterval.lo, 1) << " to "
             << Fixed(100 * p.winInterval.hi, 1) << "</td><td>" << Fixed(p.scoreDifference, 1)
             << "</td><td>" << Fixed(p.scoreInterval.lo, 1) << " to "
             << Fixed(p.scoreInterval.hi, 1) << "</td><td>" << Fixed(100 * p.aBetter / n, 1)
             << " %</td><td>" << Fixed(100 * p.bBetter / n, 1) << " %</td><td>"
             << Fixed(100 * p.equal / n, 1) << " %</td></tr>\n";
    }
    html << "</table>\n";
    return html.str();
}

bool Picture(const fs::path& dir, const std::string& name, const Canvas& picture,
             std::string* bytes, std::string* error) {
    const std::string path = (dir / name).string();
    if (!EncodePng(picture, bytes)) {
        *error = "writing " + path + " failed";
        return false;
    }
    return WriteWholeFile(path, *bytes, error);
}

}  // namespace

bool WriteComparisonReport(const std::string& dir, const Comparison& played,
                           const std::vector<Side>& sides, std::string* error) {
    // An exec agent's side is shown by the name its program gives.
    Comparison c = played;
    for (SideStats& s : c.sides) {
        s.label = ShownAgent(s.label, s.run);
    }
    std::string library;
    if (!ChartLibrary(&library, error)) {
        return false;
    }
    const fs::path base(dir);
    std::string maps;
    for (size_t s = 0; s < sides.size(); ++s) {
        const std::string name = "caught-" + std::to_string(s + 1) + ".png";
        std::string png;
        if (!Picture(base, name, CatchMap(sides[s].games), &png, error)) {
            return false;
        }
        maps += PictureFigure("caught-" + std::to_string(s + 1),
                              "where " + c.sides[s].label + " was caught", png,
                              "Where the Gulper was caught with " + Escape(c.sides[s].label) +
                                  ": each cell by how many games ended on it (" + name + ").");
    }
    for (const PairStats& p : c.pairs) {
        const std::string name =
            "caught-" + std::to_string(p.a + 1) + "-" + std::to_string(p.b + 1) + ".png";
        std::string png;
        if (!Picture(base, name, CatchDifferenceMap(sides[p.a].games, sides[p.b].games), &png,
                     error)) {
            return false;
        }
        maps += PictureFigure(
            name.substr(0, name.size() - 4), "where the two were caught differently", png,
            "Where " + Escape(c.sides[p.a].label) +
                " was caught more often (<span style=\"color:#f08c28\">orange</span>) and where " +
                Escape(c.sides[p.b].label) +
                " was (<span style=\"color:#28c8a0\">green</span>), as shares of each one's "
                "losses (" +
                name + ").");
    }
    const std::string title = "gulper-sim comparison: " + std::to_string(c.games) +
                              " paired seeds from " + std::to_string(c.firstSeed);
    std::ostringstream html;
    html << PageHead(title, library) << PageData(Data(c, played, sides)) << "<p>"
         << (c.by == CompareBy::AGENTS ? "Agents compared, settings " + Escape(c.configPath)
                                       : "Settings files compared, agent " + Escape(c.agent))
         << ", at most " << c.maxTicks << " ticks a game. Every side played the same seeds.</p>\n";
    for (const PairStats& p : c.pairs) {
        html << "<p class=\"verdict\"><b>" << Escape(Verdict(c, p)) << "</b></p>\n";
    }
    if (c.sequential) {
        html << "<p class=\"verdict\">Stopping: "
             << Escape(SequentialText(*c.sequential, c.sides[0].label, c.sides[1].label))
             << "</p>\n";
    }
    const int sideWidth = ChartWidth(c.sides.size());
    const int pairWidth = ChartWidth(c.pairs.size());
    html << Tables(c) << "<div class=\"row\">\n"
         << ChartFigure("win-rates", "Win rates with their 95 % (Wilson) intervals.", sideWidth,
                        280)
         << ChartFigure("mean-scores", "Mean scores with their 95 % (bootstrap) intervals.",
                        sideWidth, 280)
         << "</div>\n<div class=\"row\">\n"
         << ChartFigure("win-differences",
                        "Differences in win rate on the same seeds, with 95 % intervals: an "
                        "interval across the dashed line does not tell the sides apart.",
                        pairWidth, 280)
         << ChartFigure("score-differences",
                        "Differences in mean score on the same seeds, with 95 % intervals.",
                        pairWidth, 280)
         << "</div>\n"
         << PairChooser(c)
         << ChartFigure("seeds",
                        "Every seed's two scores, the first side of the pair across and the "
                        "second up. Point at a seed for its games.",
                        640, 420)
         << HoverLine() << "<div class=\"row\">\n"
         << maps << "</div>\n"
         << CommonScript() << CompareScript() << PageEnd();
    return WriteWholeFile((base / "index.html").string(), html.str(), error);
}

}  // namespace gulper
