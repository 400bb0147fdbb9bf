// What the report's pages share: escaping, the page's head with its no-network policy and
// style, the charting library inlined, the data a page's charts are drawn from, and the
// script that checks on loading that every chart was drawn and every picture shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gulper {

// Where Debian's libjs-chart.js puts the library (a build can name another).
#ifndef GULPER_CHARTJS_PATH
#define GULPER_CHARTJS_PATH "/usr/share/javascript/chart.js/chart.min.js"
#endif

// The charting library's script, read once (at most 4 MB) and checked to be Chart.js 3 or
// later. False, with the reason and the package to install, when it cannot be read.
bool ChartLibrary(std::string* script, std::string* error);

std::string Escape(const std::string& text);
std::string Base64(const std::string& bytes);
std::string Fixed(double v, int places);

// From <!DOCTYPE> to the opening <body>, with the title and the library inlined.
std::string PageHead(const std::string& title, const std::string& chartLibrary);
// The page's data as JSON in a script element that nothing runs, safe against "</script>".
std::string PageData(const std::string& json);
// A chart's canvas, with its caption below it.
std::string ChartFigure(const std::string& id, const std::string& caption, int width, int height);
// An embedded PNG picture, with its caption.
std::string PictureFigure(const std::string& id, const std::string& alt, const std::string& png,
                          const std::string& caption);
// The line that hovering a game fills in, with its command to watch it.
std::string HoverLine();
// The script every page runs first: chart colours, the hover line, gulperCharts (the charts
// the page made) and, on loading, the check written into <p id="checks">. A page opened with
// #hover moves the pointer over its first game, to show the hover without a mouse.
std::string CommonScript();
// The options after the seed in "gulper-watch SEED ..." that play a game as the run did.
std::string WatchOptions(const std::string& agent, const std::string& configPath, int64_t maxTicks);
// Names short enough for a chart's axis, one a label: a label of at most SHORT_NAME_CHARS
// characters as it is; a longer one cut there with an ellipsis, an exec agent's shown by its
// program's file name rather than its interpreter. Names that would come out the same are told
// apart by their numbers ("2. ...") from 1.
constexpr size_t SHORT_NAME_CHARS = 24;
std::vector<std::string> ShortNames(const std::vector<std::string>& labels);
// The closing of the page.
std::string PageEnd();

}  // namespace gulper
