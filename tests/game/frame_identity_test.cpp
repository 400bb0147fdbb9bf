// The window's frame, pixel for pixel, against the board drawn through the plain calls, with
// the game's own pictures: chosen board states, every character of the score line's font, and
// a stretch of play.
#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>
#include <utility>

#include "framework/GlyphText.h"
#include "framework/ImageDrawing.h"
#include "tests/game/game_window.h"

namespace {

// A picture centred on (x, y) through the plain calls; an empty picture is skipped.
void DrawCentred(Image& image, double x, double y) {
    if (image.IsValid()) {
        glRasterPos2d(x - image.GetWidth() * 0.5, y - image.GetHeight() * 0.5);
        DrawImage(image);
    }
}

// A sprite's picture of its direction, the blue ones for a blue ghost; none for no direction.
void DrawSprite(Sprite& sprite, bool blue) {
    Ghost* ghost = blue ? static_cast<Ghost*>(&sprite) : nullptr;
    Image* const pictures[4] = {
        blue ? &ghost->blueImageLeft : &sprite.imageLeft,
        blue ? &ghost->blueImageUp : &sprite.imageUp,
        blue ? &ghost->blueImageRight : &sprite.imageRight,
        blue ? &ghost->blueImageDown : &sprite.imageDown,
    };
    for (int d = 0; d < 4; ++d) {
        if (sprite.direction == DIRECTIONS[d]) {
            DrawCentred(*pictures[d], sprite.position.x, sprite.position.y);
        }
    }
}

class FrameIdentity : public GameWindowTest {
  protected:
    void WriteData() override {
        for (const auto& file : std::filesystem::directory_iterator(GULPER_SOURCE_DIR "/data")) {
            std::filesystem::copy(file.path(), folder / "data" / file.path().filename());
        }
    }

    // The board as first drawn: each picture by DrawImage at its raster position, the score
    // line by the window's glyph display lists, the walls as the strips and loops they are laid
    // out as. Leaves the frame unswapped.
    void DrawReferenceFrame() {
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        DrawWallsAsPrimitives();
        for (int v = 0; v < BOARD_ROWS; ++v) {
            for (int c = 0; c < BOARD_COLUMNS; ++c) {
                const int32_t code = MazeGrid[GridIndex(c, v)];
                if (code == CELL_DOT || code == CELL_PILL) {
                    const GridPoint p = CellCentre(c, v);
                    DrawCentred(code == CELL_DOT ? dotImage : powerPillImage, p.x, p.y);
                }
            }
        }
        if (fruitVisible) {
            DrawCentred(window->fruitImage, FRUIT_POSITION.x, FRUIT_POSITION.y);
        }
        DrawSprite(*playerAgent, false);
        for (Ghost* ghost : {redGhost, greenGhost, orangeGhost, turquoiseGhost}) {
            if (ghost != nullptr) {
                DrawSprite(*ghost, ghost->IsBlue());
            }
        }
        glColor3d(1, 1, 1);
        glRasterPos2d(5, -15);
        window->Printf("Score: %d", playerAgent->Score());
        glRasterPos2d(150, -15);
        window->Printf("Food Left: %d", foodLeft);
        Image full;
        full.Load(window->startScreen    ? "data//start.tga"
                  : gameWon              ? "data//win.tga"
                  : window->playerCaught ? "data//lose.tga"
                                         : "");
        if (full.IsValid()) {
            glRasterPos2d(190 - full.GetWidth() * 0.5, 80);
            DrawImage(full);
        }
    }

    // Draws the state both ways, the window's own over a frame of junk, and compares.
    void Compare(const std::string& name) {
        DrawReferenceFrame();
        const std::vector<uint8_t> expected = ReadFrame();
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        Frame();
        EXPECT_TRUE(frame == expected) << name;
        distinct.insert(std::hash<std::string_view>()(
            std::string_view(reinterpret_cast<const char*>(expected.data()), expected.size())));
    }

