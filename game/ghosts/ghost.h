// The ghost every colour derives from: the house, the modes and the shared moves.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "game/sprite.h"

const GridPoint HOUSE_START(190, 231);
const GridPoint SCATTER_TARGET(190, 270);

// The one direction that points from a sprite toward an offset (dx, dy).
int32_t ChaseDirection(int32_t dx, int32_t dy);
// A quarter turn clockwise (left, up, right, down, left) or anticlockwise.
int32_t TurnClockwise(int32_t d);
int32_t TurnAnticlockwise(int32_t d);

// What every ghost does: wait in the house after being eaten, and move by the mode.
class Ghost : public Sprite {
  public:
    Ghost();
    virtual ~Ghost();
    // The attack-mode move of the ghost's colour.
    virtual bool Move(const MazeCells& grid) = 0;

    bool Update(const MazeCells& grid);
    bool ScatterMove(const MazeCells& grid);
    bool RandomMove(const MazeCells& grid);
    void ReturnToHouse();

    void SetReleased(bool b) { released = b; }
    bool IsReleased() const { return released; }
    void SetReleaseCountdown(int32_t n) { releaseCountdown = n; }
    void SetBlue(bool b) { blue = b; }
    bool IsBlue() const { return blue; }

    // Pixel distance to the player, truncated.
    int32_t DistanceToPlayer() const;
    // DistanceToPlayer() < CATCH_DISTANCE, without the square root: the truncated root of a
    // whole number is below a whole limit exactly when the number is below the limit squared.
    bool WithinCatchDistance() const {
        const Sprite* player = playerAgent;  // PlayerSpritePtr(), without the call
        const int32_t dx = player->position.x - position.x;
        const int32_t dy = player->position.y - position.y;
        return dx * dx + dy * dy < CATCH_DISTANCE * CATCH_DISTANCE;
    }

    bool released = true;
    bool blue = false;
    int32_t releaseCountdown = 0;
    Image blueImageLeft;
    Image blueImageRight;
    Image blueImageDown;
    Image blueImageUp;

  protected:
    // The colour's own four pictures, "data//<colour>ghost<direction>.tga".
    void LoadPictures(const char* colour);
    // Takes the random branch of the orange ghost and of blue ghosts: draws until a
    // direction is open. `avail` holds at least one direction bit.
    static int32_t RandomDirection(int32_t avail);
    // The shape of every move: choose on a centre only, keep the old direction when the
    // step does not move.
    template <typename Choose>
    bool MoveWith(const MazeCells& grid, Choose choose) {
        const int32_t old = direction;
        const int32_t avail = AvailableDirections(grid);
        if (avail != 0) {
            direction = choose(avail);
        }
        const bool moved = Step(grid);
        if (!moved) {
            direction = old;
        }
        return moved;
    }
    // The chasers' first choice: draws r and answers whether r > 0.5 and the direction
    // toward the player, left in *chase, is open.
    bool DrawChase(int32_t avail, int32_t* chase) const;
};
