// The report's HTML page for one run.
#include "outputs/report_page.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "outputs/report_html.h"
#include "outputs/report_pictures.h"
#include "study/exec_stats.h"

namespace gulper {

namespace {

std::string SpreadRow(const char* name, const Spread& s) {
    return std::string("<tr><th>") + name + "</th><td>" + Fixed(s.min, 0) + "</td><td>" +
           Fixed(s.q1, 1) + "</td><td>" + Fixed(s.median, 1) + "</td><td>" + Fixed(s.q3, 1) +
           "</td><td>" + Fixed(s.max, 0) + "</td><td>" + Fixed(s.mean, 1) + "</td><td>" +
           Fixed(s.sd, 1) + "</td></tr>\n";
}

std::string CountsText(const std::map<std::string, int64_t>& counts) {
    std::string text;
    for (const auto& [name, n] : counts) {
        text += (text.empty() ? "" : ", ") + Escape(name) + " " + std::to_string(n);
    }
    return text.empty() ? "none" : text;
}

// The histogram's bands and the games by seed, drawn by the charting library.
const char* const RUN_CHARTS = R"JS(<script>
(function () {
  var d = gulperData, bins = d.bins, width = (bins.hi - bins.lo) / bins.counts.length;
  var labels = bins.counts.map(function (n, i) {
    return Math.round(bins.lo + i * width) + '\u2013' + Math.round(bins.lo + (i + 1) * width);
  });
  gulperChart('scores', {type: 'bar', data: {labels: labels, datasets: [{label: 'games',
      data: bins.counts, backgroundColor: '#f0c828', barPercentage: 1, categoryPercentage: 0.9}]},
    options: {plugins: {legend: {display: false}, tooltip: {callbacks: {
        title: function (items) { return 'score ' + items[0].label; },
        label: function (item) { return item.raw + ' games'; }}}},
      // Level names, as many as fit: tilted ones ran off the chart.
      scales: {x: {title: {display: true, text: 'score'}, ticks: {maxRotation: 0}},
               y: {title: {display: true, text: 'games'}, beginAtZero: true}}}});
  var sets = OUTCOMES.map(function (name, o) {
    return {label: name, backgroundColor: OUTCOME_COLOURS[o], borderColor: OUTCOME_COLOURS[o],
            pointRadius: 2.5, pointHoverRadius: 6,
            data: d.games.filter(function (g) { return g[1] === o; }).map(function (g) {
              return {x: g[0], y: g[3], score: g[2], outcome: name}; })};
  });
  function describe(p) {
    return 'seed ' + p.x + ': ' + p.outcome + ', score ' + p.score + ', ' + p.y + ' ticks';
  }
  function command(p) { return 'gulper-watch ' + p.x + d.watch; }
  gulperChart('ticks', {type: 'scatter', data: {datasets: sets}, options: {
    onHover: function (event, elements, chart) {
      if (!elements.length) return;
      var p = chart.data.datasets[elements[0].datasetIndex].data[elements[0].index];
      gulperShow(describe(p), command(p));
    },
    plugins: {tooltip: {callbacks: {
        label: function (item) { return describe(item.raw); },
        footer: function (items) { return command(items[0].raw); }}}},
    scales: {x: {title: {display: true, text: 'seed'}, ticks: {precision: 0}},
             y: {title: {display: true, text: 'ticks'}, beginAtZero: true}}}});
})();
</script>
)JS";

}  // namespace

size_t DrawStep(size_t games) {
    return std::max<size_t>(1, (games + MAX_GAMES_DRAWN - 1) / MAX_GAMES_DRAWN);
}

namespace {

// An exec agent's forfeits, answer times and faults; nothing for a built-in agent.
std::string ExecRows(const RunSummary& s) {
    if (!s.exec) {
        return "";
    }
    std::string faults;
    for (size_t k = 0; k < std::size(FAULT_KINDS); ++k) {
        const auto it = s.faults.find(FAULT_KINDS[k]);
        const int64_t count = it == s.faults.end() ? 0 : it->second;
        if (FaultKindShown(k, count)) {
            faults += (faults.empty() ? "" : ", ") + std::string(FAULT_KINDS[k]) + " " +
                      std::to_string(count);
        }
    }
    return "<tr><th>forfeit</th><td>" + std::to_string(s.forfeit) +
           "</td></tr>\n<tr><th>answer time</th><td>median " + TimeText(s.answers.medianUs) +
           ", p99 " + TimeText(s.answers.p99Us) + ", max " + TimeText(s.answers.maxUs) + " (" +
           std::to_string(s.answers.count) + " answers)</td></tr>\n<tr><th>faults</th><td>" +
           faults + "; late answers dropped " + std::to_string(s.lateAnswers) + "</td></tr>\n";
}

}  // namespace