    std::set<size_t> distinct;  // frames that differ: a frame read back unchanged shows here
};

// Points whose 20-pixel sprite pictures lie on the window's edges: a picture whose corner is
// outside the window is not drawn, one whose corner is inside is drawn whole.
const GridPoint PLACES[] = {
    {190, 190}, {10, 230},  {9, 230},   {-5, 230},  {370, 230}, {375, 230},
    {389, 230}, {390, 230}, {391, 230}, {190, 430}, {190, 449}, {190, 450},
    {30, 10},   {60, -5},   {60, -10},  {60, -11},  {97, 130},  {20, -12},
};

TEST_F(FrameIdentity, BoardStatesMatchTheFirstDrawing) {
    window->startScreen = gameWon = window->playerCaught = true;  // start over won over lost
    Compare("start picture");
    window->startScreen = false;
    Compare("won picture");
    gameWon = false;
    Compare("lost picture");
    window->playerCaught = false;

    // Each sprite at several places in every direction, the ghosts blue in round 4; fruit,
    // scores of several widths.
    Sprite* sprites[] = {player.get(), redGhost, greenGhost, orangeGhost, turquoiseGhost};
    const int32_t scores[] = {0, 7, 990, 12345, 2147483647, -250};
    for (int k = 0; k < 6; ++k) {
        for (int j = 0; j < 5; ++j) {
            sprites[j]->position = PLACES[(5 * k + j) % 18];
            sprites[j]->direction = DIRECTIONS[(k + j) % 4];
            if (j > 0) {
                static_cast<Ghost*>(sprites[j])->SetBlue(k == 4);
            }
        }
        player->score = scores[k];
        fruitVisible = k % 2 == 1;
        Compare("places, round " + std::to_string(k));
    }
    // Stacked on the fruit over a dot, each a little off the one before: two ghosts blue, one
    // standing still (no picture).
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;
    fruitVisible = true;
    for (int j = 0; j < 5; ++j) {
        sprites[j]->position = GridPoint(FRUIT_POSITION.x + 3 * j, FRUIT_POSITION.y + 2 * j);
        sprites[j]->direction = j == 3 ? 0 : DIRECTIONS[j % 4];
    }
    redGhost->SetBlue(true);
    turquoiseGhost->SetBlue(true);
    Compare("stacked on the fruit");

    // Pictures changed in place, then of other layouts: alpha of their own (written whatever the
    // alpha), blue first, grey (drawn by DrawImage in its turn).
    player->position = CellCentre(1, 1);  // off the fruit
    Image& gulper = player->imageLeft;    // rows without gaps, as every picture read
    for (int i = 0; i < gulper.GetWidth() * gulper.GetHeight() * 3; i += 3) {
        std::swap(gulper.Row(0)[i], gulper.Row(0)[i + 2]);
    }
    Compare("the Gulper's red and blue swapped in place");
    ASSERT_TRUE(dotImage.ConvertTo(PIXEL_RGBA));
    for (int i = 0; i < dotImage.GetWidth() * dotImage.GetHeight(); ++i) {
        dotImage.Row(0)[i * 4 + 3] = i % 3 == 0 ? 0 : 128;
    }
    Compare("dots with alpha");
    ASSERT_TRUE(powerPillImage.ConvertTo(PIXEL_BGRA));
    Compare("pills blue first with alpha");
    ASSERT_TRUE(window->fruitImage.ConvertTo(PIXEL_LUMINANCE));
    fruitVisible = true;
    Compare("grey fruit among batched pictures");
    // Any change of view places pictures anew: the x scale moved by its last bit, y halved.
    GLfloat projection[16];
    glMatrixMode(GL_PROJECTION);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    projection[0] = std::nextafter(projection[0], 1.0f);
    projection[5] *= 0.5f;
    glLoadMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    Compare("another projection");
    for (int32_t& code : MazeGrid) {
        code = code == CELL_DOT || code == CELL_PILL ? CELL_EMPTY : code;
    }
    foodLeft = 0;
    delete turquoiseGhost;
    turquoiseGhost = nullptr;
    Compare("no food, turquoise left out");
    EXPECT_EQ(distinct.size(), 14u);  // alpha of their own changes no colour
}

// The small pictures share one texture: a picture grown past its room there gets another,
// the shared texture is emptied when full and filled again, and a picture too large for it has
// a texture of its own, drawn between the fruit under it and a ghost over it.
TEST_F(FrameIdentity, PicturesGrownPastTheirRoomAndTooLargeToShareKeepTheirOrder) {
    window->startScreen = false;
    fruitVisible = true;
    player->position = FRUIT_POSITION;
    player->direction = DIR_LEFT;
    redGhost->position = GridPoint(FRUIT_POSITION.x + 12, FRUIT_POSITION.y + 8);
    redGhost->direction = DIR_UP;
    Image& gulper = player->imageLeft;
    for (int side = 21; side <= 100 && !HasFailure(); side += side < 64 ? 1 : 12) {
        ASSERT_TRUE(gulper.extra->Allocate(side, side, PIXEL_RGB, 0));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side * 3; ++x) {
                gulper.Row(y)[x] = static_cast<uint8_t>(x * 7 + y * 13 + side);
            }
        }
        Compare("the Gulper " + std::to_string(side) + " pixels a side");
        // Again, its texture made: nothing to upload puts the batches in order this time.
        Compare("the Gulper " + std::to_string(side) + " pixels a side, again");
    }
}

// The board is kept from frame to frame and redrawn only where food changes: a dot and a pill
// eaten (on the board's edge, under a sprite), the fruit come and gone, many cells at once, and
// a new game that puts everything back.
TEST_F(FrameIdentity, FoodEatenAndPutBackMatchesTheFirstDrawing) {
    window->startScreen = false;
    Compare("a full board");
    Compare("the same board again");
    auto eat = [](int c, int v) {
        MazeGrid[GridIndex(c, v)] = CELL_EMPTY;
        --foodLeft;
    };
    eat(1, 1);  // a corner dot, walls on two sides
    Compare("a dot eaten in the corner");
    eat(1, 5);
    Compare("a pill eaten");
    player->position = CellCentre(17, 20);  // standing on the food it eats
    player->direction = DIR_LEFT;
    eat(17, 20);
    eat(17, 19);
    Compare("a dot and a pill eaten under the Gulper");
    fruitVisible = true;
    Compare("the fruit shown");
    fruitVisible = false;
    Compare("the fruit eaten");
    MazeGrid[GridIndex(1, 1)] = CELL_PILL;  // food of the other kind where a dot was
    Compare("a pill where a dot was eaten");
    for (int c = 1; c < BOARD_COLUMNS - 1; ++c) {
        if (MazeGrid[GridIndex(c, 1)] == CELL_DOT) {
            eat(c, 1);  // a whole row in one frame
        }
    }
    Compare("a row of dots eaten at once");
    window->NewGame();
    window->startScreen = false;
    Compare("a new game: every dot, pill and the fruit as at the start");
    // The full board and the board after the fruit left each come twice.
    EXPECT_EQ(distinct.size(), 7u);
}

