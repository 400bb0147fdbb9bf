// The viewer's window in an offscreen OpenGL context: its frame is the game's board, food and
// all, with the agent's plan between the board and the sprites and a status line below.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "study/replay_play.h"
#include "tests/game/game_window.h"
#include "tools/watch/watch_window.h"

using namespace gulper;

namespace {

using namespace colours;
const Colour ROUTE{255, 51, 255};

class WatchWindowTest : public GameWindowTest {
  protected:
    std::unique_ptr<GameWindow> MakeWindow() override {
        auto made = std::make_unique<WatchWindow>();
        WatchSettings settings;
        settings.seed = 7;
        settings.paused = true;
        made->Configure(settings);
        watch = made.get();
        return made;
    }
    int WindowHeight() const override { return WINDOW_HEIGHT + TEXT_LINE_HEIGHT; }

    // Whether a sprite stands within a cell and a half of a cell's centre.
    static bool NearASprite(const GridPoint& centre) {
        std::vector<const Sprite*> sprites{playerAgent};
        ForEachGhost([&sprites](Ghost& ghost, GhostColour) { sprites.push_back(&ghost); });
        for (const Sprite* s : sprites) {
            if (std::abs(s->position.x - centre.x) < 30 &&
                std::abs(s->position.y - centre.y) < 30) {
                return true;
            }
        }
        return false;
    }

    WatchWindow* watch = nullptr;
};

TEST_F(WatchWindowTest, EveryFoodCellShowsItsPictureFrameAfterFrame) {
    int checked = 0;
    for (int round = 0; round < 4; ++round) {
        for (int t = 0; t < 150 && !watch->over; ++t) {
            watch->PlayTick();
        }
        watch->plan = AgentPlan();  // no overlay over the food
        Frame();
        for (int v = 0; v < BOARD_ROWS; ++v) {
            for (int c = 0; c < BOARD_COLUMNS; ++c) {
                const GridPoint centre = CellCentre(c, v);
                const int32_t code = MazeGrid[GridIndex(c, v)];
                if (NearASprite(centre) || !IsOpenCell(code) || (c == 9 && v == 9)) {
                    continue;  // covered, a wall, or the fruit's cell
                }
                const Colour expected = code == CELL_DOT ? DOT : code == CELL_PILL ? PILL : BLACK;
                EXPECT_EQ(At(centre.x - 4, centre.y - 4), expected)
                    << "cell (" << c << ", " << v << ") in round " << round;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 400);
    EXPECT_LT(foodLeft, 157);  // the Gulper ate on the way
}

TEST_F(WatchWindowTest, ThePlanOfTheLastDecisionStaysUntilTheNext) {
    // Decisions come once a cell, every twenty ticks: between them the plan drawn is the last
    // decision's, not nothing.
    watch->StartGame();
    for (int t = 0; t < 30; ++t) {
        watch->PlayTick();
    }
    ASSERT_EQ(watch->Ticks(), 30);
    EXPECT_FALSE(watch->plan.state.empty());
    EXPECT_GE(watch->plan.route.size(), 2u);
}

TEST_F(WatchWindowTest, PlanLiesOverTheFoodAndUnderTheSpritesWithTheStatusBelowTheScore) {
    // A route along the bottom corridor, which starts full of dots, ending under the Gulper.
    const GridPoint gulperCell = playerAgent->CellPosition();
    watch->plan.state = "feeding";
    watch->plan.route = {{1, 1}, {8, 1}, {8, 5}, gulperCell};
    watch->plan.goal = GridPoint(1, 1);
    Frame();
    const GridPoint dotCell = CellCentre(4, 1);
    ASSERT_EQ(MazeGrid[GridIndex(4, 1)], CELL_DOT);
    EXPECT_EQ(At(dotCell.x, dotCell.y), ROUTE);                        // over the dot
    EXPECT_EQ(At(dotCell.x - 4, dotCell.y - 4), DOT);                  // the dot beside the line
    EXPECT_EQ(At(CellCentre(1, 1).x + 9, CellCentre(1, 1).y), ROUTE);  // the goal's square
    EXPECT_EQ(At(playerAgent->position.x, playerAgent->position.y),
              GULPER[playerAgent->direction == DIR_LEFT    ? 0
                     : playerAgent->direction == DIR_UP    ? 1
                     : playerAgent->direction == DIR_RIGHT ? 2
                                                           : 3]);  // the Gulper over the route
    // The score line's strip and the status line's each hold lit text.
    for (int top : {0, -TEXT_LINE_HEIGHT}) {
        int lit = 0;
        for (int y = top - TEXT_LINE_HEIGHT; y < top; ++y) {
            for (int x = 0; x < WINDOW_WIDTH; ++x) {
                lit += At(x, y) != BLACK;
            }
        }
        EXPECT_GT(lit, 50) << "text strip above y " << top;
    }
}

}  // namespace

// A recorded game shown by the viewer is held against its file decision by decision, as
// gulper-sim --replay-file holds it: a file whose games agree only at the end is not "as
// recorded".
class WatchReplayTest : public GameWindowTest {
  protected:
    std::unique_ptr<GameWindow> MakeWindow() override {
        GameSettings game;
        std::ifstream shipped(GULPER_SHIPPED_CONFIG, std::ios::binary);
        game.configText.assign(std::istreambuf_iterator<char>(shipped), {});
        GameRecord record;
        const GameResult result = PlayHeadlessGame(game, 11, nullptr, &record);
        auto replay = std::make_shared<ReplayFile>(ReplayOf(game, record, result));
        if (tamperAt >= 0) {
            replay->record.checks[tamperAt] ^= 1;
        }
        auto made = std::make_unique<WatchWindow>();
        WatchSettings settings;
        settings.paused = true;
        settings.replay = replay;
        made->Configure(settings);
        watch = made.get();
        return made;
    }
    int WindowHeight() const override { return WINDOW_HEIGHT + TEXT_LINE_HEIGHT; }

    // What the viewer says when the game it plays to the end is over.
    std::string PlayedToTheEnd() {
        // Afresh: the fixture's fake frame timer, made after the window, seeds the generator.
        watch->StartGame();
        testing::internal::CaptureStderr();
        for (int t = 0; t < 200000 && !watch->over; ++t) {
            watch->PlayTick();
        }
        return testing::internal::GetCapturedStderr();
    }

    int tamperAt = -1;
    WatchWindow* watch = nullptr;
};

class WatchTamperedReplayTest : public WatchReplayTest {
  protected:
    void SetUp() override {
        tamperAt = 5;
        WatchReplayTest::SetUp();
    }
};

TEST_F(WatchReplayTest, TheRecordedGameIsAsRecorded) {
    const std::string said = PlayedToTheEnd();
    EXPECT_NE(said.find(", as recorded"), std::string::npos) << said;
}

TEST_F(WatchTamperedReplayTest, ACheckThatDiffersIsFoundAtItsDecision) {
    const std::string said = PlayedToTheEnd();
    EXPECT_NE(said.find("not as recorded"), std::string::npos) << said;
    EXPECT_NE(said.find("at decision 5 "), std::string::npos) << said;
}
