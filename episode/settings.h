// The settings a seeded game is played under, wherever it is played: the settings file's name
// and bytes, the tick limit, the agent that steers and what an agent in another process may
// take. Every front end keeps them in this one struct and passes it whole.
#pragma once

#include <cstdint>
#include <string>

#include "game/settings.h"
#include "process/budgets.h"

namespace gulper {

// The built-in agent, used wherever no other is named.
constexpr const char* DEFAULT_AGENT = "planner";
// A game still running after this many ticks is stopped and counted unfinished.
constexpr int64_t DEFAULT_MAX_TICKS = 100000;

struct GameSettings {
    // The settings file's name, as the summary gives it.
    std::string configPath = SETTINGS_FILE;
    // Its bytes, read once before the games, so that every game plays from the same settings
    // even when the file was a pipe; empty means none (the defaults).
    std::string configText;
    int64_t maxTicks = DEFAULT_MAX_TICKS;
    // The agent that steers, by its registered name (or exec:COMMAND).
    std::string agent = DEFAULT_AGENT;
    // What an agent in another process may take.
    ExecBudgets budgets;
};

}  // namespace gulper
