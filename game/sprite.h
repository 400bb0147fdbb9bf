// Sprites: the directions, the moving sprite, and the Gulper with its score.
#pragma once

#include <cstdint>

#include "framework/Image.h"
#include "game/grid_point.h"
#include "game/maze.h"

enum : int32_t {
    DIR_LEFT = 1,
    DIR_UP = 2,
    DIR_RIGHT = 4,
    DIR_DOWN = 8,
};

// LEFT <-> RIGHT and UP <-> DOWN by shifting the bit two places round.
inline int32_t ReverseDirection(int32_t d) {
    int32_t r = 4 * d;
    return r > 8 ? r / 16 : r;
}

inline bool IsDirection(int32_t d) {
    return d == DIR_LEFT || d == DIR_UP || d == DIR_RIGHT || d == DIR_DOWN;
}

const GridPoint PLAYER_START(190, 190);

// Anything that moves through the maze one pixel at a time: the Gulper and the ghosts.
class Sprite {
  public:
    // Open directions when standing exactly on a cell centre, else 0. Ghosts are never
    // offered their reverse.
    int32_t AvailableDirections(const MazeCells& grid) const {
        // Asked of every sprite every tick, and nineteen times in twenty off a centre.
        return IsCellCentre(position) ? DirectionsAtCentre(grid) : 0;
    }
    // One pixel in `direction`, unless the slow-down gate holds the sprite back or a wall
    // (or, for the player, the door) blocks it on a centre.
    bool Step(const MazeCells& grid) {
        ++slowCounter;
        if (slowCounter < slowDown) {
            return false;
        }
        slowCounter = 0;
        return Advance(grid);
    }
    GridPoint CellPosition() const { return CellOfPixel(position); }
    // Releases the pictures, left, right, up, down.
    ~Sprite();

    void SetDirection(int32_t d) { direction = d; }
    void SetSlowDown(int32_t n) { slowDown = n; }

    GridPoint position;
    int32_t slowDown = 1;
    int32_t slowCounter = 0;
    Image imageLeft;
    Image imageRight;
    Image imageDown;
    Image imageUp;
    int32_t direction = DIR_LEFT;
    int32_t ghostId = 0;

  private:
    // AvailableDirections on a cell centre.
    int32_t DirectionsAtCentre(const MazeCells& grid) const;
    // The step itself, once the slow-down gate lets the sprite go.
    bool Advance(const MazeCells& grid);
};

// The Gulper's sprite. The game steers it through Think at each cell centre.
class PlayerSprite : public Sprite {
  public:
    PlayerSprite();
    virtual ~PlayerSprite();
    virtual void Think() = 0;

    void ResetPlayer();
    int32_t Score() const { return score; }
    void AddScore(int32_t n) { score += n; }
    // Eats the food of the cell centre it stands on, then steps.
    bool MoveAndEat(MazeCells& grid);

    int32_t score = 0;
};
