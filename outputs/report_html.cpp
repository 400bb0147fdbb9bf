// The report pages' shared parts.
#include "outputs/report_html.h"

#include <cstdio>
#include <filesystem>
#include <set>

#include "episode/levels.h"
#include "episode/result.h"
#include "formats/json_writer.h"
#include "framework/data_file.h"
#include "game/settings.h"
#include "players/registry.h"
#include "protocol/exec_player.h"

namespace gulper {

namespace {
constexpr size_t MAX_LIBRARY = 4 << 20;
}  // namespace

bool ChartLibrary(std::string* script, std::string* error) {
    static std::string cached;
    if (cached.empty()) {
        std::string text, why;
        if (!ReadDataFile(GULPER_CHARTJS_PATH, MAX_LIBRARY, &text, &why)) {
            *error = std::string("the report's charts need Chart.js, and ") + GULPER_CHARTJS_PATH +
                     " " + why + " (install the Debian package libjs-chart.js)";
            return false;
        }
        if (text.find("Chart.js v") == std::string::npos ||
            text.find("</script") != std::string::npos) {
            *error = std::string(GULPER_CHARTJS_PATH) + " is not the Chart.js library";
            return false;
        }
        cached = std::move(text);
    }
    *script = cached;
    return true;
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
    // The page is UTF-8: a byte that is not part of a valid sequence shows as U+FFFD.
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = Utf8Length(text, i);
            out += n > 0 ? text.substr(i, n) : "&#xfffd;";
            i += n > 0 ? n : 1;
            continue;
        }
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
                out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

std::string Fixed(double v, int places) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

std::string PageHead(const std::string& title, const std::string& chartLibrary) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           // Everything is on the page: nothing may be fetched.
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
           "<title>" +
           Escape(title) +
           "</title>\n<style>\n"
           "body{font-family:sans-serif;background:#101018;color:#e6e6e6;margin:24px}\n"
           "table{border-collapse:collapse;margin:8px 0 20px}\n"
           "td,th{border:1px solid #444;padding:3px 10px;text-align:right}\n"
           // A long name (an exec agent's command) wraps rather than widening its table.
           "th{text-align:left;max-width:32em;overflow-wrap:break-word}\n"
           ".row{display:flex;flex-wrap:wrap;gap:0 32px;align-items:flex-start}\n"
           // A caption as wide as its picture or chart.
           "figure{margin:0 0 24px;display:table}\n"
           "figcaption{display:table-caption;caption-side:bottom;color:#bbb;max-width:640px}\n"
           "code{background:#24243a;padding:1px 5px;user-select:all}\n"
           "#hovered{min-height:1.4em}\n.verdict{max-width:900px}\n"
           ".won{color:#50c85a}.lost{color:#e6463c}.unfinished{color:#969696}\n</style>\n"
           "<script>\n" +
           chartLibrary + "\n</script>\n</head>\n<body>\n<h1>" + Escape(title) + "</h1>\n";
}

std::string PageData(const std::string& json) {
    // Every '<' (only ever inside a JSON string) as \u003c: no "</script", "<!--" or
    // "<script" in the data can end the block or change how the page reads it.
    std::string safe;
    for (const char c : json) {
        safe += c == '<' ? std::string("\\u003c") : std::string(1, c);
    }
    return "<script type=\"application/json\" id=\"report-data\">" + safe + "</script>\n";
}

std::string ChartFigure(const std::string& id, const std::string& caption, int width, int height) {
    return "<figure><div style=\"width:" + std::to_string(width) +
           "px;height:" + std::to_string(height) + "px\"><canvas id=\"" + id +
           "\"></canvas></div><figcaption>" + caption + "</figcaption></figure>\n";
}

std::string PictureFigure(const std::string& id, const std::string& alt, const std::string& png,
                          const std::string& caption) {
    return "<figure><img id=\"" + id + "\" alt=\"" + Escape(alt) +
           "\" src=\"data:image/png;base64," + Base64(png) + "\"><figcaption>" + caption +
           "</figcaption></figure>\n";
}

std::string HoverLine() {
    return "<p id=\"hovered\">Point at a game to see it; its command to watch it comes "
           "here.</p>\n";
}

