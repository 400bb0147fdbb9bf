#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game/ghosts/colour_ghosts.h"
#include "tests/game/headless_game.h"

namespace {

Ghost* const* AllGhosts() {
    static Ghost* ghosts[4];
    ghosts[0] = redGhost;
    ghosts[1] = greenGhost;
    ghosts[2] = orangeGhost;
    ghosts[3] = turquoiseGhost;
    return ghosts;
}

TEST(NewGame, StartsFreshWhateverThePreviousGameLeft) {
    HeadlessGame game(1);
    game.EatNearestFood();
    game.Play(400);
    game.rules.NewGame();
    EXPECT_EQ(game.player.Score(), 0);
    EXPECT_EQ(foodLeft, 157);
    EXPECT_FALSE(fruitVisible);
    EXPECT_TRUE(IsScatterMode());
    EXPECT_EQ(scatterCountdown, 30);
    EXPECT_EQ(game.rules.fruitCountdown, game.rules.fruitDelay);
    EXPECT_EQ(game.rules.tickIntervalMs, 200);
    EXPECT_TRUE(game.rules.startScreen);
    EXPECT_FALSE(gameWon);
    EXPECT_FALSE(game.rules.playerCaught);
    EXPECT_EQ(game.player.position, PLAYER_START);
    for (int i = 0; i < 4; ++i) {
        Ghost* g = AllGhosts()[i];
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->position, HOUSE_START);
        EXPECT_TRUE(g->IsReleased());
        EXPECT_FALSE(g->IsBlue());
        EXPECT_EQ(g->slowDown, game.rules.ghostSlowDown[i]);
    }
}

TEST(NewGame, CreatesOnlyTheEnabledGhosts) {
    ResetGameState();
    GameRules rules;
    rules.LoadConfigFrom("");
    rules.ghostEnabled[GHOST_GREEN] = false;
    rules.ghostEnabled[GHOST_TURQUOISE] = false;
    rules.CreateGhosts();
    ASSERT_NE(redGhost, nullptr);
    EXPECT_EQ(greenGhost, nullptr);
    ASSERT_NE(orangeGhost, nullptr);
    EXPECT_EQ(turquoiseGhost, nullptr);
    EXPECT_EQ(redGhost->ghostId, 1);
    EXPECT_EQ(orangeGhost->ghostId, 3);
    rules.DestroyGhosts();
    EXPECT_EQ(redGhost, nullptr);
    EXPECT_EQ(orangeGhost, nullptr);
}

TEST(Tick, SteersOnlyOnCentresAndEatsOnArrival) {
    HeadlessGame game(1, false);
    game.EatNearestFood();
    game.rules.Tick();
    EXPECT_EQ(game.player.thinks, 1);
    for (int i = 0; i < 19; ++i) {
        game.rules.Tick();
    }
    EXPECT_EQ(game.player.thinks, 1);
    game.rules.Tick();
    EXPECT_EQ(game.player.thinks, 2);  // one cell later
    game.Play(20000);
    EXPECT_TRUE(gameWon);
    EXPECT_EQ(foodLeft, 0);
    // 153 dots, 4 pills and whatever fruit came by.
    const int food = 153 * dot_value + 4 * powerpill_value;
    EXPECT_GE(game.player.Score(), food);
    EXPECT_EQ((game.player.Score() - food) % fruit_value, 0);
}

