// The reader of a study's parts (what --merge reads) on arbitrary bytes. What it accepts must
// hold to the bounds it promises, and must read back the same when written again.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "formats/json_reader.h"
#include "study/study_read.h"
#include "study/summary.h"

using namespace gulper;

namespace {

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    StudyFile study;
    try {
        ParseStudy(text, &study);
    } catch (const JsonError&) {
        return 0;
    }
    Check(!study.sides.empty() && study.sides.size() == study.pins.size());
    size_t rows = 0;
    for (const Side& side : study.sides) {
        for (const GameResult& r : side.games) {
            Check(r.ticks >= 0 && r.ticks <= study.maxTicks && r.decisions <= r.ticks);
            Check(r.score >= 0 && r.foodLeft >= 0);
            Check(r.answers.count <= r.decisions);
            ++rows;
        }
    }
    // Every row takes bytes of the file: what was read is bounded by what was given.
    Check(rows * 40 <= size);
    if (study.comparison) {
        return 0;
    }
    // A single run written again is read back to the same games.
    RunSummary s = Summarise(study.sides.front().games);
    s.agent = study.agent;
    s.configPath = study.configPath;
    s.settingsText = study.settingsText;
    s.firstSeed = study.firstSeed;
    s.maxTicks = study.maxTicks;
    s.shard = study.shard;
    s.name = study.pins.front().agentName;
    std::ostringstream again;
    WriteJson(again, s, study.sides.front().games);
    StudyFile back;
    ParseStudy(again.str(), &back);  // throws, and so fails, when it cannot be read
    Check(back.sides.front().games.size() == study.sides.front().games.size());
    for (size_t i = 0; i < back.sides.front().games.size(); ++i) {
        Check(JsonGameRow(back.sides.front().games[i]) ==
              JsonGameRow(study.sides.front().games[i]));
    }
    return 0;
}
