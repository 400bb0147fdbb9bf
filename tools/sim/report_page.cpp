// The report's HTML page.
#include "tools/sim/report_page.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

std::string Base64(const std::string& bytes) {
    static const char* const digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v =
            (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
        out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], digits[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const uint32_t v = uint8_t(bytes[i]) << 16;
        out += {digits[v >> 18], digits[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const uint32_t v = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8);
        out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], '='};
    }
    return out;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Fixed(double v, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

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

}  // namespace

std::string Page(const RunSummary& s, const std::string& scoresPng, const std::string& ticksPng,
                 const std::string& caughtPng) {
    std::ostringstream html;
    const std::string title = "gulper-sim report: " + s.agent + ", " + std::to_string(s.games) +
                              " games from seed " + std::to_string(s.firstSeed);
    html
        << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        // Everything is on the page: nothing may be fetched.
        << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
        << "<title>" << Escape(title) << "</title>\n<style>\n"
        << "body{font-family:sans-serif;background:#101018;color:#e6e6e6;margin:24px}\n"
        << "table{border-collapse:collapse;margin:8px 0 20px}\n"
        << "td,th{border:1px solid #444;padding:3px 10px;text-align:right}\n"
        << "th{text-align:left}\n.row{display:flex;flex-wrap:wrap;gap:0 32px;"
           "align-items:flex-start}\n"
        // A caption as wide as its picture.
        << "figure{margin:0 0 24px;display:table}\n"
        << "figcaption{display:table-caption;caption-side:bottom;color:#bbb}\n"
        << ".won{color:#50c85a}.lost{color:#e6463c}.unfinished{color:#969696}\n</style>\n"
        << "</head>\n<body>\n<h1>" << Escape(title) << "</h1>\n"
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
        << "</table>\n<table>\n<tr><th></th><th>min</th><th>q1</th><th>median</th><th>q3</th>"
           "<th>max</th><th>mean</th><th>sd</th></tr>\n"
        << SpreadRow("score", s.score) << SpreadRow("ticks", s.ticks) << "</table>\n</div>\n"
        << "<figure><img id=\"caught\" alt=\"where the Gulper was caught\" "
           "src=\"data:image/png;base64,"
        << Base64(caughtPng)
        << "\"><figcaption>Where the Gulper was caught: the maze's walls in "
           "blue, each cell by how many games ended on it (caught.png).</figcaption></figure>\n"
        << "</div>\n<div class=\"row\">\n"
        << "<figure><img id=\"scores\" alt=\"histogram of the scores\" src=\"data:image/png;base64,"
        << Base64(scoresPng)
        << "\"><figcaption>Scores: games per score band, from the lowest "
           "score to the highest (scores.png).</figcaption></figure>\n"
        << "<figure><img id=\"ticks\" alt=\"ticks each game lasted\" src=\"data:image/png;base64,"
        << Base64(ticksPng)
        << "\"><figcaption>Ticks to the end of each game, by seed: "
           "<span class=\"won\">won</span>, <span class=\"lost\">lost</span>, "
           "<span class=\"unfinished\">unfinished</span> (ticks.png).</figcaption></figure>\n"
        << "</div>\n"
        // Says on the page whether every picture decoded; a headless browser can read it.
        << "<p id=\"pictures\">pictures not checked</p>\n<script>\n"
        << "window.addEventListener('load', function () {\n"
        << "  var all = document.images, ok = 0;\n"
        << "  for (var i = 0; i < all.length; ++i) if (all[i].complete && all[i].naturalWidth > 0) "
           "++ok;\n"
        << "  document.getElementById('pictures').textContent = ok + ' of ' + all.length + ' "
           "pictures shown';\n"
        << "  if (ok !== all.length) console.error('pictures missing');\n"
        << "});\n</script>\n</body>\n</html>\n";
    return html.str();
}