TEST(Tick, KeyboardSteeringUsesTheRememberedArrowAtTheNextOpenCentre) {
    HeadlessGame game(1, false);
    game.rules.keyboardControl = true;
    game.rules.keyUp = true;  // up is closed along the start corridor
    for (int i = 0; i < 20; ++i) {
        game.rules.Tick();
    }
    EXPECT_EQ(game.player.thinks, 0);
    EXPECT_EQ(game.player.position, CellCentre(8, 9));
    EXPECT_EQ(game.player.direction, DIR_LEFT);
    for (int i = 0; i < 41; ++i) {
        game.rules.Tick();
    }
    // At (6, 9) the corridor turns up and the pressed arrow takes it.
    EXPECT_EQ(game.player.position, GridPoint(130, 191));
    EXPECT_EQ(game.player.direction, DIR_UP);
    // The flag stays in force; the order of preference is up, down, left, right.
    game.rules.keyUp = false;
    game.rules.keyDown = true;
    game.rules.keyLeft = true;
    game.rules.SteerByKeys(DIR_LEFT | DIR_DOWN);
    EXPECT_EQ(game.player.direction, DIR_DOWN);
    game.rules.SteerByKeys(DIR_LEFT | DIR_RIGHT);
    EXPECT_EQ(game.player.direction, DIR_LEFT);
    game.rules.keyDown = game.rules.keyLeft = false;
    game.rules.SteerByKeys(DIR_LEFT | DIR_RIGHT);
    EXPECT_EQ(game.player.direction, DIR_LEFT);
}

TEST(Tick, FruitComesAfterTheDelayAndIsEatenOnlyOnItsPoint) {
    HeadlessGame game(1, false);
    game.rules.fruitDelay = game.rules.fruitCountdown = 50;
    // Stand on the fruit's point: the fruit is not there yet, so nothing is eaten.
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    for (int i = 0; i < 49; ++i) {
        game.rules.Tick();
        ASSERT_FALSE(fruitVisible);
    }
    game.rules.Tick();
    EXPECT_TRUE(fruitVisible);
    EXPECT_EQ(game.player.Score(), 0);
    // The tick after it comes out, the Gulper standing on it eats it.
    game.rules.Tick();
    EXPECT_FALSE(fruitVisible);
    EXPECT_EQ(game.player.Score(), fruit_value);
    EXPECT_EQ(game.rules.fruitCountdown, 50);
    // One pixel off the point does not eat it.
    for (int i = 0; i < 50; ++i) {
        game.rules.Tick();
    }
    ASSERT_TRUE(fruitVisible);
    game.player.position = GridPoint(191, 190);
    game.rules.Tick();
    EXPECT_TRUE(fruitVisible);
    EXPECT_EQ(game.player.Score(), fruit_value);
}

TEST(Tick, ModesAlternateFirstThirtyThenAttackThenScatter) {
    HeadlessGame game(3, false);
    length_attack_mode = 100;
    length_scatter_mode = 120;
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    std::string modes;
    int run = 0;
    bool scatter = IsScatterMode();
    std::ostringstream lengths;
    for (int i = 0; i < 30 + 100 + 120 + 100 + 1; ++i) {
        game.rules.Tick();
        ++run;
        if (IsScatterMode() != scatter) {
            lengths << run << " ";
            run = 0;
            scatter = IsScatterMode();
        }
    }
    EXPECT_EQ(lengths.str(), "30 100 120 100 ");
}

TEST(Tick, PillTurnsEveryGhostBlueAndSlowsItThenTimeRunsOut) {
    HeadlessGame game(5);
    n_moves_blue_ghosts = 40;
    powerpill_slowdown_factor = 3;
    game.player.position = CellCentre(1, 5);  // a pill, far from the ghosts
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    redGhost->SetReleased(false);  // even a waiting ghost turns blue
    redGhost->SetReleaseCountdown(500);
    game.rules.Tick();
    EXPECT_EQ(game.player.Score(), powerpill_value);
    EXPECT_EQ(blueCountdown, 39);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(AllGhosts()[i]->IsBlue());
        EXPECT_EQ(AllGhosts()[i]->slowDown, 3);
    }
    for (int i = 0; i < 38; ++i) {
        game.rules.Tick();
    }
    EXPECT_TRUE(redGhost->IsBlue());
    game.rules.Tick();
    EXPECT_EQ(blueCountdown, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(AllGhosts()[i]->IsBlue());
        EXPECT_EQ(AllGhosts()[i]->slowDown, game.rules.ghostSlowDown[i]);
    }
}

