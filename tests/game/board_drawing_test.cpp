// What a frame shows: walls and door along the wall table, food from the live grid, the
// sprites in their order, the score line and the one full picture on top.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/maze.h"
#include "tests/game/game_window_fixture.h"

namespace {

using namespace colours;

class BoardDrawing : public GameWindowTest {};

TEST_F(BoardDrawing, NewGameShowsTheBoardScoreLineAndStartPicture) {
    Frame();
    // The start picture: bottom edge at y 80, centred on x 190.
    EXPECT_EQ(At(190, 80), START);
    EXPECT_EQ(At(190 - FULL_WIDTH / 2, 80 + FULL_HEIGHT - 1), START);
    EXPECT_EQ(At(190 - FULL_WIDTH / 2 - 1, 100), BLACK);
    EXPECT_EQ(At(200, 79), BLACK);
    // The board under it: a dot, a pill, the Gulper at its start.
    EXPECT_EQ(At(30, 30), DOT);
    EXPECT_EQ(At(30, 110), PILL);
    EXPECT_EQ(At(PLAYER_START.x, PLAYER_START.y), GULPER_LEFT);
    // White text in the strip below the board: "Score: 0" from x 5, "Food Left: 157" from 150.
    EXPECT_GT(LitPixels(5, -20, 140, 0), 20);
    EXPECT_GT(LitPixels(150, -20, 370, 0), 40);
    EXPECT_EQ(LitPixels(0, -20, 4, 0), 0);
    EXPECT_EQ(At(window->GetWidth() / 2, -20 + 1), BLACK);
}

TEST_F(BoardDrawing, WallsAndDoorRunAlongTheWallTable) {
    window->startScreen = false;
    ParkEverything();
    Frame();
    // The middle of a segment of every wall primitive, in table order.
    // clang-format off
    const struct {
        int x, y;
    } wallPoints[] = {
        {40, 210},  {190, 10},  {370, 90},  {340, 210},            // 1: lower outer wall
        {40, 250},  {190, 430}, {10, 360},  {340, 250},            // 2: upper outer wall
        {100, 50},  {110, 70},  {190, 70},  {190, 90},  {280, 50}, // 3: the lines
        {270, 70},  {20, 90},   {360, 90},  {130, 130}, {250, 130}, {190, 150},
        {190, 170}, {110, 190}, {270, 190}, {110, 310}, {130, 290}, {270, 310},
        {250, 290}, {190, 310}, {190, 330}, {60, 330},  {320, 330}, {190, 400},
        {70, 110},  {60, 130},                                     // 4
        {310, 110}, {320, 130},                                    // 5
        {60, 390},  {70, 380},  {60, 370},  {50, 380},             // 6: closed, back to start
        {130, 390}, {110, 380},                                    // 7
        {250, 370}, {230, 380},                                    // 8
        {320, 390}, {310, 380},                                    // 9
        {160, 250}, {150, 230}, {190, 210}, {230, 230}, {220, 250}, // 10: ghost house
    };
    // clang-format on
    for (const auto& p : wallPoints) {
        EXPECT_EQ(At(p.x, p.y), WALL) << p.x << ", " << p.y;
    }
    EXPECT_EQ(At(190, 250), DOOR);
    EXPECT_EQ(At(175, 250), DOOR);
    // Open places: the tunnel mouths, a corridor between two walls, inside a closed block.
    EXPECT_EQ(At(10, 230), BLACK);
    EXPECT_EQ(At(370, 230), BLACK);
    EXPECT_EQ(At(190, 120), BLACK);
    EXPECT_EQ(At(60, 380), BLACK);
    // Lines are two pixels wide.
    EXPECT_EQ(At(100, 49), WALL);
    EXPECT_EQ(At(100, 52), BLACK);
    EXPECT_EQ(At(100, 47), BLACK);
}

TEST_F(BoardDrawing, FoodComesFromTheLiveGridEvenUnderAGhost) {
    window->startScreen = false;
    ParkEverything();
    MazeGrid[GridIndex(1, 1)] = CELL_EMPTY;
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;  // a corridor cell given a dot
    MazeGrid[GridIndex(1, 5)] = CELL_DOT;  // a pill cell turned into a dot
    MazeGrid[GridIndex(6, 9)] = CELL_PILL;
    redGhost->position = GridPoint(30, 50);  // on the dot of (1, 2)
    redGhost->SetDirection(DIR_LEFT);
    Frame();
    EXPECT_EQ(At(30, 30), BLACK);
    EXPECT_EQ(At(190, 190), DOT);
    EXPECT_EQ(At(30, 110), DOT);
    EXPECT_EQ(At(130, 190), PILL);
    EXPECT_EQ(At(130 + PILL_SIZE / 2 - 1, 190), PILL);
    // The ghost covers the middle of its dot; the dot shows round it.
    EXPECT_EQ(At(30, 50), RED_LEFT);
    EXPECT_EQ(At(30 + GHOST_SIZE / 2 + 1, 50), DOT);
    EXPECT_EQ(At(30, 50 - DOT_SIZE / 2), DOT);
    EXPECT_EQ(At(30, 50 - DOT_SIZE / 2 - 1), BLACK);
}

TEST_F(BoardDrawing, MissingDotPictureLeavesOnlyTheDotsOut) {
    window->startScreen = false;
    dotImage.Clear();
    Frame();
    EXPECT_EQ(At(30, 30), BLACK);
    EXPECT_EQ(At(30, 110), PILL);
    EXPECT_EQ(At(40, 210), WALL);
    EXPECT_EQ(At(PLAYER_START.x, PLAYER_START.y), GULPER_LEFT);
    EXPECT_GT(LitPixels(150, -20, 370, 0), 40);
}

TEST_F(BoardDrawing, GhostsCoverTheGulperAndEachOtherInColourOrder) {
    window->startScreen = false;
    ParkEverything();
    const GridPoint spot(90, 150);
    player->position = spot;
    player->SetDirection(DIR_RIGHT);
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), GULPER_RIGHT);

    redGhost->position = spot;
    redGhost->SetDirection(DIR_UP);
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), RED_UP);
    EXPECT_EQ(At(spot.x + GULPER_SIZE / 2 - 1, spot.y), GULPER_RIGHT);

    turquoiseGhost->position = spot;
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), TURQUOISE);
    orangeGhost->position = spot;
    greenGhost->position = spot;
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), TURQUOISE);  // the last ghost drawn is on top

    // A ghost the settings left out does not exist and is not drawn.
    delete turquoiseGhost;
    turquoiseGhost = nullptr;
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), ORANGE);
}

