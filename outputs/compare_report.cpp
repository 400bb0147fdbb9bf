// The comparison's report: each side's catch map and each pair's difference map as PNG
// files, and one page with the verdicts, the intervals drawn, every seed's pair of scores to
// point at, and the maps.
#include <filesystem>
#include <sstream>

#include "formats/output_file.h"
#include "outputs/report.h"
#include "outputs/report_html.h"
#include "outputs/report_page.h"
#include "outputs/report_pictures.h"
#include "picture/png_encode.h"

namespace gulper {

namespace fs = std::filesystem;

namespace {

const char* const COMPARE_CHARTS = R"JS(<script>
(function () {
  var d = gulperData;
  // Each estimate as a point over its 95 % interval, drawn as a floating bar.
  function intervals(id, labels, rows, unit, places, zero) {
    var sets = [{type: 'line', label: 'estimate', data: rows.map(function (r) { return r[0]; }),
                 showLine: false, pointStyle: 'rectRot', pointRadius: 7, pointHoverRadius: 9,
                 backgroundColor: '#f0c828', borderColor: '#f0c828'},
                {type: 'bar', label: '95 % interval', data: rows.map(function (r) {
                   return [r[1], r[2]]; }), backgroundColor: 'rgba(80,150,240,0.55)',
                 borderColor: '#5096f0', borderWidth: 1, barPercentage: 0.35}];
    if (zero) sets.push({type: 'line', label: 'no difference', data: labels.map(function () {
      return 0; }), borderColor: '#888', borderDash: [6, 4], pointRadius: 0, borderWidth: 1});
    function f(v) { return v.toFixed(places) + unit; }
    gulperChart(id, {type: 'bar', data: {labels: labels, datasets: sets}, options: {
      plugins: {tooltip: {callbacks: {label: function (item) {
        var r = rows[item.dataIndex];
        return item.dataset.label === 'no difference' ? null :
               f(r[0]) + ', 95 % interval ' + f(r[1]) + ' to ' + f(r[2]); }}}},
      scales: {y: {beginAtZero: !zero}}}});
  }
  var sides = d.sides.map(function (s) { return s.label; });
  intervals('win-rates', sides, d.sides.map(function (s) { return s.win; }), ' %', 1, false);
  intervals('mean-scores', sides, d.sides.map(function (s) { return s.score; }), '', 1, false);
  var pairs = d.pairs.map(function (p) { return p.label; });
  intervals('win-differences', pairs, d.pairs.map(function (p) { return p.win; }), ' points', 1,
            true);
  intervals('score-differences', pairs, d.pairs.map(function (p) { return p.score; }), '', 1,
            true);
  // The first two sides' scores on every seed, coloured by which scored more.
  var a = d.sides[0], b = d.sides[1], groups = [[], [], []];
  d.seeds.forEach(function (s) {
    groups[s[1] > s[4] ? 0 : s[1] < s[4] ? 1 : 2].push({x: s[1], y: s[4], seed: s[0], s: s}); });
  var names = [a.label + ' scored more', b.label + ' scored more', 'the same'];
  var colours = ['#f08c28', '#28c8a0', '#969696'];
  function describe(p) {
    return 'seed ' + p.seed + ': ' + a.label + ' ' + OUTCOMES[p.s[2]] + ', score ' + p.s[1] +
           ', ' + p.s[3] + ' ticks; ' + b.label + ' ' + OUTCOMES[p.s[5]] + ', score ' + p.s[4] +
           ', ' + p.s[6] + ' ticks';
  }
  function commands(p) {
    return ['gulper-watch ' + p.seed + a.watch, 'gulper-watch ' + p.seed + b.watch];
  }
  gulperChart('seeds', {type: 'scatter', data: {datasets: groups.map(function (g, i) {
      return {label: names[i], data: g, backgroundColor: colours[i], pointRadius: 2.5,
              pointHoverRadius: 6}; })},
    options: {
      onHover: function (event, elements, chart) {
        if (!elements.length) return;
        var p = chart.data.datasets[elements[0].datasetIndex].data[elements[0].index];
        gulperShow(describe(p), commands(p));
      },
      plugins: {tooltip: {callbacks: {label: function (item) { return describe(item.raw); },
                                      footer: function (items) {
                                        return commands(items[0].raw).join('\n'); }}}},
      scales: {x: {title: {display: true, text: a.label + "'s score"}, beginAtZero: true},
               y: {title: {display: true, text: b.label + "'s score"}, beginAtZero: true}}}});
})();
</script>
)JS";

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
    std::string out = "{\"sides\": [";
    for (size_t i = 0; i < c.sides.size(); ++i) {
        const SideStats& s = c.sides[i];
        const double rate = s.run.games ? double(s.run.won) / s.run.games : 0;
        out += std::string(i ? ", " : "") + "{\"label\": " + JsonString(s.label) +
               ", \"watch\": " + JsonString(SideWatch(played, played.sides[i])) +
               ", \"win\": " + Triple(rate, s.winRate, 100) +
               ", \"score\": " + Triple(s.run.score.mean, s.meanScore, 1) + "}";
    }
    out += "], \"pairs\": [";
    for (size_t i = 0; i < c.pairs.size(); ++i) {
        const PairStats& p = c.pairs[i];
        out += std::string(i ? ", " : "") +
               "{\"label\": " + JsonString(c.sides[p.a].label + " \u2212 " + c.sides[p.b].label) +
               ", \"win\": " + Triple(p.winDifference, p.winInterval, 100) +
               ", \"score\": " + Triple(p.scoreDifference, p.scoreInterval, 1) + "}";
    }
    out += "], \"seeds\": [";
    const std::vector<GameResult>& a = sides[0].games;
    const std::vector<GameResult>& b = sides[1].games;
    const size_t step = DrawStep(a.size());
    for (size_t i = 0; i < a.size() && i < b.size(); i += step) {
        out += std::string(i ? ", " : "") + "[" + std::to_string(a[i].seed) + ", " +
               std::to_string(a[i].score) + ", " + std::to_string(int(a[i].outcome)) + ", " +
               std::to_string(a[i].ticks) + ", " + std::to_string(b[i].score) + ", " +
               std::to_string(int(b[i].outcome)) + ", " + std::to_string(b[i].ticks) + "]";
    }
    return out + "]}";
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
    html << Tables(c) << "<div class=\"row\">\n"
         << ChartFigure("win-rates", "Win rates with their 95 % (Wilson) intervals.", 420, 280)
         << ChartFigure("mean-scores", "Mean scores with their 95 % (bootstrap) intervals.", 420,
                        280)
         << "</div>\n<div class=\"row\">\n"
         << ChartFigure("win-differences",
                        "Differences in win rate on the same seeds, with 95 % intervals: an "
                        "interval across the dashed line does not tell the sides apart.",
                        420, 280)
         << ChartFigure("score-differences",
                        "Differences in mean score on the same seeds, with 95 % intervals.", 420,
                        280)
         << "</div>\n"
         << ChartFigure("seeds",
                        "Every seed's two scores, " + Escape(c.sides[0].label) + " across and " +
                            Escape(c.sides[1].label) + " up. Point at a seed for its games.",
                        640, 420)
         << HoverLine() << "<div class=\"row\">\n"
         << maps << "</div>\n"
         << CommonScript() << COMPARE_CHARTS << PageEnd();
    return WriteWholeFile((base / "index.html").string(), html.str(), error);
}

}  // namespace gulper
