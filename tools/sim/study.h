// Studies beyond one run of one agent: comparisons on paired seeds (--compare,
// --compare-config), the stopping rule (--until-decided), worker processes (--jobs), shards
// (--shard) and joining them (--merge). gulper-sim reads these options here and hands such
// runs over to RunStudy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/output_file.h"
#include "study/compare.h"
#include "study/jobs.h"
#include "study/shard_part.h"
#include "tools/options.h"

namespace gulper {

struct StudyOptions {
    int jobs = 0;  // 0: the machine's cores
    ShardPart shard;
    CompareBy by = CompareBy::AGENTS;
    // The compared agents or settings files, as named; empty for a single run.
    std::vector<std::string> sides;
    // The compared settings files' bytes, read once, in the order named.
    std::vector<std::string> sideConfigs;
    bool untilDecided = false;
    bool merging = false;
    std::vector<std::string> mergeFiles;
};

// The usage lines of these options.
extern const char* const STUDY_USAGE;

// Reads the current argument if it is one of these options (or a file after --merge); false
// when it is none of them.
bool StudyOption(OptionReader& in, StudyOptions& o);

// The outputs and seeds gulper-sim was asked for.
struct StudyRun {
    GameOptions game;
    int64_t games = 0;
    uint32_t firstSeed = 0;
    std::string logPath;
    std::string csvPath;
    std::string jsonPath;
    std::string reportDir;
    // --record DIR: each side's games in SideRecordDir(DIR, side, name).
    std::string recordDir;
};

// Checks that the options go together; fails with usage otherwise. `gamesGiven` says whether
// --games was on the command line (with --until-decided it is the game limit).
void CheckStudyOptions(const OptionReader& in, StudyOptions& o, StudyRun& run, bool gamesGiven,
                       bool replay);

// The games a run plays: game i (seed first + i) of every side, for the i the shard holds.
std::vector<GameTask> StudyTasks(int64_t games, uint32_t firstSeed, size_t sides,
                                 const ShardPart& shard);

// Plays a comparison and writes its outputs into the files the caller opened (those it was
// not asked for stay closed) and run.reportDir, made ready; the exit status.
int RunComparison(const StudyOptions& o, const StudyRun& run, OutputFile& log, OutputFile& csv,
                  OutputFile& json);
// Writes the outputs of a comparison already played (joined shards); the exit status.
int FinishComparison(Comparison c, const std::vector<Side>& sides, const StudyRun& run,
                     OutputFile& csv, OutputFile& json);

}  // namespace gulper
