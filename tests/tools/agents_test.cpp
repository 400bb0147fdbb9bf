#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "tools/agents/agent_registry.h"
#include "tools/sim/headless_game.h"

namespace {

TEST(AgentRegistryTest, TwoAgentsMustNotAnswerToOneName) {
    EXPECT_DEATH(AgentRegistration({"planner", "again", nullptr, nullptr}),
                 "two agents are registered as \"planner\"");
}

// Seeded games at the shipped settings with each agent; the plan read after every decision is a
// route of neighbouring open cells from the decision cell whose first step is the way the Gulper
// turned, ending on food when feeding; the ghosts fled from are near.
TEST(AgentPlanTest, EveryDecisionsPlanIsTheRouteTheAgentTakes) {
    std::ostringstream log;
    SetAgentLog(&log);
    for (const AgentEntry* entry : RegisteredAgents()) {
        ASSERT_TRUE(entry->readPlan) << entry->name;
        int feeding = 0, fleeing = 0;
        for (uint32_t seed : {1u, 2u, 3u}) {
            ResetGameState();
            GameRules rules;
            std::unique_ptr<PlayerSprite> agent = entry->make();
            StartSeededGame(rules, agent.get(), SHIPPED_CONFIG, seed);
            for (int tick = 0; tick < 4000 && !gameWon && !rules.playerCaught; ++tick) {
                const GridPoint cell = agent->CellPosition();
                const bool decides = agent->AvailableDirections(MazeGrid) != 0;
                const MazeCells before = MazeGrid;
                rules.Tick();
                const AgentPlan plan = decides ? entry->readPlan(*agent, cell) : AgentPlan();
                const std::vector<GridPoint>& route = plan.route;
                const std::string where = entry->name + " " + std::to_string(seed * 10000 + tick);
                ASSERT_TRUE(!decides || (!route.empty() && route[0] == cell)) << where;
                for (size_t i = 1; i < route.size(); ++i) {
                    const GridPoint &a = route[i - 1], &b = route[i];
                    ASSERT_EQ(std::abs(a.x - b.x) + std::abs(a.y - b.y), 1) << where;
                    EXPECT_TRUE(IsOpenCell(before[GridIndex(b.x, b.y)])) << where;
                }
                const int32_t d = agent->direction;
                EXPECT_TRUE(route.size() < 2 ||
                            route[1] == GridPoint(cell.x + (d == DIR_RIGHT) - (d == DIR_LEFT),
                                                  cell.y + (d == DIR_UP) - (d == DIR_DOWN)))
                    << where;
                if (plan.state == "feeding" && route.size() > 1 && ++feeding) {
                    ASSERT_TRUE(plan.goal.has_value()) << where;
                    const int32_t code = before[GridIndex(plan.goal->x, plan.goal->y)];
                    EXPECT_TRUE(code == CELL_DOT || code == CELL_PILL) << where;
                }
                fleeing += plan.state == "fleeing";
                for (const GridPoint& ghost : plan.fleeingFrom) {
                    EXPECT_LT(std::hypot(ghost.x - cell.x, ghost.y - cell.y), 4.0) << where;
                }
            }
            rules.DestroyGhosts();
            SetPlayerAgent(nullptr);
        }
        EXPECT_GT(feeding, 100) << entry->name;
        EXPECT_TRUE(entry->name != DEFAULT_AGENT || fleeing > 0);
    }
    SetAgentLog(nullptr);
}

}  // namespace