TEST_F(BoardDrawing, PicturesFollowTheDirectionAndBlueFlag) {
    window->startScreen = false;
    ParkEverything();
    const GridPoint spot(90, 150);
    player->position = spot;
    const struct {
        int32_t direction;
        Colour gulper, red, blue;
    } rows[] = {
        {DIR_LEFT, GULPER_LEFT, RED_LEFT, BLUE_LEFT},
        {DIR_UP, GULPER_UP, RED_UP, BLUE_UP},
        {DIR_RIGHT, GULPER_RIGHT, RED_RIGHT, BLUE_RIGHT},
        {DIR_DOWN, GULPER_DOWN, RED_DOWN, BLUE_DOWN},
    };
    // The red ghost eaten and waiting in the house keeps its blue pictures while blue.
    const GridPoint house(190, 230);
    redGhost->position = house;
    for (const auto& row : rows) {
        player->SetDirection(row.direction);
        redGhost->SetDirection(row.direction);
        redGhost->SetBlue(false);
        Frame();
        EXPECT_EQ(At(spot.x, spot.y), row.gulper) << row.direction;
        EXPECT_EQ(At(house.x, house.y), row.red) << row.direction;
        redGhost->SetBlue(true);
        Frame();
        EXPECT_EQ(At(house.x, house.y), row.blue) << row.direction;
    }
    // No direction (boxed in while fleeing): the Gulper is not in this frame.
    player->SetDirection(0);
    redGhost->SetDirection(0);
    Frame();
    EXPECT_EQ(At(spot.x, spot.y), DOT);  // only the dot it stands on
    EXPECT_EQ(At(house.x, house.y), BLACK);
}

TEST_F(BoardDrawing, FruitOnlyWhileVisibleAboveTheFoodAndBelowTheGulper) {
    window->startScreen = false;
    ParkEverything();
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;
    fruitVisible = false;
    Frame();
    EXPECT_EQ(At(190, 190), DOT);
    EXPECT_EQ(At(190 + FRUIT_SIZE / 2 - 1, 190), BLACK);

    fruitVisible = true;
    Frame();
    EXPECT_EQ(At(190, 190), FRUIT);
    EXPECT_EQ(At(190 - FRUIT_SIZE / 2, 190 - FRUIT_SIZE / 2), FRUIT);
    EXPECT_EQ(At(190 + FRUIT_SIZE / 2, 190), BLACK);

    player->position = FRUIT_POSITION;
    player->SetDirection(DIR_DOWN);
    Frame();
    EXPECT_EQ(At(190, 190), GULPER_DOWN);
    EXPECT_EQ(At(190 + FRUIT_SIZE / 2 - 1, 190), FRUIT);
}

TEST_F(BoardDrawing, AtMostOneFullPictureInOrderStartWonLost) {
    const int x = 190, y = 100;
    const struct {
        bool start, won, caught;
        Colour shown;
    } rows[] = {
        {true, true, true, START}, {true, false, true, START}, {false, true, true, WON},
        {false, true, false, WON}, {false, false, true, LOST}, {false, false, false, BLACK},
    };
    for (const auto& row : rows) {
        window->startScreen = row.start;
        gameWon = row.won;
        window->playerCaught = row.caught;
        Frame();
        EXPECT_EQ(At(x, y), row.shown) << row.start << row.won << row.caught;
    }
}

TEST_F(BoardDrawing, FullPicturesAreReadAnewAtEveryRepaint) {
    Frame();
    EXPECT_EQ(At(190, 100), START);
    WritePicture("start.tga", 60, 20, WON);
    Frame();
    EXPECT_EQ(At(190, 90), WON);
    EXPECT_EQ(At(190 - 30, 80), WON);
    EXPECT_EQ(At(190 - 31, 80), BLACK);
    EXPECT_EQ(At(200, 105), BLACK);

    // Gone from the folder: the board shows on its own.
    std::filesystem::remove(folder / "data" / "start.tga");
    Frame();
    const std::vector<uint8_t> withoutPicture = frame;
    window->startScreen = false;
    Frame();
    EXPECT_TRUE(frame == withoutPicture);
    EXPECT_EQ(At(30, 30), DOT);
}

}  // namespace
