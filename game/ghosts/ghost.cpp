// What every ghost does: the house, the modes, the blue time and the moves they share.
#include "game/ghosts/ghost.h"

#include <cmath>

#include "game/game_state.h"
#include "game/random.h"
#include "game/sprite_pictures.h"

int32_t ChaseDirection(int32_t dx, int32_t dy) {
    if (dx > 0) {
        if (dy > 0) {
            return dy > dx ? DIR_UP : DIR_RIGHT;
        }
        return dx + dy > 0 ? DIR_RIGHT : DIR_DOWN;
    }
    if (dy > 0) {
        return dx + dy > 0 ? DIR_UP : DIR_LEFT;
    }
    return dx < dy ? DIR_LEFT : DIR_DOWN;
}

int32_t TurnClockwise(int32_t d) {
    d *= 2;
    return d == 16 ? DIR_LEFT : d;
}

int32_t TurnAnticlockwise(int32_t d) {
    d /= 2;
    return d == 0 ? DIR_DOWN : d;
}

Ghost::Ghost() {
    released = true;
    releaseCountdown = 0;
    position = HOUSE_START;
    direction = DIR_UP;
    blue = false;
    LoadSpritePicture(blueImageLeft, "data//blueghostleft.tga");
    LoadSpritePicture(blueImageRight, "data//blueghostright.tga");
    LoadSpritePicture(blueImageUp, "data//blueghostup.tga");
    LoadSpritePicture(blueImageDown, "data//blueghostdown.tga");
}

Ghost::~Ghost() {
    for (Image* image : {&blueImageLeft, &blueImageRight, &blueImageUp, &blueImageDown}) {
        if (image->IsValid()) {
            image->Clear();
        }
    }
}

bool Ghost::Update(const MazeCells& grid) {
    if (!released) {
        --releaseCountdown;
        if (releaseCountdown > 0) {
            return false;
        }
        ReturnToHouse();
        return true;
    }
    if (blue) {
        return RandomMove(grid);
    }
    if (attackMode) {
        return Move(grid);
    }
    return ScatterMove(grid);
}

namespace {
// The other axis's direction of the same row of the chase table.
int32_t SecondChoice(int32_t dx, int32_t dy) {
    if (dx > 0) {
        if (dy > 0) {
            return dy > dx ? DIR_RIGHT : DIR_UP;
        }
        return dx + dy > 0 ? DIR_DOWN : DIR_RIGHT;
    }
    if (dy > 0) {
        return dx + dy > 0 ? DIR_LEFT : DIR_UP;
    }
    return dx < dy ? DIR_DOWN : DIR_LEFT;
}
}  // namespace

bool Ghost::ScatterMove(const MazeCells& grid) {
    return MoveWith(grid, [this](int32_t avail) {
        const int32_t dx = SCATTER_TARGET.x - position.x;
        const int32_t dy = SCATTER_TARGET.y - position.y;
        const int32_t first = ChaseDirection(dx, dy);
        const int32_t second = SecondChoice(dx, dy);
        if ((first & avail) != 0) {
            return first;
        }
        if ((second & avail) != 0) {
            return second;
        }
        const bool clockwise = RandomUnit() < 0.5;
        int32_t d = second;
        for (int turn = 0; turn < 3; ++turn) {
            d = clockwise ? TurnClockwise(d) : TurnAnticlockwise(d);
            if ((d & avail) != 0) {
                return d;
            }
        }
        return second;
    });
}

int32_t Ghost::RandomDirection(int32_t avail) {
    for (;;) {
        const double r = RandomUnit();
        const int32_t d = r < 0.25 ? DIR_UP : r < 0.5 ? DIR_RIGHT : r < 0.75 ? DIR_DOWN : DIR_LEFT;
        if ((d & avail) != 0) {
            return d;
        }
    }
}

bool Ghost::RandomMove(const MazeCells& grid) {
    return MoveWith(grid, [](int32_t avail) { return RandomDirection(avail); });
}

void Ghost::ReturnToHouse() {
    released = true;
    releaseCountdown = 0;
    position = HOUSE_START;
    direction = DIR_UP;
}

int32_t Ghost::DistanceToPlayer() const {
    const Sprite* player = PlayerSpritePtr();
    const double dx = player->position.x - position.x;
    const double dy = player->position.y - position.y;
    return static_cast<int32_t>(std::sqrt(dx * dx + dy * dy));
}

bool Ghost::DrawChase(int32_t avail, int32_t* chase) const {
    const double r = RandomUnit();
    const Sprite* player = PlayerSpritePtr();
    *chase = ChaseDirection(player->position.x - position.x, player->position.y - position.y);
    return r > 0.5 && (*chase & avail) != 0;
}
