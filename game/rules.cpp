#include "game/game_rules.h"

#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"
#include "game/sprite.h"

namespace {

constexpr int32_t FIRST_SCATTER_TICKS = 30;
constexpr int32_t CATCH_DISTANCE = 15;

Ghost** const GHOSTS_BY_COLOUR[4] = {&redGhost, &greenGhost, &orangeGhost, &turquoiseGhost};

}  // namespace

void DotEaten() {
    --foodLeft;
    if (foodLeft == 0) {
        gameWon = true;
    }
}

void PowerPillEaten() {
    for (Ghost** slot : GHOSTS_BY_COLOUR) {
        if (*slot != nullptr) {
            (*slot)->SetBlue(true);
        }
    }
    for (Ghost** slot : GHOSTS_BY_COLOUR) {
        if (*slot != nullptr) {
            (*slot)->SetSlowDown(powerpill_slowdown_factor);
        }
    }
    blueCountdown = n_moves_blue_ghosts;
    DotEaten();
}

GameRules::GameRules() = default;

GameRules::~GameRules() {
    DestroyGhosts();
}

void GameRules::CreateGhosts() {
    if (ghostEnabled[GHOST_RED]) {
        redGhost = new RedGhost();
    }
    if (ghostEnabled[GHOST_GREEN]) {
        greenGhost = new GreenGhost();
    }
    if (ghostEnabled[GHOST_ORANGE]) {
        orangeGhost = new OrangeGhost();
    }
    if (ghostEnabled[GHOST_TURQUOISE]) {
        turquoiseGhost = new TurquoiseGhost();
    }
}

void GameRules::DestroyGhosts() {
    for (Ghost** slot : GHOSTS_BY_COLOUR) {
        delete *slot;
        *slot = nullptr;
    }
}

void GameRules::NewGame() {
    fruitCountdown = fruitDelay;
    scatterCountdown = FIRST_SCATTER_TICKS;
    fruitVisible = false;
    SetScatterMode(true);
    tickIntervalMs = 1000 / fps;
    startScreen = true;
    gameWon = false;
    playerCaught = false;
    // Every ghost leaves the house together at the start of a game.
    const GhostColour resetOrder[] = {GHOST_RED, GHOST_ORANGE, GHOST_GREEN, GHOST_TURQUOISE};
    for (GhostColour colour : resetOrder) {
        Ghost* ghost = *GHOSTS_BY_COLOUR[colour];
        if (ghost != nullptr) {
            ghost->ReturnToHouse();
            ghost->SetSlowDown(ghostSlowDown[colour]);
            ghost->SetBlue(false);
        }
    }
    playerAgent->ResetPlayer();
    ResetMaze();
}

void GameRules::Tick() {
    for (Ghost** slot : GHOSTS_BY_COLOUR) {
        if (*slot != nullptr) {
            (*slot)->Update(MazeGrid);
        }
    }

    PlayerSprite* player = playerAgent;
    const int32_t avail = player->AvailableDirections(MazeGrid);
    if (avail != 0) {
        if (keyboardControl) {
            SteerByKeys(avail);
        } else {
            player->Think();
        }
    }

    player->MoveAndEat(MazeGrid);

    const bool fruitWasVisible = fruitVisible;
    if (!fruitVisible && fruitCountdown > 0) {
        --fruitCountdown;
        if (fruitCountdown == 0) {
            fruitVisible = true;
        }
    }
    if (fruitWasVisible && player->position == FRUIT_POSITION) {
        fruitVisible = false;
        player->AddScore(fruit_value);
        fruitCountdown = fruitDelay;
    }

    if (blueCountdown > 0) {
        --blueCountdown;
        if (blueCountdown == 0) {
            for (Ghost** slot : GHOSTS_BY_COLOUR) {
                if (*slot != nullptr) {
                    (*slot)->SetBlue(false);
                }
            }
            for (int colour = 0; colour < 4; ++colour) {
                if (*GHOSTS_BY_COLOUR[colour] != nullptr) {
                    (*GHOSTS_BY_COLOUR[colour])->SetSlowDown(ghostSlowDown[colour]);
                }
            }
        }
    }

    for (Ghost** slot : GHOSTS_BY_COLOUR) {
        Ghost* ghost = *slot;
        if (ghost == nullptr || !ghost->IsReleased() ||
            ghost->DistanceToPlayer() >= CATCH_DISTANCE) {
            continue;
        }
        if (ghost->IsBlue()) {
            player->AddScore(ghost_value);
            ghost->ReturnToHouse();
            ghost->SetReleased(false);
            ghost->SetReleaseCountdown(n_moves_ghost_appears);
        } else {
            playerCaught = true;
        }
    }

    if (IsScatterMode()) {
        --scatterCountdown;
        if (scatterCountdown <= 0) {
            attackCountdown = length_attack_mode;
            SetAttackMode(true);
        }
    } else {
        --attackCountdown;
        if (attackCountdown <= 0) {
            scatterCountdown = length_scatter_mode;
            SetScatterMode(true);
        }
    }
}

void GameRules::SteerByKeys(int32_t avail) {
    PlayerSprite* player = playerAgent;
    if (keyUp && (avail & DIR_UP) != 0) {
        player->SetDirection(DIR_UP);
    } else if (keyDown && (avail & DIR_DOWN) != 0) {
        player->SetDirection(DIR_DOWN);
    } else if (keyLeft && (avail & DIR_LEFT) != 0) {
        player->SetDirection(DIR_LEFT);
    } else if (keyRight && (avail & DIR_RIGHT) != 0) {
        player->SetDirection(DIR_RIGHT);
    }
}