TEST(Tick, BlueTimeOfOneTickEndsInThePillsOwnTick) {
    HeadlessGame game(5);
    n_moves_blue_ghosts = 1;
    game.player.position = CellCentre(1, 5);
    game.rules.Tick();
    EXPECT_EQ(game.player.Score(), powerpill_value);
    EXPECT_FALSE(redGhost->IsBlue());
    EXPECT_EQ(redGhost->slowDown, 1);
}

TEST(Tick, BlueGhostIsEatenWaitsAndASecondPillRestartsBlueTime) {
    HeadlessGame game(5);
    n_moves_blue_ghosts = 300;
    n_moves_ghost_appears = 60;
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    game.player.position = CellCentre(1, 5);
    game.rules.Tick();
    ASSERT_TRUE(greenGhost->IsBlue());
    // Put the green ghost on the Gulper: it is eaten, the others are far away.
    greenGhost->position = GridPoint(game.player.position.x + 10, game.player.position.y + 10);
    const int before = game.player.Score();
    game.rules.Tick();
    EXPECT_EQ(game.player.Score(), before + ghost_value);
    EXPECT_FALSE(greenGhost->IsReleased());
    EXPECT_EQ(greenGhost->position, HOUSE_START);
    EXPECT_TRUE(greenGhost->IsBlue());
    EXPECT_FALSE(game.rules.playerCaught);
    for (int i = 0; i < 59; ++i) {
        game.rules.Tick();
        ASSERT_FALSE(greenGhost->IsReleased()) << i;
    }
    game.rules.Tick();
    EXPECT_TRUE(greenGhost->IsReleased());
    EXPECT_EQ(greenGhost->position, HOUSE_START);
    // A second pill restarts the blue time and keeps (or makes) every ghost blue.
    game.player.position = CellCentre(17, 5);
    greenGhost->SetReleased(false);
    greenGhost->SetBlue(false);
    game.rules.Tick();
    EXPECT_EQ(blueCountdown, 299);
    EXPECT_TRUE(greenGhost->IsBlue());
}

TEST(Tick, WaitingGhostTakesNoPartInCollisions) {
    HeadlessGame game(5);
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    for (Ghost* g : {redGhost, greenGhost, orangeGhost, turquoiseGhost}) {
        g->SetReleased(false);
        g->SetReleaseCountdown(100);
    }
    game.player.position = HOUSE_START;
    game.rules.Tick();
    EXPECT_FALSE(game.rules.playerCaught);
}

TEST(Tick, CatchDistanceIsFewerThanFifteenPixels) {
    HeadlessGame game(5);
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    // Keep the ghosts away: all but red wait in the house.
    for (Ghost* g : {greenGhost, orangeGhost, turquoiseGhost}) {
        g->SetReleased(false);
        g->SetReleaseCountdown(1000);
    }
    redGhost->SetSlowDown(1000);  // it stays where it is put
    redGhost->position = GridPoint(game.player.position.x + 9, game.player.position.y + 12);
    game.rules.Tick();
    EXPECT_FALSE(game.rules.playerCaught);
    redGhost->position = GridPoint(game.player.position.x + 10, game.player.position.y + 11);
    game.rules.Tick();
    EXPECT_TRUE(game.rules.playerCaught);
}

TEST(Tick, TwoGhostsInOneTickOneEatenOneCatching) {
    HeadlessGame game(5);
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    orangeGhost->SetReleased(false);
    orangeGhost->SetReleaseCountdown(1000);
    turquoiseGhost->SetReleased(false);
    turquoiseGhost->SetReleaseCountdown(1000);
    redGhost->SetBlue(true);
    redGhost->SetSlowDown(1000);
    greenGhost->SetSlowDown(1000);
    redGhost->position = game.player.position;
    greenGhost->position = GridPoint(game.player.position.x + 5, game.player.position.y);
    game.rules.Tick();
    EXPECT_EQ(game.player.Score(), ghost_value);
    EXPECT_FALSE(redGhost->IsReleased());
    EXPECT_TRUE(game.rules.playerCaught);
}

