#include "tools/sim/report.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/maze.h"

namespace fs = std::filesystem;

namespace {

struct Colour {
    uint8_t r, g, b;
};

const Colour BACKGROUND{16, 16, 24};
const Colour AXIS{160, 160, 170};
const Colour TEXT{230, 230, 230};
const Colour WON{80, 200, 90};
const Colour LOST{230, 70, 60};
const Colour UNFINISHED{150, 150, 150};
const Colour BAR{240, 200, 40};
const Colour WALL{30, 40, 210};
const Colour DOOR{255, 190, 190};

// A 3 x 5 pixel font for the axis figures: digits, and a few signs.
const char* Glyph(char c) {
    switch (c) {
        case '0':
            return "111101101101111";
        case '1':
            return "010110010010111";
        case '2':
            return "111001111100111";
        case '3':
            return "111001111001111";
        case '4':
            return "101101111001001";
        case '5':
            return "111100111001111";
        case '6':
            return "111100111101111";
        case '7':
            return "111001010010010";
        case '8':
            return "111101111101111";
        case '9':
            return "111101111001111";
        case '.':
            return "000000000000010";
        case '-':
            return "000000111000000";
        default:
            return "000000000000000";
    }
}

// An RGB picture, top row first, as PNG stores it.
class Canvas {
  public:
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 3) {
        Fill(0, 0, w, h, BACKGROUND);
    }
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return;
        }
        uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
    void Fill(int x, int y, int w, int h, Colour c) {
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                Set(i, j, c);
            }
        }
    }
    // Text of the 3 x 5 font at `scale`, its top-left corner at (x, y).
    void Text(int x, int y, const std::string& text, int scale, Colour c) {
        for (char ch : text) {
            const char* g = Glyph(ch);
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (g[row * 3 + col] == '1') {
                        Fill(x + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
            x += 4 * scale;
        }
    }
    static int TextWidth(const std::string& text, int scale) {
        return static_cast<int>(text.size()) * 4 * scale - scale;
    }

    bool WritePng(const std::string& path, std::string* error) const {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            *error = "cannot write " + path;
            return false;
        }
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
        bool ok = false;
        if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
            png_init_io(png, file);
            png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                         PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_write_info(png, info);
            for (int y = 0; y < height; ++y) {
                png_write_row(png, &pixels[static_cast<size_t>(y) * width * 3]);
            }
            png_write_end(png, nullptr);
            ok = true;
        }
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        ok = (std::fclose(file) == 0) && ok;
        if (!ok) {
            *error = "writing " + path + " failed";
        }
        return ok;
    }

    int width;
    int height;
    std::vector<uint8_t> pixels;
};

std::string Figure(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", v);
    return text;
}

constexpr int PLOT_W = 500;
constexpr int PLOT_H = 260;
constexpr int LEFT = 56;
constexpr int TOP = 16;
constexpr int BOTTOM = 30;

// Frame and figures shared by both charts: x from xLo to xHi, y from 0 to yHi.
Canvas Chart(double xLo, double xHi, double yHi) {
    Canvas c(LEFT + PLOT_W + 20, TOP + PLOT_H + BOTTOM);
    c.Fill(LEFT - 1, TOP, 1, PLOT_H + 1, AXIS);
    c.Fill(LEFT - 1, TOP + PLOT_H, PLOT_W + 1, 1, AXIS);
    for (int i = 0; i <= 4; ++i) {
        const std::string y = Figure(yHi * i / 4);
        const int py = TOP + PLOT_H - PLOT_H * i / 4;
        c.Fill(LEFT - 5, py, 4, 1, AXIS);
        c.Text(LEFT - 8 - Canvas::TextWidth(y, 2), py - 5, y, 2, TEXT);
        const std::string x = Figure(xLo + (xHi - xLo) * i / 4);
        const int px = LEFT + PLOT_W * i / 4;
        c.Fill(px, TOP + PLOT_H + 1, 1, 4, AXIS);
        c.Text(std::min(px - Canvas::TextWidth(x, 2) / 2, c.width - Canvas::TextWidth(x, 2) - 2),
               TOP + PLOT_H + 10, x, 2, TEXT);
    }
    return c;
}

constexpr int SCORE_BINS = 30;

// Scores in equal bins from the lowest to the highest; every game falls in one.
std::vector<int64_t> ScoreBins(const std::vector<GameResult>& results, double lo, double hi) {
    std::vector<int64_t> bins(SCORE_BINS, 0);
    for (const GameResult& r : results) {
        const double at = hi > lo ? (r.score - lo) / (hi - lo) * SCORE_BINS : 0;
        ++bins[std::clamp(static_cast<int>(at), 0, SCORE_BINS - 1)];
    }
    return bins;
}

