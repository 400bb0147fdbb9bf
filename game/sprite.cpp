// Sprite movement: the open directions at a centre, the step, the tunnel; the Gulper's eating.
#include "game/sprite.h"

#include "game/game_state.h"
#include "game/sprite_pictures.h"

int32_t Sprite::DirectionsAtCentre(const MazeCells& grid) const {
    const int32_t excluded = ghostId != 0 ? ReverseDirection(direction) : 0;
    const GridPoint cell = CellOfPixel(position);
    const int i = GridIndex(cell.x, cell.y);
    int32_t avail = 0;
    if (excluded != DIR_LEFT && IsOpenCell(grid[i - 1])) {
        avail |= DIR_LEFT;
    }
    if (excluded != DIR_RIGHT && IsOpenCell(grid[i + 1])) {
        avail |= DIR_RIGHT;
    }
    if (excluded != DIR_DOWN && IsOpenCell(grid[i + BOARD_COLUMNS])) {
        avail |= DIR_DOWN;
    }
    if (excluded != DIR_UP && IsOpenCell(grid[i - BOARD_COLUMNS])) {
        avail |= DIR_UP;
    }
    return avail;
}

bool Sprite::Advance(const MazeCells& grid) {
    if (AvailableDirections(grid) != 0 && IsDirection(direction)) {
        const int i = GridIndex(position.x / CELL_SIZE, position.y / CELL_SIZE);
        int next = i;
        switch (direction) {
            case DIR_LEFT:
                next = i - 1;
                break;
            case DIR_UP:
                next = i - BOARD_COLUMNS;
                break;
            case DIR_RIGHT:
                next = i + 1;
                break;
            case DIR_DOWN:
                next = i + BOARD_COLUMNS;
                break;
        }
        const int32_t code = grid[next];
        if (code == CELL_WALL) {
            return false;
        }
        if (code == CELL_DOOR && (direction == DIR_UP || direction == DIR_DOWN) && ghostId == 0) {
            return false;
        }
        if (code == CELL_TUNNEL) {
            // Come out of the other side.
            if (direction == DIR_LEFT) {
                position.x += TUNNEL_JUMP;
            } else if (direction == DIR_RIGHT) {
                position.x -= TUNNEL_JUMP;
            }
        }
    }

    switch (direction) {
        case DIR_LEFT:
            --position.x;
            break;
        case DIR_UP:
            ++position.y;
            break;
        case DIR_RIGHT:
            ++position.x;
            break;
        case DIR_DOWN:
            --position.y;
            break;
        default:
            break;  // no direction: stand still
    }
    return true;
}

namespace {
void Release(Image& image) {
    if (image.IsValid()) {
        image.Clear();
    }
}
}  // namespace

Sprite::~Sprite() {
    Release(imageLeft);
    Release(imageRight);
    Release(imageUp);
    Release(imageDown);
}

PlayerSprite::PlayerSprite() {
    LoadSpritePicture(imageLeft, "data//gulperleft.tga");
    LoadSpritePicture(imageRight, "data//gulperright.tga");
    LoadSpritePicture(imageDown, "data//gulperdown.tga");
    LoadSpritePicture(imageUp, "data//gulperup.tga");
    position = PLAYER_START;
    direction = DIR_LEFT;
    ghostId = 0;
    score = 0;
}

PlayerSprite::~PlayerSprite() = default;

void PlayerSprite::ResetPlayer() {
    position = PLAYER_START;
    direction = DIR_LEFT;
    score = 0;
}

bool PlayerSprite::MoveAndEat(MazeCells& grid) {
    if (AvailableDirections(grid) != 0) {
        const int i = GridIndex(position.x / CELL_SIZE, position.y / CELL_SIZE);
        if (grid[i] == CELL_DOT) {
            AddScore(DotValue());
            DotEaten();
            grid[i] = CELL_EMPTY;
        } else if (grid[i] == CELL_PILL) {
            AddScore(PowerPillValue());
            grid[i] = CELL_EMPTY;
            PowerPillEaten();
        }
    }
    return Step(grid);
}