std::string CommonScript() {
    return R"JS(<script>
var gulperData = JSON.parse(document.getElementById('report-data').textContent);
var gulperCharts = [];
Chart.defaults.color = '#d8d8d8';
Chart.defaults.borderColor = '#3a3a48';
Chart.defaults.animation = false;
Chart.defaults.maintainAspectRatio = false;
var OUTCOMES = ['won', 'lost', 'unfinished'];
var OUTCOME_COLOURS = ['#50c85a', '#e6463c', '#969696'];
// The hover line: what the game was and the commands that show it.
function gulperShow(text, commands) {
  var line = document.getElementById('hovered');
  line.textContent = text + ': watch it with ';
  [].concat(commands).forEach(function (command, i) {
    if (i) line.appendChild(document.createTextNode(' or '));
    var code = document.createElement('code');
    code.textContent = command;
    line.appendChild(code);
  });
}
function gulperChart(id, config) {
  var chart = new Chart(document.getElementById(id), config);
  gulperCharts.push(chart);
  return chart;
}
// Whether anything was drawn on a chart's canvas.
function gulperDrawn(chart) {
  var c = chart.canvas, pixels = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  for (var i = 3; i < pixels.length; i += 4) if (pixels[i] !== 0) return true;
  return false;
}
window.addEventListener('load', function () {
  var drawn = 0, shown = 0, all = document.images;
  gulperCharts.forEach(function (chart) { if (gulperDrawn(chart)) ++drawn; });
  for (var i = 0; i < all.length; ++i) if (all[i].complete && all[i].naturalWidth > 0) ++shown;
  document.getElementById('checks').textContent = drawn + ' of ' + gulperCharts.length +
      ' charts drawn, ' + shown + ' of ' + all.length + ' pictures shown';
  if (drawn !== gulperCharts.length || shown !== all.length) console.error('report incomplete');
  // Names along an axis are laid level; tilted, they would not fit side by side.
  gulperCharts.forEach(function (chart) {
    var x = chart.scales.x;
    if (x && x.type === 'category' && x.labelRotation > 0) {
      console.error('the names under chart ' + chart.canvas.id + ' do not fit');
    }
  });
  var first = gulperCharts.filter(function (c) { return c.config.type === 'scatter'; })[0];
  if (/^#hover\b/.test(location.hash) && first) {
    // The first point drawn, of whichever group has one.
    var point = first.data.datasets.map(function (set, i) {
      return first.getDatasetMeta(i).data[0]; }).filter(Boolean)[0];
    var box = first.canvas.getBoundingClientRect();
    if (point) first.canvas.dispatchEvent(new MouseEvent('mousemove',
        {clientX: box.left + point.x, clientY: box.top + point.y, bubbles: true}));
  }
});
</script>
)JS";
}

std::string PageEnd() {
    // Says on the page whether every chart and picture came out; a headless browser reads it.
    return "<p id=\"checks\">charts not checked</p>\n</body>\n</html>\n";
}

namespace {
// A word as the shell reads it back unchanged.
std::string ShellWord(const std::string& word) {
    if (!word.empty() &&
        word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "0123456789_-./:=+,") == std::string::npos) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}
}  // namespace

std::string WatchOptions(const std::string& agent, const std::string& configPath,
                         int64_t maxTicks) {
    std::string options;
    if (const Level* level = LevelOfFile(configPath)) {
        options += std::string(" --level ") + level->name;
    } else if (configPath != SETTINGS_FILE) {
        // Absolute, so that the command works wherever it is pasted.
        std::error_code failed;
        const std::filesystem::path whole = std::filesystem::absolute(configPath, failed);
        options +=
            " --config " + ShellWord(failed ? configPath : whole.lexically_normal().string());
    }
    if (agent != DEFAULT_AGENT) {
        options += " --agent " + ShellWord(agent);
    }
    if (maxTicks != DEFAULT_MAX_TICKS) {
        options += " --max-ticks " + std::to_string(maxTicks);
    }
    return options;
}

namespace {

// Characters of UTF-8 text, a byte that starts no valid sequence counted as one.
size_t CharsIn(const std::string& text, size_t* cutAt = nullptr, size_t keep = 0) {
    size_t chars = 0, i = 0;
    while (i < text.size()) {
        if (cutAt && chars == keep) {
            *cutAt = i;
        }
        const size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : Utf8Length(text, i);
        i += n > 0 ? n : 1;
        ++chars;
    }
    return chars;
}

std::string Shortened(const std::string& label) {
    std::string name = label;
    if (CharsIn(name) > SHORT_NAME_CHARS && IsExecName(name)) {
        // "exec:python3 /path/to/agent.py --fast" says most as "exec:agent.py --fast".
        const std::string command = name.substr(std::string(EXEC_PREFIX).size());
        size_t start = 0;
        while (start < command.size()) {
            const size_t end = std::min(command.find(' ', start), command.size());
            const std::string word = command.substr(start, end - start);
            const size_t slash = word.rfind('/');
            if (slash != std::string::npos && slash + 1 < word.size()) {
                name = EXEC_PREFIX + word.substr(slash + 1) + command.substr(end);
                break;
            }
            start = end + 1;
        }
    }
    size_t cut = name.size();
    if (CharsIn(name, &cut, SHORT_NAME_CHARS - 1) > SHORT_NAME_CHARS) {
        name = name.substr(0, cut) + "\u2026";
    }
    return name;
}

}  // namespace

std::vector<std::string> ShortNames(const std::vector<std::string>& labels) {
    std::vector<std::string> names;
    std::set<std::string> seen, twice;
    for (const std::string& label : labels) {
        names.push_back(Shortened(label));
        if (!seen.insert(names.back()).second) {
            twice.insert(names.back());
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (twice.count(names[i])) {
            names[i] = std::to_string(i + 1) + ". " + names[i];
        }
    }
    return names;
}

}  // namespace gulper
