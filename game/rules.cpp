// The rules: making and removing the ghosts, a new game, the tick, eating and steering by
// the arrow keys.
#include "game/game_rules.h"

#include "game/game_state.h"
#include "game/ghosts/colour_ghosts.h"
#include "game/sprite.h"

namespace {

constexpr int32_t FIRST_SCATTER_TICKS = 30;

}  // namespace

void DotEaten() {
    --foodLeft;
    if (foodLeft == 0) {
        gameWon = true;
    }
}

void PowerPillEaten() {
    ForEachGhost([](Ghost& ghost, GhostColour) { ghost.SetBlue(true); });
    ForEachGhost([](Ghost& ghost, GhostColour) { ghost.SetSlowDown(powerpill_slowdown_factor); });
    blueCountdown = n_moves_blue_ghosts;
    DotEaten();
}

GameRules::GameRules() = default;

GameRules::~GameRules() {
    DestroyGhosts();
}

void GameRules::CreateGhosts() {
    for (GhostColour colour : TICK_ORDER) {
        if (ghostEnabled[colour]) {
            GhostOf(colour) = NewGhost(colour);
        }
    }
}

void GameRules::DestroyGhosts() {
    for (GhostColour colour : TICK_ORDER) {
        delete GhostOf(colour);
        GhostOf(colour) = nullptr;
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
    ForEachGhost(
        [this](Ghost& ghost, GhostColour colour) {
            ghost.ReturnToHouse();
            ghost.SetSlowDown(ghostSlowDown[colour]);
            ghost.SetBlue(false);
        },
        HOUSE_ORDER);
    playerAgent->ResetPlayer();
    ResetMaze();
}

void GameRules::Tick() {
    ForEachGhost([](Ghost& ghost, GhostColour) { ghost.Update(MazeGrid); });

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
            ForEachGhost([](Ghost& ghost, GhostColour) { ghost.SetBlue(false); });
            ForEachGhost([this](Ghost& ghost, GhostColour colour) {
                ghost.SetSlowDown(ghostSlowDown[colour]);
            });
        }
    }

    ForEachGhost([this, player](Ghost& ghost, GhostColour) {
        if (!ghost.IsReleased() || !ghost.WithinCatchDistance()) {
            return;
        }
        if (ghost.IsBlue()) {
            player->AddScore(ghost_value);
            ghost.ReturnToHouse();
            ghost.SetReleased(false);
            ghost.SetReleaseCountdown(n_moves_ghost_appears);
        } else {
            playerCaught = true;
        }
    });

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

void GameRules::LoadConfig() {
    LoadSettings(SETTINGS_FILE, *this);
}

bool GameRules::LoadConfigFrom(const char* fileName) {
    return LoadSettings(fileName, *this);
}

void GameRules::LoadConfigText(const std::string& text) {
    LoadSettingsText(text, *this);
}
