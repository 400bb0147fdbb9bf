#include <gtest/gtest.h>

#include "tests/agent/agent_fixture.h"

namespace {

using Escape = AgentTest;
using Decisions = AgentTest;

// The escape vector's first candidate, on a crossing where every way is open.
TEST_F(Escape, EveryRowOfTheCandidateTablePicksItsFirstDirection) {
    PutGulper(4, 11);
    const struct {
        float x, y;
        int32_t expected;
    } rows[] = {
        {0, 1, DIR_UP},          {0, -1, DIR_DOWN},        {1, 0, DIR_RIGHT},
        {-1, 0, DIR_LEFT},       {0.8f, 0.6f, DIR_RIGHT},  {0.6f, 0.8f, DIR_UP},
        {-0.8f, 0.6f, DIR_LEFT}, {-0.6f, 0.8f, DIR_UP},    {0.8f, -0.6f, DIR_RIGHT},
        {0.6f, -0.8f, DIR_DOWN}, {-0.8f, -0.6f, DIR_LEFT}, {-0.6f, -0.8f, DIR_DOWN},
    };
    for (const auto& row : rows) {
        agent->direction = 99;
        agent->ChooseEscapeDirection(row.x, row.y);
        EXPECT_EQ(agent->direction, row.expected) << row.x << "," << row.y;
    }
    // Zero and exact diagonals leave the direction alone.
    for (auto [x, y] : {std::pair{0.f, 0.f}, {0.5f, 0.5f}, {-0.5f, 0.5f}, {0.5f, -0.5f}}) {
        agent->direction = 99;
        agent->ChooseEscapeDirection(x, y);
        EXPECT_EQ(agent->direction, 99);
    }
}

TEST_F(Escape, WallsPushTheChoiceDownTheListAndNeverTowardTheGhost) {
    // (9, 9): walls above and below.
    PutGulper(9, 9);
    agent->ChooseEscapeDirection(0, 1);
    EXPECT_EQ(agent->direction, DIR_LEFT);
    agent->ChooseEscapeDirection(0, -1);
    EXPECT_EQ(agent->direction, DIR_LEFT);
    agent->ChooseEscapeDirection(0.6f, 0.8f);
    EXPECT_EQ(agent->direction, DIR_RIGHT);
    agent->ChooseEscapeDirection(-0.6f, -0.8f);
    EXPECT_EQ(agent->direction, DIR_LEFT);
    // (1, 1), the bottom-left corner: away from a ghost up and to the right is walled.
    PutGulper(1, 1);
    agent->ChooseEscapeDirection(-0.8f, -0.6f);
    EXPECT_EQ(agent->direction, 0);
    agent->direction = DIR_UP;
    agent->ChooseEscapeDirection(-1, 0);
    EXPECT_EQ(agent->direction, DIR_UP);
    // A ghost straight below in the house's dead end: only the door above, which is no wall.
    PutGulper(9, 11);
    agent->ChooseEscapeDirection(0, 1);
    EXPECT_EQ(agent->direction, DIR_UP);
}

TEST_F(Escape, FleeingOneGhostUsesTheVectorFromGhostToGulper) {
    PutGulper(4, 11);
    Red(6, 12);  // two columns right and one row up: away means left, else down
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_LEFT);
    Red(2, 12);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_RIGHT);
    Red(2, 13);  // exact diagonal: unchanged
    agent->direction = DIR_UP;
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_UP);
    // Above the door with a ghost up and to the left: down first, the door is no wall.
    PutGulper(9, 13);
    Red(8, 15);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_DOWN);
    // Next to the left tunnel mouth with the ghost to the right: out through the tunnel.
    PutGulper(1, 11);
    Red(3, 11);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_LEFT);
    EXPECT_EQ(TakeLog(), "");
}

TEST_F(Escape, TwoGhostsInTheColumnGiveTheSlipSideways) {
    PutGulper(4, 11);
    Orange(4, 13);
    Red(4, 8);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_RIGHT);
    EXPECT_EQ(TakeLog(), "Giving them the slip: RIGHT\n");
    // In the row: up first.
    Orange(2, 11);
    Red(7, 11);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_UP);
    EXPECT_EQ(TakeLog(), "Giving them the slip: UP\n");
    // Both on the Gulper's own cell: both rules, the row's direction stands.
    Orange(4, 11);
    Red(4, 11);
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_UP);
    EXPECT_EQ(TakeLog(), "Giving them the slip: RIGHT\nGiving them the slip: UP\n");
}

TEST_F(Escape, TwoGhostsOffTheLinesFleeTheNearerTiesToTheEarlier) {
    PutGulper(4, 11);
    Red(5, 13);     // distance 2.24, X < 0, Y < 0, |Y| larger: down
    Orange(6, 12);  // distance 2.24 as well, earlier in the list: X < 0, Y < 0, left
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_LEFT);
    Orange(7, 9);  // farther now: flee the red one
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_DOWN);
}

TEST_F(Escape, ThreeOrMoreFleeTheNearest) {
    PutGulper(4, 11);
    Orange(6, 11);
    Red(4, 13);
    Green(2, 12);
    Turquoise(4, 10);  // nearest, below
    agent->Flee();
    EXPECT_EQ(agent->direction, DIR_UP);
    EXPECT_EQ(TakeLog(), "");
}