std::string GamesJson(const std::vector<GameResult>& results, size_t step) {
    std::string out = "[";
    for (size_t i = 0; i < results.size(); i += step) {
        const GameResult& r = results[i];
        // A forfeited game is drawn as one that did not finish.
        const GameOutcome drawn =
            r.outcome == GameOutcome::FORFEIT ? GameOutcome::UNFINISHED : r.outcome;
        out += (i ? ",[" : "[") + std::to_string(r.seed) + "," +
               std::to_string(static_cast<int>(drawn)) + "," + std::to_string(r.score) + "," +
               std::to_string(r.ticks) + "]";
    }
    return out + "]";
}

std::string Page(const RunSummary& s, const std::vector<GameResult>& results,
                 const std::string& caughtPng, const std::string& chartLibrary) {
    std::ostringstream html;
    const std::string title = "gulper-sim report: " + ShownAgent(s.agent, s) + ", " +
                              std::to_string(s.games) + " games from seed " +
                              std::to_string(s.firstSeed);
    const std::vector<int64_t> bins = ScoreBins(results, s.score.min, ScoreBinsTop(s));
    std::string counts;
    for (int64_t n : bins) {
        counts += (counts.empty() ? "" : ",") + std::to_string(n);
    }
    const size_t step = DrawStep(results.size());
    html << PageHead(title, chartLibrary)
         << PageData("{\"watch\": " + JsonString(WatchOptions(s.agent, s.configPath, s.maxTicks)) +
                     ", \"bins\": {\"lo\": " + JsonNumber(s.score.min) +
                     ", \"hi\": " + JsonNumber(ScoreBinsTop(s)) + ", \"counts\": [" + counts +
                     "]}, \"games\": " + GamesJson(results, step) + "}")
         << "<p>Settings " << Escape(s.configPath) << ", at most " << s.maxTicks
         << " ticks a game.</p>\n<div class=\"row\">\n<div>\n<table>\n"
         << "<tr><th>games</th><td>" << s.games << "</td></tr>\n"
         << "<tr><th>won</th><td>" << s.won << " ("
         << Fixed(100.0 * s.won / std::max<int64_t>(1, s.games), 1)
         << "%)</td></tr>\n<tr><th>lost</th><td>" << s.lost << "</td></tr>\n"
         << "<tr><th>unfinished</th><td>" << s.unfinished << "</td></tr>\n"
         << "<tr><th>decisions</th><td>" << s.decisions << "</td></tr>\n"
         << "<tr><th>caught by</th><td>" << CountsText(s.caughtBy) << "</td></tr>\n"
         << "<tr><th>caught while</th><td>" << CountsText(s.caughtWhile) << "</td></tr>\n"
         << ExecRows(s)
         << "</table>\n<table>\n<tr><th></th><th>min</th><th>q1</th><th>median</th><th>q3</th>"
            "<th>max</th><th>mean</th><th>sd</th></tr>\n"
         << SpreadRow("score", s.score) << SpreadRow("ticks", s.ticks) << "</table>\n</div>\n"
         << PictureFigure("caught", "where the Gulper was caught", caughtPng,
                          "Where the Gulper was caught: the maze's walls in blue, each cell by "
                          "how many games ended on it (caught.png).")
         << "</div>\n<div class=\"row\">\n"
         << ChartFigure("scores",
                        "Scores: games per score band, from the lowest score to the "
                        "highest (also scores.png).",
                        520, 300)
         << ChartFigure(
                "ticks",
                "Ticks to the end of each game, by seed: <span class=\"won\">won</span>, "
                "<span class=\"lost\">lost</span>, <span class=\"unfinished\">"
                "unfinished</span>" +
                    std::string(step > 1 ? "; every " + std::to_string(step) + "th game is drawn"
                                         : "") +
                    ". Point at a game for its seed (also ticks.png).",
                640, 300)
         << "</div>\n"
         << HoverLine() << CommonScript() << RUN_CHARTS << PageEnd();
    return html.str();
}

}  // namespace gulper
