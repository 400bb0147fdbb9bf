// What the window's frame shows where, and its game flow: keys, idle branches, their waits.
#include <gtest/gtest.h>

#include "tests/game/game_window.h"

namespace {

using namespace colours;

TEST_F(GameWindowTest, WallsDoorPicturesFollowTheBoardTheDirectionAndTheBlueFlag) {
    window->startScreen = false;
    const GridPoint spot(90, 150), house(190, 230);  // a dot's cell; an eaten ghost waits
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
    // A point on every wall line, the door, and open places between them.
    const struct {
        int x, y;
        Colour colour;
    } points[] = {
        {40, 210, WALL},   {190, 10, WALL},       {370, 90, WALL},           {10, 360, WALL},
        {340, 250, WALL},  {100, 50, WALL},       {110, 70, WALL},           {190, 400, WALL},
        {70, 110, WALL},   {60, 130, WALL},       {320, 130, WALL},          {60, 370, WALL},
        {50, 380, WALL},   {130, 390, WALL},      {250, 370, WALL},          {310, 380, WALL},
        {150, 230, WALL},  {190, 210, WALL},      {230, 230, WALL},          {220, 250, WALL},
        {190, 250, DOOR},  {175, 250, DOOR},      {10, 230, BLACK},          {370, 230, BLACK},
        {190, 120, BLACK}, {60, 380, BLACK},      {100, 49, WALL},           {100, 52, BLACK},
        {100, 47, BLACK},  {spot.x, spot.y, DOT}, {house.x, house.y, BLACK},
    };
    for (const auto& p : points) {
        EXPECT_EQ(At(p.x, p.y), p.colour) << p.x << ", " << p.y;
    }
    dotImage.Clear();  // a picture missing leaves only its own things out
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), BLACK);
    EXPECT_EQ(At(30, 390), PILL);
}

TEST_F(GameWindowTest, FullPictureIsReadAnewAtEachRepaintCentredAboveY80) {
    Frame();
    EXPECT_EQ(At(190 + 49, 80 + 39), START);
    WritePicture("start", 60, WON, 20);
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

TEST_F(GameWindowTest, EachPressNamesOneKeyAndClearsThePendingOnesReleasesDoNothing) {
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
    // F1 starts a new game from play.
    window->startScreen = false;
    player->AddScore(120);
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    redGhost->SetBlue(true);
    Press(KEY_UP);
    Press(KEY_F1);
    EXPECT_TRUE(window->startScreen && player->Score() == 0 && !redGhost->IsBlue());
    EXPECT_EQ(MazeGrid[GridIndex(1, 1)], CELL_DOT);
    EXPECT_EQ(Keys(), std::vector<bool>(5, false));
}

TEST_F(GameWindowTest,
       StartScreenTicksNothingAndEndsAtTheIdleAfterSpaceThenAnArrowSteersWhereOpen) {
    EXPECT_EQ(DrainMessages(), 0);
    window->OnIdle();
    EXPECT_TRUE(window->startScreen);
    EXPECT_GE(DrainMessages(), 1);  // the repaint it asked for
    EXPECT_EQ(sleeps, std::vector<int64_t>{200});
    Press(KEY_SPACE);
    window->OnIdle();
    EXPECT_FALSE(window->startScreen || window->spacePressed);
    EXPECT_EQ(player->position, PLAYER_START);  // the space's own idle runs no tick either
    Press(KEY_UP);  // no settings file: the keys steer, an arrow at the next centre it opens
    for (int i = 0; i < 61; ++i) {
        window->OnIdle();
    }
    EXPECT_EQ(player->position, GridPoint(130, 191));  // up at (6, 9), the first way up
    EXPECT_EQ(player->thinks, 0);
    EXPECT_GE(DrainMessages(), 1);
    EXPECT_EQ(sleeps, std::vector<int64_t>(32, 200));  // quick ticks in pairs: a full sleep, none
}

TEST_F(GameWindowTest, GameOverWaitsFiveSecondsThenRefillsTheBoardUnderTheStartScreen) {
    for (bool won : {false, true}) {
        window->startScreen = false;
        window->playerCaught = !won;
        gameWon = won;
        MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
        window->frameTimer.previous = fakeNow;  // a fresh reading to wait from
        sleeps.clear();
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
