// The agent registry and the agents registered in it.
#include <gtest/gtest.h>

#include "tools/agents/agent_registry.h"

namespace {

TEST(AgentRegistryTest, TwoAgentsMustNotAnswerToOneName) {
    EXPECT_DEATH(AgentRegistration({"planner", "again", nullptr, nullptr, nullptr, false}),
                 "two agents are registered as \"planner\"");
}

}  // namespace