// Every character of the font on lines at whole and fractional points, in two colours: the same
// pixels as the window's Printf, and the raster position left where Printf leaves it.
TEST_F(FrameIdentity, GlyphTextMatchesPrintfForEveryCharacter) {
    std::string all;
    for (int code = 1; code < 256; ++code) {
        all += static_cast<char>(code);  // 255 has no glyph and is left out by both
    }
    const struct {
        double x, y, red;
        const char* text;
    } lines[] = {
        {5, -15, 1.0, "Score: 0123456789"},     {0, 400, 0.5, all.c_str() + 31},
        {2.5, 300.25, 1.0, all.c_str() + 95},   {-3, 200, 1.0, "off the view: nothing"},
        {370, 100, 0.75, "runs off the right"}, {10, 150, 1.0, all.c_str()},
    };
    GlyphText glyphs;
    EXPECT_FALSE(glyphs.Print(*window, nullptr));
    for (const auto& line : lines) {
        GLfloat expectedPosition[4], position[4];
        std::vector<uint8_t> expected;
        for (bool reference : {true, false}) {
            glClear(GL_COLOR_BUFFER_BIT);
            glColor3d(line.red, 1, 0.5);
            glRasterPos2d(line.x, line.y);
            ASSERT_TRUE(reference ? window->Printf("%s", line.text) >= 0
                                  : glyphs.Print(*window, line.text));
            glGetFloatv(GL_CURRENT_RASTER_POSITION, reference ? expectedPosition : position);
            (reference ? expected : frame) = ReadFrame();
        }
        EXPECT_TRUE(frame == expected) << line.text;
        EXPECT_EQ(std::any_of(expected.begin(), expected.end(), [](uint8_t b) { return b % 255; }),
                  line.x >= 0);  // lit, alpha reading 255 everywhere
        EXPECT_TRUE(position[0] == expectedPosition[0] && position[1] == expectedPosition[1]);
    }
    // Every line queued for one batch, the colour changing from line to line.
    std::vector<uint8_t> expected;
    for (bool reference : {true, false}) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (const auto& line : lines) {
            glColor3d(line.red, 1, 0.5);
            glRasterPos2d(line.x, line.y);
            ASSERT_TRUE(reference ? window->Printf("%s", line.text) >= 0
                                  : glyphs.Queue(*window, line.text));
        }
        glyphs.Flush();
        (reference ? expected : frame) = ReadFrame();
    }
    EXPECT_TRUE(frame == expected) << "one batch of every line";
    // A line queued under the whole view, the next under its lower half: each is drawn in the
    // view it was queued in (the first lies outside the second).
    GLint whole[4];
    glGetIntegerv(GL_VIEWPORT, whole);
    for (bool reference : {true, false}) {
        glViewport(whole[0], whole[1], whole[2], whole[3]);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3d(1, 1, 1);
        for (const auto& [y, height] :
             {std::pair{400.0, whole[3]}, std::pair{20.0, whole[3] / 2}}) {
            glViewport(whole[0], whole[1], whole[2], height);
            glRasterPos2d(5, y);
            ASSERT_TRUE(reference ? window->Printf("Score: %d", 42) >= 0
                                  : glyphs.Queue(*window, "Score: 42"));
        }
        glyphs.Flush();
        glViewport(whole[0], whole[1], whole[2], whole[3]);
        (reference ? expected : frame) = ReadFrame();
    }
    EXPECT_TRUE(frame == expected) << "lines queued under two views";
}

// A Gulper that heads for the nearest food playing a minute at 20 ticks a second, one frame a
// tick, and the pictures between games.
TEST_F(FrameIdentity, PlayMatchesFrameByFrame) {
    player->script = EatNearestFood;
    window->keyboardControl = window->startScreen = false;
    SeedRandom(1);  // the window seeds from the clock
    int games = 0;
    for (int tick = 0; tick < 1200 && !HasFailure(); ++tick) {
        if (gameWon || window->playerCaught) {
            Compare("end of a game at tick " + std::to_string(tick));
            window->NewGame();
            window->startScreen = false;
            ++games;
        }
        window->Tick();
        Compare("tick " + std::to_string(tick));
    }
    EXPECT_GE(games, 1);
    EXPECT_GT(distinct.size(), 1000u);
}

}  // namespace
