// What the outputs add for an agent in another process: forfeits, faults by kind, late
// answers and answer times, per game and over the run. A built-in agent's outputs carry none
// of it, so they stay as they were.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "episode/result.h"

namespace gulper {

// A run's figures for an agent in another process (the outputs give these only then): games
// forfeited, faults by kind, late answers dropped, and the answer times over every game.
struct ExecSummary {
    bool exec = false;
    // The name the program gave in its answer to hello: the first game's that gave one.
    std::string name;
    int64_t forfeit = 0;
    std::map<std::string, int64_t> faults;
    // Forfeited games by their reason with the agent's own words left out (ForfeitGroup).
    std::map<std::string, int64_t> forfeitReasons;
    int64_t lateAnswers = 0;
    AnswerTimes answers;
};

// The fault kinds, in the order the outputs give them; code goes through the list, never by
// position, so that a kind added to it is read and written everywhere. Those past the first
// ALWAYS_SHOWN_KINDS are shown only when they occurred, so that outputs without them read as
// they did before there were such kinds.
extern const char* const FAULT_KINDS[4];
constexpr size_t ALWAYS_SHOWN_KINDS = 3;
bool FaultKindShown(size_t kind, int64_t count);

// A forfeit's reason as the summary groups it: without the agent's words or the last fault's
// detail, which differ from game to game ("no answer to hello in 10000 ms",
// "more than 10 faults in the game, the last a timeout").
std::string ForfeitGroup(const std::string& reason);

void SummariseExec(const std::vector<GameResult>& results, ExecSummary& s);
// Whether `kind` is one of FAULT_KINDS.
bool IsFaultKind(const std::string& kind);
// The agent as the terminal and the report name it: the name an exec agent's program gives,
// else the agent as named (exec:COMMAND, or a built-in agent's name).
std::string ShownAgent(const std::string& agent, const ExecSummary& s);
// One line's text for a comparison's side: forfeits, answer times, faults.
std::string ExecLine(const ExecSummary& s);
// Summary lines; nothing unless an exec agent played.
void PrintExecSummary(std::ostream& out, const ExecSummary& s);
// The summary's JSON members, each after ", "; empty unless an exec agent played.
std::string JsonExecSummary(const ExecSummary& s);
// A game's JSON members, each after ", "; empty for a built-in agent's game.
std::string JsonExecRow(const GameResult& r);
class JsonCursor;
// Reads a game row's member `key` if it is one JsonExecRow writes (the game then counts
// as an exec agent's); false when it is not one of them. Throws JsonError on a bad value or
// member. The counts of "faults", by kind, go to faultCounts when given.
bool ReadExecMember(JsonCursor& in, const std::string& key, GameResult* r,
                    std::map<std::string, int64_t>* faultCounts = nullptr);
// The longest text a row's exec member may hold (a forfeit's reason, a fault's kind or detail).
constexpr size_t MAX_EXEC_TEXT = size_t(1) << 20;
// The CSV's extra columns, each after a comma.
std::string CsvExecHeader();
std::string CsvExecColumns(const GameResult& r);
// A CSV field: as it is, or quoted with its quotes doubled when it holds a comma, a quote or
// a line break (an exec agent's name may).
std::string CsvField(const std::string& text);
// Microseconds as the summary gives a time: "850 us", "12.3 ms", "1.20 s".
std::string TimeText(int64_t us);

}  // namespace gulper
