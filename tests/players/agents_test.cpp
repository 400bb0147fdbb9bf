// The agent registry and the agents registered in it.
#include <gtest/gtest.h>

#include "players/registry.h"

using namespace gulper;

namespace {

TEST(AgentRegistryTest, TwoAgentsMustNotAnswerToOneName) {
    EXPECT_DEATH(AgentRegistration({"planner", "again", nullptr, nullptr, nullptr, false}),
                 "two agents are registered as \"planner\"");
}

}  // namespace