TEST_F(Decisions, FeedingFromTheStartLogsTheWholeBlock) {
    agent->Think();
    EXPECT_EQ(agent->state, STATE_FEEDING);
    EXPECT_EQ(TakeLog(),
              "FEEDING!\n"
              "Gulper at: (9,9)\n"
              "Constructing Path From GoalNode(10,7) To StartNode(9,9):\n"
              "From (11,7) to {10,7): LEFT\n"
              "From (12,7) to {11,7): LEFT\n"
              "From (12,8) to {12,7): DOWN\n"
              "From (12,9) to {12,8): DOWN\n"
              "From (11,9) to {12,9): RIGHT\n"
              "From (10,9) to {11,9): RIGHT\n"
              "From (9,9) to {10,9): RIGHT\n"
              "Gulper at x:9 y:9\n"
              "Nearest food dot at x:10 y:7\n" +
                  std::string(FEEDING_BANNER));
    EXPECT_EQ(agent->direction, DIR_RIGHT);
}

TEST_F(Decisions, OnFoodTheGulperKeepsItsWayAndEatsBeforeTheNextDecision) {
    PutGulper(1, 20);
    agent->direction = DIR_DOWN;
    agent->Think();
    EXPECT_EQ(TakeLog(),
              "FEEDING!\n"
              "Gulper at: (1,20)\n"
              "Constructing Path From GoalNode(1,20) To StartNode(1,20):\n"
              "Gulper at x:1 y:20\n"
              "Nearest food dot at x:1 y:20\n" +
                  std::string(FEEDING_BANNER));
    EXPECT_EQ(agent->direction, DIR_DOWN);
}

TEST_F(Decisions, OnlyNearGhostInTheHouseLeavesTheDirection) {
    PutGulper(9, 13);
    agent->direction = DIR_RIGHT;
    Red(9, 11);
    agent->Think();
    EXPECT_EQ(agent->state, STATE_FLEEING);
    EXPECT_EQ(agent->direction, DIR_RIGHT);
    EXPECT_EQ(TakeLog(),
              "Gulper is near the Red Ghost - Distance is: 2\n" + std::string(FLEEING_BANNER));
}

TEST_F(Decisions, NearGhostBeatsTheFruitWhenNotBlue) {
    fruitVisible = true;
    PutGulper(11, 9);  // fruit two cells away
    Red(14, 9);        // a ghost three away
    agent->Think();
    EXPECT_EQ(agent->state, STATE_FLEEING);
    EXPECT_EQ(agent->direction, DIR_LEFT);
    EXPECT_EQ(TakeLog(),
              "Gulper is near the Red Ghost - Distance is: 3\n" + std::string(FLEEING_BANNER));
}

TEST_F(Decisions, FruitCloserThanSixAttracts) {
    fruitVisible = true;
    PutGulper(4, 12);  // 5 across, 3 up: 5.83095
    agent->Think();
    EXPECT_EQ(agent->state, STATE_GOING_FOR_FRUIT);
    const std::string text = TakeLog();
    EXPECT_EQ(text.rfind("Constructing Path From GoalNode(9,9) To StartNode(4,12):\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 59), FRUIT_BANNER);
    EXPECT_EQ(text.find("FEEDING!"), std::string::npos);
    PutGulper(3, 9);  // exactly 6 straight across (a wall cell: only the distance matters)
    agent->Think();
    EXPECT_EQ(agent->state, STATE_FEEDING);
}

TEST_F(Decisions, BlueGhostsAreHuntedNeverFled) {
    PutGulper(4, 11);
    Orange(9, 15, true);  // 5 across, 4 up: 6.40312
    Green(4, 13, true);   // 2: the target, and near
    agent->Think();
    EXPECT_EQ(agent->state, STATE_HUNTING);
    EXPECT_EQ(agent->direction, DIR_UP);
    const std::string text = TakeLog();
    EXPECT_EQ(text.rfind("Gulper is near the Green Ghost - Distance is: 2\n"
                         "Constructing Path From GoalNode(4,13) To StartNode(4,11):\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(text.substr(text.size() - 59), HUNTING_BANNER);
}

TEST_F(Decisions, HuntTiesGoToTheEarlierGhostAndTheHouseIsIgnored) {
    PutGulper(4, 11);
    Red(4, 14, true);    // 3 up
    Orange(4, 8, true);  // 3 down, earlier in the hunting order
    Green(9, 11, true);  // in the house: ignored even though nearer than 7
    agent->Think();
    EXPECT_EQ(agent->state, STATE_HUNTING);
    EXPECT_EQ(agent->direction, DIR_DOWN);
}

TEST_F(Decisions, BlueButNothingWithinSevenFeedsOrGoesForFruit) {
    PutGulper(4, 11);
    Red(11, 11, true);  // exactly 7 straight across: not a target
    agent->Think();
    EXPECT_EQ(agent->state, STATE_FEEDING);
    fruitVisible = true;
    PutGulper(9, 13);
    redGhost->position = CellCentre(16, 13);
    agent->Think();
    EXPECT_EQ(agent->state, STATE_GOING_FOR_FRUIT);
    // Blue but within 7 while the fruit is close: hunting comes first.
    redGhost->position = CellCentre(12, 13);
    agent->Think();
    EXPECT_EQ(agent->state, STATE_HUNTING);
}

TEST_F(Decisions, TheBannerIsTheLastLineOfEveryDecision) {
    Red(6, 9);
    for (int i = 0; i < 30; ++i) {
        agent->position = CellCentre(1 + i % 17, i % 2 ? 20 : 1);
        redGhost->SetBlue(i % 3 == 0);
        fruitVisible = i % 4 == 0;
        agent->Think();
        const std::string text = TakeLog();
        ASSERT_GE(text.size(), 59u);
        const std::string last = text.substr(text.size() - 59);
        EXPECT_TRUE(last == FEEDING_BANNER || last == FLEEING_BANNER || last == HUNTING_BANNER ||
                    last == FRUIT_BANNER)
            << text;
        // Exactly one banner per decision.
        EXPECT_EQ(text.find("STATE-"), text.rfind("STATE-")) << text;
    }
}

}  // namespace
