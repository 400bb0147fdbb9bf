// What a frame shows (walls, food from the live grid, the sprites in their order, the score
// line, one full picture on top) and the window's game flow: keys, idle branches, waits.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/game/game_window.h"

namespace {

using namespace colours;

TEST_F(GameWindowTest, NewGameShowsTheBoardScoreLineAndStartPicture) {
    Frame();
    EXPECT_EQ(At(190, 80), START);  // bottom edge at y 80, centred on x 190
    EXPECT_EQ(At(190 - FULL_WIDTH / 2, 80 + FULL_HEIGHT - 1), START);
    EXPECT_EQ(At(190 - FULL_WIDTH / 2 - 1, 100), BLACK);
    EXPECT_EQ(At(200, 79), BLACK);
    EXPECT_EQ(At(30, 30), DOT);
    EXPECT_EQ(At(30, 110), PILL);
    EXPECT_EQ(At(PLAYER_START.x, PLAYER_START.y), GULPER[0]);
    // White text below the board: "Score: 0" from x 5, "Food Left: 157" from x 150.
    EXPECT_GT(LitPixels(5, -20, 140, 0), 20);
    EXPECT_GT(LitPixels(150, -20, 370, 0), 40);
    EXPECT_EQ(LitPixels(0, -20, 4, 0), 0);
}

TEST_F(GameWindowTest, WallsAndDoorAreTwoPixelLinesThroughTheWallCells) {
    window->startScreen = false;
    ParkEverything();
    Frame();
    // A point on every wall line, corridors and tunnel mouths between them.
    const struct {
        int x, y;
        Colour colour;
    } points[] = {
        {40, 210, WALL},  {190, 10, WALL},  {370, 90, WALL},  {10, 360, WALL},   {340, 250, WALL},
        {100, 50, WALL},  {110, 70, WALL},  {190, 400, WALL}, {70, 110, WALL},   {60, 130, WALL},
        {320, 130, WALL}, {60, 370, WALL},  {50, 380, WALL},  {130, 390, WALL},  {250, 370, WALL},
        {310, 380, WALL}, {150, 230, WALL}, {190, 210, WALL}, {230, 230, WALL},  {220, 250, WALL},
        {190, 250, DOOR}, {175, 250, DOOR}, {10, 230, BLACK}, {370, 230, BLACK}, {190, 120, BLACK},
        {60, 380, BLACK}, {100, 49, WALL},  {100, 52, BLACK}, {100, 47, BLACK},
    };
    for (const auto& p : points) {
        EXPECT_EQ(At(p.x, p.y), p.colour) << p.x << ", " << p.y;
    }
}

TEST_F(GameWindowTest, FoodFruitGulperAndGhostsLieInThatOrder) {
    window->startScreen = false;
    ParkEverything();
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;  // the fruit's cell given a dot
    MazeGrid[GridIndex(1, 5)] = CELL_DOT;  // a pill's cell given a dot
    MazeGrid[GridIndex(6, 9)] = CELL_PILL;
    redGhost->position = GridPoint(30, 50);  // on the dot of (1, 2)
    redGhost->SetDirection(DIR_LEFT);
    Frame();
    EXPECT_EQ(At(30, 30), BLACK);
    EXPECT_EQ(At(190, 190), DOT);
    EXPECT_EQ(At(30, 110), DOT);
    EXPECT_EQ(At(130 + PILL_SIZE / 2 - 1, 190), PILL);
    EXPECT_EQ(At(30, 50), RED[0]);
    EXPECT_EQ(At(30 + GHOST_SIZE / 2 + 1, 50), DOT);  // round the ghost
    EXPECT_EQ(At(30, 50 - DOT_SIZE / 2), DOT);
    EXPECT_EQ(At(30, 50 - DOT_SIZE / 2 - 1), BLACK);

    fruitVisible = true;
    Frame();
    EXPECT_EQ(At(190, 190), FRUIT);
    EXPECT_EQ(At(190 - FRUIT_SIZE / 2, 190 - FRUIT_SIZE / 2), FRUIT);
    EXPECT_EQ(At(190 + FRUIT_SIZE / 2, 190), BLACK);
    // The Gulper on the fruit, then the ghosts on the Gulper, the last drawn on top.
    const GridPoint spot = FRUIT_POSITION;
    const struct {
        Ghost* ghost;
        Colour centre;
    } layers[] = {{nullptr, GULPER[3]},
                  {redGhost, RED[1]},
                  {greenGhost, GREEN},
                  {turquoiseGhost, TURQUOISE},
                  {orangeGhost, TURQUOISE}};
    player->position = spot;
    player->SetDirection(DIR_DOWN);
    for (const auto& layer : layers) {
        if (layer.ghost != nullptr) {
            layer.ghost->position = spot;
            layer.ghost->SetDirection(DIR_UP);
        }
        Frame();
        EXPECT_EQ(At(spot.x, spot.y), layer.centre);
        EXPECT_EQ(At(spot.x + GULPER_SIZE / 2 - 1, spot.y), GULPER[3]);
        EXPECT_EQ(At(spot.x + FRUIT_SIZE / 2 - 1, spot.y), FRUIT);
    }
    delete turquoiseGhost;  // a ghost the settings leave out is not drawn
    turquoiseGhost = nullptr;
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), ORANGE);
}

