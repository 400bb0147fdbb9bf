// The floor of any table of agents: at each cell centre it takes one of the open ways at random,
// with dice of its own seeded by the game's seed, so that a seed always plays the same walk.
#include <random>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "players/registry.h"

namespace gulper {

namespace {

class RandomWalk : public PlayerSprite, public Player {
  public:
    PlayerSprite& Sprite() override { return *this; }
    void StartGame(uint32_t seed, const GameSettings&) override { dice.seed(seed); }

    void Think() override {
        int32_t ways[4];
        int n = 0;
        const int32_t open = AvailableDirections(MazeGrid);
        for (int32_t w : {DIR_LEFT, DIR_UP, DIR_RIGHT, DIR_DOWN}) {
            if (open & w) {
                ways[n++] = w;
            }
        }
        if (n > 0) {
            // A plain modulo: the same walk from every standard library.
            direction = ways[dice() % static_cast<uint32_t>(n)];
        }
        AgentLog() << "random: " << n << " open ways, took " << direction << std::endl;
    }

  private:
    std::mt19937 dice;
};

const AgentRegistration registration{
    {"random", "takes one of the open ways at random at every cell centre", nullptr, nullptr,
     [] { return std::unique_ptr<Player>(new RandomWalk()); }}};

}  // namespace

}  // namespace gulper
