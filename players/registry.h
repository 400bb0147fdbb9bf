#pragma once

// Agents by name. An agent is a player sprite class (game/sprite.h) whose Think steers the
// Gulper at each cell centre. To add one, write one file in players/ that defines the class
// and registers it:
//
//     namespace {
//     class MyAgent : public PlayerSprite { void Think() override { ... } };
//     const AgentRegistration registration{{"my-agent", "one line on what it does",
//         [] { return std::unique_ptr<PlayerSprite>(new MyAgent()); }, nullptr, nullptr}};
//     }
//
// The build picks the file up; `gulper-sim --agents` then lists it and `--agent my-agent`
// plays it. A plan reader is optional: without one gulper-watch draws no plan for it. An agent
// that takes part in the game's life beyond Think (as one in another process) gives the whole
// player instead (episode/player.h); a family of such agents named by a prefix registers the
// prefix (AgentFamilyRegistration), and the registry knows nothing more of it.

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "episode/episode.h"
#include "episode/player.h"
#include "episode/settings.h"
#include "game/sprite.h"

namespace gulper {

struct AgentEntry {
    std::string name;
    std::string summary;
    std::function<std::unique_ptr<PlayerSprite>()> make;
    // Reads the plan of the agent's last decision. May be empty.
    PlanReader readPlan;
    // Makes the whole player, for an agent that needs the episode's hooks; `make` and
    // `readPlan` are then not used. May be empty.
    PlayerMaker player;
    // Whether a recorded game keeps the plan of every decision: for an agent whose plan
    // cannot be worked out again from the game.
    bool recordPlans = false;
};

// Registers an agent when its file's static objects are built. A second entry under a
// name already taken stops the program: two agents must not answer to one name.
class AgentRegistration {
  public:
    explicit AgentRegistration(AgentEntry entry);
};

// A family of agents named PREFIX then the rest (as "exec:COMMAND"): `find` makes (or finds)
// the entry of a whole name, or gives null when the rest names none; `stop` ends whatever the
// family keeps running between games, at the end of a run.
class AgentFamilyRegistration {
  public:
    AgentFamilyRegistration(std::string prefix,
                            std::function<const AgentEntry*(const std::string& name)> find,
                            std::function<void()> stop);
};

// Every registered agent, the default first, then by name (no family's members).
std::vector<const AgentEntry*> RegisteredAgents();
// The agent of that name, or null; a name with a family's prefix is the family's to find.
const AgentEntry* FindAgent(const std::string& name);
// The names, comma-separated, for error messages.
std::string AgentNames();
// A new player of the agent, for one game.
std::unique_ptr<Player> NewPlayer(const AgentEntry& entry);
// Ends whatever the agents keep running between games (their programs): at the end of a run,
// and in a worker before it exits.
void StopAgents();

// Plays one whole game (PlayGame) with the agent the settings name, which must be known.
GameResult PlayHeadlessGame(const GameSettings& settings, uint32_t seed, std::ostream* log,
                            GameRecord* record = nullptr);

}  // namespace gulper