TEST_F(GameWindowTest, PicturesFollowTheDirectionAndTheBlueFlag) {
    window->startScreen = false;
    ParkEverything();
    const GridPoint spot(90, 150);
    const GridPoint house(190, 230);  // an eaten ghost waiting keeps its blue pictures
    player->position = spot;
    redGhost->position = house;
    for (int d = 0; d < 4; ++d) {
        player->SetDirection(DIRECTIONS[d]);
        redGhost->SetDirection(DIRECTIONS[d]);
        for (bool blue : {false, true}) {
            redGhost->SetBlue(blue);
            Frame();
            EXPECT_EQ(At(spot.x, spot.y), GULPER[d]) << d;
            EXPECT_EQ(At(house.x, house.y), blue ? BLUE[d] : RED[d]) << d;
        }
    }
    player->SetDirection(0);  // no direction (boxed in while fleeing): no picture
    redGhost->SetDirection(0);
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), DOT);
    EXPECT_EQ(At(house.x, house.y), BLACK);
    dotImage.Clear();  // a picture missing leaves only its own things out
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), BLACK);
    EXPECT_EQ(At(30, 110), PILL);
    EXPECT_EQ(At(40, 210), WALL);
}

TEST_F(GameWindowTest, AtMostOneFullPictureReadAnewAtEachRepaintStartBeforeWonBeforeLost) {
    const struct {
        bool start, won, caught;
        Colour shown;
    } rows[] = {
        {true, true, true, START},  {false, true, true, WON},     {false, true, false, WON},
        {false, false, true, LOST}, {false, false, false, BLACK},
    };
    for (const auto& row : rows) {
        window->startScreen = row.start;
        gameWon = row.won;
        window->playerCaught = row.caught;
        Frame();
        EXPECT_EQ(At(190, 100), row.shown) << &row - rows;
    }
    window->startScreen = true;
    WritePicture("start", 60, 20, WON);
    Frame();
    EXPECT_EQ(At(190 - 30, 80), WON);
    EXPECT_EQ(At(190 - 31, 80), BLACK);
    EXPECT_EQ(At(200, 105), BLACK);
    std::filesystem::remove(folder / "data" / "start.tga");  // gone: the board on its own
    Frame();
    const std::vector<uint8_t> withoutPicture = frame;
    window->startScreen = false;
    Frame();
    EXPECT_TRUE(frame == withoutPicture);
}

// A clock that moves only when the timer sleeps.
int64_t fakeNow = 0;
std::vector<int64_t> sleeps;

class GameWindowFlow : public GameWindowTest {
  protected:
    void SetUp() override {
        GameWindowTest::SetUp();
        RestartTimer();
    }
    void RestartTimer() {
        sleeps.clear();
        window->frameTimer = FrameTimer([] { return fakeNow; },
                                        [](int64_t ms) {
                                            sleeps.push_back(ms);
                                            fakeNow += ms;
                                        });
    }
    void Press(int key) { window->OnKeyboard(key, true); }
    // The pending keys: left, right, down, up, space.
    std::vector<bool> Keys() const {
        return {window->keyLeft, window->keyRight, window->keyDown, window->keyUp,
                window->spacePressed};
    }
};

