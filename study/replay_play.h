// Playing games for replay files: a game played and saved as one (--record), and a file
// played back and held against what it recorded (--replay-file).
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "episode/player.h"
#include "episode/result.h"
#include "formats/replay_file.h"
#include "study/game_task.h"

namespace gulper {

// Plays one game as PlayHeadlessGame does; with settings.recordDir set, also saves it as
// ReplayPath(recordDir, seed). False, with the reason, when that file cannot be written.
bool PlayRecorded(const SimSettings& settings, uint32_t seed, std::ostream* log, GameResult* result,
                  std::string* error);

// Makes the folder of --record DIR (not its parents) unless it is there; false, with the
// reason, when it cannot be made or is not a folder this process can write in.
bool PrepareRecordDir(const std::string& dir, std::string* error);
// Side `index` (from 0) of a comparison records into DIR/K-NAME: K from 1, NAME the side's
// name with anything but letters, digits, '.', '-' and '_' made '_'.
std::string SideRecordDir(const std::string& dir, size_t index, const std::string& name);

struct ReplayVerdict {
    GameResult played;
    bool same = false;
    // When not the same: the first decision (from 0) after which the game is not the recorded
    // one; the number of recorded decisions when they part only after the last one.
    int64_t partsAt = -1;
    // One sentence on how they part, or that they do not.
    std::string how;
};

// Plays the file's actions on its seed and settings and holds the game, decision by
// decision, against the recording. Stops one decision past the recording's last.
ReplayVerdict CheckReplay(const ReplayFile& replay);
// The player of a file's game: its recorded actions taken again, its recorded plans read back
// (none past the last). The file must outlive the player.
std::unique_ptr<Player> NewReplayPlayer(const ReplayFile& replay);
// The decisions a game played back from the file may take: one past the recording's last (a
// forfeited recording's own count), which is enough to tell whether it parts from it.
int64_t ReplayDecisionLimit(const ReplayFile& replay);
// How a game played back from the file (its result and record, played under the file's
// decision limit) stands to the recording, decision by decision.
ReplayVerdict JudgeReplay(const ReplayFile& replay, const GameResult& result,
                          const GameRecord& played);

}  // namespace gulper
