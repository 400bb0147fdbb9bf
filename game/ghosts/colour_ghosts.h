// The four ghosts, each with its own way of moving in attack mode.
#pragma once

#include "game/game_state.h"
#include "game/ghosts/ghost.h"

// Chases the player half the time, else prefers a right turn.
class RedGhost : public Ghost {
  public:
    RedGhost();
    ~RedGhost() override;
    bool Move(const MazeCells& grid) override;
};

// Chases the player half the time, else prefers a left turn.
class GreenGhost : public Ghost {
  public:
    GreenGhost();
    ~GreenGhost() override;
    bool Move(const MazeCells& grid) override;
};

// Chases the player half the time, else wanders at random.
class OrangeGhost : public Ghost {
  public:
    OrangeGhost();
    ~OrangeGhost() override;
    bool Move(const MazeCells& grid) override;
};

// Ignores the player and wanders at random.
class TurquoiseGhost : public Ghost {
  public:
    TurquoiseGhost();
    ~TurquoiseGhost() override;
    bool Move(const MazeCells& grid) override;
};

// A new ghost of a colour, in the house.
Ghost* NewGhost(GhostColour colour);