TEST_F(GameWindowFlow, EachPressNamesOneKeyAndClearsThePendingOnesReleasesDoNothing) {
    const struct {
        int key;
        bool down;
        std::vector<bool> pending;
    } rows[] = {
        {KEY_LEFT, true, {1, 0, 0, 0, 0}},   {KEY_RIGHT, true, {0, 1, 0, 0, 0}},
        {KEY_RIGHT, false, {0, 1, 0, 0, 0}}, {'A', false, {0, 1, 0, 0, 0}},
        {KEY_DOWN, true, {0, 0, 1, 0, 0}},   {KEY_UP, true, {0, 0, 0, 1, 0}},
        {KEY_SPACE, true, {0, 0, 0, 0, 1}},  {KEY_UP, true, {0, 0, 0, 1, 0}},
        {'A', true, {0, 0, 0, 0, 0}},        {KEY_SPACE, true, {0, 0, 0, 0, 1}},
        {KEY_F1 + 1, true, {0, 0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        window->OnKeyboard(row.key, row.down);
        EXPECT_EQ(Keys(), row.pending) << &row - rows;
    }
}

TEST_F(GameWindowFlow, F1StartsANewGameFromPlay) {
    window->startScreen = false;
    player->AddScore(120);
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    foodLeft = 12;
    player->position = GridPoint(30, 30);
    redGhost->SetBlue(true);
    Press(KEY_UP);
    Press(KEY_F1);
    EXPECT_TRUE(window->startScreen);
    EXPECT_EQ(player->Score(), 0);
    EXPECT_EQ(foodLeft, 157);
    EXPECT_EQ(player->position, PLAYER_START);
    EXPECT_FALSE(redGhost->IsBlue());
    EXPECT_EQ(Keys(), std::vector<bool>(5, false));
}

TEST_F(GameWindowFlow, StartScreenTicksNothingAndEndsAtTheIdleAfterSpace) {
    EXPECT_EQ(DrainMessages(), 0);
    window->OnIdle();
    EXPECT_TRUE(window->startScreen);
    EXPECT_EQ(player->position, PLAYER_START);
    EXPECT_GE(DrainMessages(), 1);  // the repaint it asked for
    EXPECT_EQ(sleeps, std::vector<int64_t>{window->tickIntervalMs});
    Press(KEY_SPACE);
    window->OnIdle();
    EXPECT_FALSE(window->startScreen || window->spacePressed);
    EXPECT_EQ(player->position, PLAYER_START);  // the space's own idle runs no tick either
    window->OnIdle();
    EXPECT_NE(player->position, PLAYER_START);
    EXPECT_GE(DrainMessages(), 1);
}

TEST_F(GameWindowFlow, WithoutSettingsTheKeysSteerAtFiveTicksASecond) {
    EXPECT_TRUE(window->keyboardControl);
    EXPECT_EQ(window->tickIntervalMs, 200);
    EXPECT_TRUE(redGhost && greenGhost && orangeGhost && turquoiseGhost);
    window->startScreen = false;
    for (int i = 0; i < 40 && !window->playerCaught && !gameWon; ++i) {
        window->OnIdle();
    }
    EXPECT_EQ(player->thinks, 0);
    EXPECT_NE(player->position, PLAYER_START);
}

class GameWindowWithAgent : public GameWindowFlow {
  protected:
    void WriteData() override {
        GameWindowFlow::WriteData();
        std::ofstream(folder / "data" / "config.txt") << "control 1\nfps 20\n";
    }
};

TEST_F(GameWindowWithAgent, SettingsHandTheSteeringToTheAgentAtTheirPace) {
    EXPECT_FALSE(window->keyboardControl);
    EXPECT_EQ(window->tickIntervalMs, 50);
    window->startScreen = false;
    for (int i = 0; i < 10; ++i) {
        window->OnIdle();
    }
    EXPECT_GT(player->thinks, 0);
    ASSERT_GE(sleeps.size(), 2u);  // quick ticks in pairs: a full interval, then none
    EXPECT_EQ(sleeps[0] + sleeps[1], 100);
}

TEST_F(GameWindowFlow, GameOverWaitsFiveSecondsThenRefillsTheBoardUnderTheStartScreen) {
    for (bool won : {false, true}) {
        window->startScreen = false;
        window->playerCaught = !won;
        gameWon = won;
        MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
        RestartTimer();
        Press(KEY_SPACE);  // pressed during the wait: the next start screen ends at once
        window->OnIdle();
        EXPECT_EQ(sleeps, std::vector<int64_t>{5000});
        EXPECT_TRUE(window->startScreen);
        EXPECT_FALSE(window->playerCaught || gameWon);
        EXPECT_EQ(MazeGrid[GridIndex(1, 1)], CELL_DOT);
        EXPECT_GE(DrainMessages(), 1);
        window->OnIdle();
        EXPECT_FALSE(window->startScreen);
    }
}

}  // namespace
