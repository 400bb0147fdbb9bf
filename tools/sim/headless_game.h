#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// How one headless game ended.
enum class GameOutcome { WON, LOST, UNFINISHED };

const char* OutcomeName(GameOutcome outcome);

struct GameResult {
    uint32_t seed = 0;
    GameOutcome outcome = GameOutcome::UNFINISHED;
    int32_t score = 0;
    int32_t foodLeft = 0;
    int64_t ticks = 0;
    int64_t decisions = 0;
};

struct SimSettings {
    // Settings file read by the game's own loader; empty means none (the defaults).
    std::string configPath;
    // A game still running after this many ticks is stopped and counted unfinished.
    int64_t maxTicks = 100000;
};

// Plays one game from a fresh process state, exactly as the game window would after its
// first start screen: seed, settings, ghosts, new game, then ticks until won, lost or the
// limit. The agent always steers. Its log goes to `log`, or nowhere when null.
GameResult PlayHeadlessGame(const SimSettings& settings, uint32_t seed, std::ostream* log);

// Whether the settings file asks for keyboard steering (which the simulator overrides).
bool ConfigAsksForKeyboard(const std::string& configPath);
