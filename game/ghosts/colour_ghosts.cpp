// The four ghosts' pictures and attack-mode moves.
#include "game/ghosts/colour_ghosts.h"

#include <string>

#include "game/sprite_pictures.h"

namespace {
// Turns from d until an open direction comes up; d itself is tried last.
template <typename Turn>
int32_t FirstOpenTurn(int32_t d, int32_t avail, Turn turn) {
    for (int i = 0; i < 4; ++i) {
        d = turn(d);
        if ((d & avail) != 0) {
            return d;
        }
    }
    return d;
}
}  // namespace

void Ghost::LoadPictures(const char* colour) {
    const std::string base = std::string("data//") + colour + "ghost";
    LoadSpritePicture(imageLeft, (base + "left.tga").c_str());
    LoadSpritePicture(imageRight, (base + "right.tga").c_str());
    LoadSpritePicture(imageDown, (base + "down.tga").c_str());
    LoadSpritePicture(imageUp, (base + "up.tga").c_str());
}

RedGhost::RedGhost() {
    position = HOUSE_START;
    LoadPictures("red");
    direction = DIR_UP;
    ghostId = 1;
}
RedGhost::~RedGhost() = default;

bool RedGhost::Move(const MazeCells& grid) {
    return MoveWith(grid, [this](int32_t avail) {
        int32_t chase = 0;
        if (DrawChase(avail, &chase)) {
            return chase;
        }
        return FirstOpenTurn(direction, avail, TurnClockwise);
    });
}

GreenGhost::GreenGhost() {
    position = HOUSE_START;
    LoadPictures("green");
    direction = DIR_UP;
    ghostId = 2;
}
GreenGhost::~GreenGhost() = default;

bool GreenGhost::Move(const MazeCells& grid) {
    return MoveWith(grid, [this](int32_t avail) {
        int32_t chase = 0;
        if (DrawChase(avail, &chase)) {
            return chase;
        }
        return FirstOpenTurn(direction, avail, TurnAnticlockwise);
    });
}

OrangeGhost::OrangeGhost() {
    position = HOUSE_START;
    LoadPictures("orange");
    direction = DIR_UP;
    ghostId = 3;
}
OrangeGhost::~OrangeGhost() = default;

bool OrangeGhost::Move(const MazeCells& grid) {
    return MoveWith(grid, [this](int32_t avail) {
        int32_t chase = 0;
        if (DrawChase(avail, &chase)) {
            return chase;
        }
        return RandomDirection(avail);
    });
}

TurquoiseGhost::TurquoiseGhost() {
    position = HOUSE_START;
    LoadPictures("turquoise");
    direction = DIR_UP;
    ghostId = 4;
}
TurquoiseGhost::~TurquoiseGhost() = default;

bool TurquoiseGhost::Move(const MazeCells& grid) {
    return RandomMove(grid);
}

Ghost* NewGhost(GhostColour colour) {
    switch (colour) {
        case GHOST_RED:
            return new RedGhost();
        case GHOST_GREEN:
            return new GreenGhost();
        case GHOST_ORANGE:
            return new OrangeGhost();
        case GHOST_TURQUOISE:
            return new TurquoiseGhost();
    }
    return nullptr;
}
