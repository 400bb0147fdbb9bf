// A run's summary for Python, in the simulator's own words: its JSON read back, and its text.
#include <sstream>

#include "python/src/bindings.h"

namespace gulper {

py::dict SummaryDict(const RunSummary& summary, const std::vector<GameResult>& results) {
    std::ostringstream json;
    WriteJson(json, summary, results);
    py::dict out = py::module_::import("json").attr("loads")(json.str());
    std::ostringstream text;
    PrintSummary(text, summary);
    out["text"] = text.str();
    return out;
}

}  // namespace gulper
