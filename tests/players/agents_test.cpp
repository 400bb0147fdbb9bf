// The agent registry and the agents registered in it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "game/sprite_pictures.h"
#include "players/registry.h"

using namespace gulper;

namespace {

TEST(AgentRegistryTest, TwoAgentsMustNotAnswerToOneName) {
    EXPECT_DEATH(AgentRegistration({"planner", "again", nullptr, nullptr, nullptr, false}),
                 "two agents are registered as \"planner\"");
}

TEST(AgentPlanTest, ThePlannersRouteRunsFromItsCellOverTheBoardStepByStep) {
    // The plan the viewer draws: read after each decision, it starts on the decision's cell
    // and goes one cell at a time, and most decisions have somewhere to go.
    SetAgentLog(&DiscardedLog());
    ResetGameState();
    const NoSpritePictures headless;
    GameRules rules;
    std::unique_ptr<Player> player = NewPlayer(*FindAgent(DEFAULT_AGENT));
    Episode episode(rules, *player, GameSettings());
    episode.Start(4);
    int routes = 0;
    while (episode.Decisions() < 60 && episode.Tick()) {
        if (!episode.LastTickDecided()) {
            continue;
        }
        const AgentPlan plan = episode.PlanOfLastTick();
        ASSERT_FALSE(plan.route.empty());
        for (size_t i = 0; i < plan.route.size(); ++i) {
            const GridPoint& c = plan.route[i];
            ASSERT_TRUE(c.x >= 0 && c.x < BOARD_COLUMNS && c.y >= 0 && c.y < BOARD_ROWS);
            if (i > 0) {
                const GridPoint& p = plan.route[i - 1];
                ASSERT_EQ(std::abs(c.x - p.x) + std::abs(c.y - p.y), 1) << "step " << i;
            }
        }
        routes += plan.route.size() >= 2;
    }
    EXPECT_GT(routes, 40);
    rules.DestroyGhosts();
    SetPlayerAgent(nullptr);
    SetAgentLog(nullptr);
}

}  // namespace