Canvas ScoreHistogram(const std::vector<GameResult>& results, const RunSummary& s) {
    const double lo = s.score.min;
    const double hi = std::max(s.score.max, lo + 1);
    const std::vector<int64_t> bins = ScoreBins(results, lo, hi);
    const int64_t most = std::max<int64_t>(1, *std::max_element(bins.begin(), bins.end()));
    Canvas c = Chart(lo, hi, static_cast<double>(most));
    const int barW = PLOT_W / SCORE_BINS;
    for (int i = 0; i < SCORE_BINS; ++i) {
        const int h = static_cast<int>(std::lround(static_cast<double>(PLOT_H) * bins[i] / most));
        c.Fill(LEFT + i * barW + 1, TOP + PLOT_H - h, barW - 2, h, BAR);
    }
    return c;
}

Canvas TicksChart(const std::vector<GameResult>& results, const RunSummary& s) {
    const double most = std::max(1.0, s.ticks.max);
    const double n = static_cast<double>(results.size());
    Canvas c = Chart(results.empty() ? 0 : results.front().seed,
                     results.empty() ? 0 : results.back().seed, most);
    for (size_t i = 0; i < results.size(); ++i) {
        const GameResult& r = results[i];
        const int x = LEFT + static_cast<int>(n > 1 ? (PLOT_W - 1) * i / (n - 1) : PLOT_W / 2);
        const int y = TOP + PLOT_H - static_cast<int>(std::lround(PLOT_H * r.ticks / most));
        const Colour colour = r.outcome == GameOutcome::WON    ? WON
                              : r.outcome == GameOutcome::LOST ? LOST
                                                               : UNFINISHED;
        c.Fill(x - 1, y - 1, 3, 3, colour);
    }
    return c;
}

// Counts of catches per cell, column by column as the game counts cells.
std::vector<int64_t> CatchCounts(const std::vector<GameResult>& results) {
    std::vector<int64_t> counts(BOARD_CELLS, 0);
    for (const GameResult& r : results) {
        if (r.outcome == GameOutcome::LOST && r.caughtAt.x >= 0 && r.caughtAt.x < BOARD_COLUMNS &&
            r.caughtAt.y >= 0 && r.caughtAt.y < BOARD_ROWS) {
            ++counts[static_cast<size_t>(r.caughtAt.x * BOARD_ROWS + r.caughtAt.y)];
        }
    }
    return counts;
}

// From dark red through orange to pale yellow as t goes from 0 to 1.
Colour Heat(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {static_cast<uint8_t>(120 + 135 * std::min(1.0, t * 2)),
            static_cast<uint8_t>(20 + 220 * t),
            static_cast<uint8_t>(20 + 120 * std::max(0.0, t * 2 - 1))};
}

// The maze at 1 pixel per game pixel, from the game's own wall layout, with every cell the
// Gulper was caught on coloured by how often, and the count written in it.
Canvas CatchMap(const std::vector<GameResult>& results) {
    Canvas c(BOARD_COLUMNS * CELL_SIZE, BOARD_ROWS * CELL_SIZE);
    const std::vector<int64_t> counts = CatchCounts(results);
    const int64_t most = std::max<int64_t>(1, *std::max_element(counts.begin(), counts.end()));
    for (int col = 0; col < BOARD_COLUMNS; ++col) {
        for (int row = 0; row < BOARD_ROWS; ++row) {
            const int x = col * CELL_SIZE;
            const int y = (BOARD_ROWS - 1 - row) * CELL_SIZE;
            const int32_t code = INITIAL_MAZE[GridIndex(col, row)];
            const int64_t n = counts[static_cast<size_t>(col * BOARD_ROWS + row)];
            if (code == CELL_WALL) {
                c.Fill(x + 2, y + 2, CELL_SIZE - 4, CELL_SIZE - 4, WALL);
            } else if (code == CELL_DOOR) {
                c.Fill(x, y + 8, CELL_SIZE, 4, DOOR);
            } else if (n > 0) {
                c.Fill(x + 1, y + 1, CELL_SIZE - 2, CELL_SIZE - 2,
                       Heat(std::sqrt(static_cast<double>(n) / most)));
                const std::string figure = std::to_string(n);
                c.Text(x + (CELL_SIZE - Canvas::TextWidth(figure, 1)) / 2, y + 7, figure, 1,
                       Colour{0, 0, 0});
            }
        }
    }
    return c;
}

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

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

bool PrepareReportDir(const std::string& dir, std::string* error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        *error = "cannot make the report folder " + dir;
        return false;
    }
    return true;
}

bool WriteReport(const std::string& dir, const RunSummary& summary,
                 const std::vector<GameResult>& results, std::string* error) {
    const fs::path base(dir);
    const std::string scores = (base / "scores.png").string();
    const std::string ticks = (base / "ticks.png").string();
    const std::string caught = (base / "caught.png").string();
    if (!ScoreHistogram(results, summary).WritePng(scores, error) ||
        !TicksChart(results, summary).WritePng(ticks, error) ||
        !CatchMap(results).WritePng(caught, error)) {
        return false;
    }
    const std::string page = (base / "index.html").string();
    std::ofstream out(page, std::ios::binary);
    out << Page(summary, ReadBytes(scores), ReadBytes(ticks), ReadBytes(caught));
    if (!out.flush()) {
        *error = "cannot write " + page;
        return false;
    }
    return true;
}