TEST(Tick, LastFoodWinsMidTickAndTheRestOfTheTickRuns) {
    HeadlessGame game(5);
    game.player.script = [](ScriptedPlayer& p) { p.SetDirection(0); };
    for (int32_t& code : MazeGrid) {
        if (code == CELL_DOT || code == CELL_PILL) {
            code = CELL_EMPTY;
        }
    }
    MazeGrid[GridIndex(9, 9)] = CELL_DOT;
    foodLeft = 1;
    redGhost->SetSlowDown(1000);
    redGhost->position = game.player.position;
    const int32_t scatterBefore = scatterCountdown;
    game.rules.Tick();
    EXPECT_TRUE(gameWon);
    EXPECT_TRUE(game.rules.playerCaught);  // collisions still ran
    EXPECT_EQ(scatterCountdown, scatterBefore - 1);
}

TEST(Game, GhostsEventuallyCatchAPlayerWhoIgnoresThem) {
    int lost = 0;
    int won = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        HeadlessGame game(seed);
        game.EatNearestFood();
        game.Play(20000);
        ASSERT_TRUE(game.Over()) << seed;
        lost += game.rules.playerCaught;
        won += gameWon;
        if (game.rules.playerCaught && !gameWon) {
            EXPECT_GT(foodLeft, 0);
        }
    }
    EXPECT_GT(lost, 0);
    EXPECT_GE(lost + won, 10);  // every game ended, some both ways in one tick
}

// Positions of every sprite, tick by tick, folded into one number: any change to the
// order or number of random draws, or to a move rule, changes it.
uint64_t Fingerprint(uint32_t seed, int ticks) {
    HeadlessGame game(seed);
    game.EatNearestFood();
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int32_t v) {
        h ^= static_cast<uint32_t>(v);
        h *= 1099511628211ull;
    };
    for (int t = 0; t < ticks && !game.Over(); ++t) {
        game.rules.Tick();
        for (int i = 0; i < 4; ++i) {
            mix(AllGhosts()[i]->position.x);
            mix(AllGhosts()[i]->position.y);
        }
        mix(game.player.position.x);
        mix(game.player.position.y);
    }
    mix(game.player.Score());
    return h;
}

TEST(Game, SameSeedSameGame) {
    EXPECT_EQ(Fingerprint(11, 3000), Fingerprint(11, 3000));
    EXPECT_NE(Fingerprint(11, 3000), Fingerprint(12, 3000));
}

TEST(Game, RecordedFingerprintStaysTheSame) {
    EXPECT_EQ(Fingerprint(2024, 5000), 8422758101875609620u);
}

TEST(Game, RecordedRunStaysTheSame) {
    HeadlessGame game(2024);
    game.EatNearestFood();
    std::ostringstream trace;
    for (int t = 1; t <= 600; ++t) {
        game.rules.Tick();
        if (t % 100 == 0) {
            trace << t << ":";
            for (int i = 0; i < 4; ++i) {
                trace << " " << AllGhosts()[i]->position.x << "," << AllGhosts()[i]->position.y;
            }
            trace << " p" << game.player.position.x << "," << game.player.position.y << "\n";
        }
    }
    EXPECT_EQ(trace.str(),
              "100: 211,310 169,310 211,310 211,310 p130,150\n"
              "200: 271,350 109,350 229,350 271,350 p30,150\n"
              "300: 319,310 90,281 219,410 299,410 p50,70\n"
              "400: 321,350 130,239 290,381 350,361 p70,30\n"
              "500: 299,410 170,299 319,310 261,350 p170,30\n"
              "600: 350,361 121,350 350,379 210,301 p270,30\n");
}

}  // namespace
