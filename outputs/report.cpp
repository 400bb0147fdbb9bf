// The report folder: its pictures written as PNG files, the catch map embedded in the page
// too, whose charts the browser draws.
#include "outputs/report.h"

#include <filesystem>

#include "formats/output_file.h"
#include "outputs/report_html.h"
#include "outputs/report_page.h"
#include "outputs/report_pictures.h"
#include "picture/png_encode.h"

namespace gulper {

namespace fs = std::filesystem;

namespace {

// Encodes the picture into `bytes` and writes them to dir/name.
bool WritePicture(const fs::path& dir, const char* name, const Canvas& picture, std::string* bytes,
                  std::string* error) {
    const std::string path = (dir / name).string();
    if (!EncodePng(picture, bytes)) {
        *error = "writing " + path + " failed";
        return false;
    }
    return WriteWholeFile(path, *bytes, error);
}

}  // namespace

bool PrepareReportDir(const std::string& dir, std::string* error) {
    std::string library;
    if (!ChartLibrary(&library, error)) {
        return false;
    }
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
    std::string library, scores, ticks, caught;
    if (!ChartLibrary(&library, error) ||
        !WritePicture(base, "scores.png", ScoreHistogram(results, summary), &scores, error) ||
        !WritePicture(base, "ticks.png", TicksChart(results, summary), &ticks, error) ||
        !WritePicture(base, "caught.png", CatchMap(results), &caught, error)) {
        return false;
    }
    return WriteWholeFile((base / "index.html").string(), Page(summary, results, caught, library),
                          error);
}

}  // namespace gulper
