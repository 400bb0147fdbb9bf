#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "game/game_state.h"
#include "game/grid_point.h"
#include "game/maze.h"
#include "game/sprite.h"

// What CellContent reports beyond the maze codes.
enum : int32_t {
    CELL_OFF_BOARD = -1,
    CELL_FRUIT = 6,
    CELL_RED_GHOST = 10,
    CELL_ORANGE_GHOST = 11,
    CELL_GREEN_GHOST = 12,
    CELL_TURQUOISE_GHOST = 13,
    CELL_BLUE_GHOST = 14,
};

// The agent's decision states.
enum : int32_t {
    STATE_FLEEING = 0,
    STATE_FEEDING = 1,
    STATE_HUNTING = 2,
    STATE_GOING_FOR_FRUIT = 3,
};

// Distances in cells, compared strictly.
constexpr double NEAR_DISTANCE = 4.0;
constexpr double FRUIT_DISTANCE = 6.0;
constexpr double HUNT_DISTANCE = 7.0;

// Where ghosts wait after being eaten; fleeing and hunting ignore a ghost there.
const GridPoint GHOST_HOUSE_CELL(9, 11);

// The agent's tables have one entry per cell, column by column.
inline int AgentIndex(int x, int y) {
    return x * BOARD_ROWS + y;
}

// The path search's record of one cell.
struct PathNode {
    int32_t f = 0;
    int32_t h = 0;
    int32_t g = 0;
    int32_t x = 0;
    int32_t y = 0;
    PathNode* parent = nullptr;
    int32_t direction = 0;  // next step toward the goal; written only along a found route
};

// What is at cell (x, y) now: the maze code, the fruit, a ghost, or off the board.
int32_t CellContent(int32_t x, int32_t y);

// The first existing ghost (red, green, orange, turquoise) speaks for all: the blue time
// starts and ends for every ghost together.
bool GhostsAreBlue();
GridPoint FruitCell();
// A ghost's cell, or (0, 0) when the ghost does not exist.
GridPoint GhostCell(GhostColour colour);
GridPoint RedGhostCell();
GridPoint GreenGhostCell();
GridPoint OrangeGhostCell();
GridPoint TurquoiseGhostCell();

// The Gulper steered by the agent. It plans afresh at every cell: flee, feed, hunt blue
// ghosts or go for the fruit, each by the first step of a fresh route.
class PlayerAgent : public PlayerSprite {
  public:
    PlayerAgent();
    ~PlayerAgent() override;
    void Think() override;

    double Distance(const GridPoint& a, const GridPoint& b) const;

    // Path search (A* over the cells, every step costing 1).
    void ResetNodes();
    bool FindPath(const GridPoint& start, const GridPoint& goal);
    PathNode* PopBestOpenNode();
    bool IsInOpenList(const PathNode* node) const;
    bool IsInClosedList(const PathNode* node) const;
    void ConstructPath(PathNode* goal, PathNode* start);

    // Breadth-first flood over the whole board, walls ignored.
    GridPoint FindNearestFood(const GridPoint& start);

    bool IsGhostNear();

    void Flee();
    void FleeFrom(const GridPoint& ghostCell);
    void ChooseEscapeDirection(float x, float y);
    void FleeFromTwo(const std::vector<GridPoint>& near);
    void FleeFromNearest(const std::vector<GridPoint>& near);

    void Feed();
    void Hunt();
    void GoForFruit();
    bool ShouldHunt() const;
    void SteerAlongPath();

    PathNode* NodeAt(int x, int y) { return nodes[AgentIndex(x, y)].get(); }

    std::array<uint8_t, BOARD_CELLS> visited{};
    std::deque<GridPoint> foodQueue;
    std::vector<PathNode*> closedList;
    std::vector<PathNode*> openList;
    std::array<std::unique_ptr<PathNode>, BOARD_CELLS> nodes;
    int32_t state = STATE_FEEDING;

    // Existing ghosts off the house cell closer than `limit` to a cell, in FLEE_ORDER: those
    // fleeing runs from and hunting chases. Without a cell, from the Gulper's own.
    std::vector<GridPoint> GhostsWithin(const GridPoint& from, double limit) const;
    std::vector<GridPoint> GhostsWithin(double limit) const;

  private:
    // The entry nearest the Gulper; ties stay with the earlier one.
    GridPoint NearestOf(const std::vector<GridPoint>& cells) const;
    bool IsWall(int x, int y) const { return CellContent(x, y) == CELL_WALL; }
};
