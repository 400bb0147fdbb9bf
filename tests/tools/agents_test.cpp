#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

#include "agent/agent_log.h"
#include "game/game_state.h"
#include "tools/agents/agent_registry.h"
#include "tools/sim/headless_game.h"

namespace {

TEST(AgentRegistryTest, TheDefaultComesFirstAndNamesAreUnique) {
    const std::vector<const AgentEntry*> agents = RegisteredAgents();
    ASSERT_GE(agents.size(), 2u);
    EXPECT_EQ(agents[0]->name, DEFAULT_AGENT);
    EXPECT_EQ(FindAgent("nearest-food"), agents[1]);
    EXPECT_EQ(FindAgent("no-such-agent"), nullptr);
    EXPECT_EQ(AgentNames(), "planner, nearest-food");
    EXPECT_DEATH(AgentRegistration({"planner", "again", nullptr, nullptr}),
                 "two agents are registered as \"planner\"");
}

int32_t DirectionBetween(const GridPoint& a, const GridPoint& b) {
    return b.x > a.x ? DIR_RIGHT : b.x < a.x ? DIR_LEFT : b.y > a.y ? DIR_UP : DIR_DOWN;
}

// Plays seeded games at the shipped settings with each agent and checks the plan read after every
// decision: a route of neighbouring open cells from the decision cell, whose first step is the way
// the Gulper turned, ending on food when feeding; the ghosts fled from are near.
TEST(AgentPlanTest, EveryDecisionsPlanIsTheRouteTheAgentTakes) {
    std::ostringstream log;
    for (const AgentEntry* entry : RegisteredAgents()) {
        ASSERT_TRUE(entry->readPlan) << entry->name;
        std::map<std::string, int> states;
        for (uint32_t seed : {1u, 2u, 3u}) {
            SetAgentLog(&log);
            ResetGameState();
            GameRules rules;
            std::unique_ptr<PlayerSprite> agent = entry->make();
            StartSeededGame(rules, agent.get(), SHIPPED_CONFIG, seed);
            for (int tick = 0; tick < 4000 && !gameWon && !rules.playerCaught; ++tick) {
                const GridPoint cell = agent->CellPosition();
                const bool decides = agent->AvailableDirections(MazeGrid) != 0;
                const MazeCells before = MazeGrid;
                rules.Tick();
                if (!decides) {
                    continue;
                }
                const AgentPlan plan = entry->readPlan(*agent, cell);
                ++states[plan.state];
                const std::string where = entry->name + " seed " + std::to_string(seed) + " tick " +
                                          std::to_string(tick) + " " + plan.state;
                ASSERT_FALSE(plan.route.empty()) << where;
                EXPECT_EQ(plan.route[0], cell) << where;
                for (size_t i = 1; i < plan.route.size(); ++i) {
                    const GridPoint& a = plan.route[i - 1];
                    const GridPoint& b = plan.route[i];
                    ASSERT_EQ(std::abs(a.x - b.x) + std::abs(a.y - b.y), 1) << where;
                    EXPECT_TRUE(IsOpenCell(before[GridIndex(b.x, b.y)])) << where;
                }
                if (plan.route.size() > 1) {
                    EXPECT_EQ(agent->direction, DirectionBetween(plan.route[0], plan.route[1]))
                        << where;
                }
                if (plan.state == "feeding" && plan.route.size() > 1) {
                    ASSERT_TRUE(plan.goal.has_value()) << where;
                    const int32_t code = before[GridIndex(plan.goal->x, plan.goal->y)];
                    EXPECT_TRUE(code == CELL_DOT || code == CELL_PILL) << where;
                }
                for (const GridPoint& ghost : plan.fleeingFrom) {
                    EXPECT_LT(std::hypot(ghost.x - cell.x, ghost.y - cell.y), 4.0) << where;
                }
            }
            rules.DestroyGhosts();
            SetPlayerAgent(nullptr);
            SetAgentLog(nullptr);
        }
        EXPECT_GT(states["feeding"], 100) << entry->name;
        if (entry->name == DEFAULT_AGENT) {
            EXPECT_GT(states["fleeing"], 0);
        }
    }
}

}  // namespace
