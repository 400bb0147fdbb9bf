// The agent that plays the Gulper: what it sees of a cell, its searches, its sensing,
// its behaviours and its decision state.
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
    // Starts feeding, with fresh search records; the PlayerSprite part loads the pictures.
    PlayerAgent();
    ~PlayerAgent() override;
    // One decision at a cell centre: chooses the state, runs its behaviour, which leaves the
    // next step in `direction`, and logs the state's banner.
    void Think() override;

    // Straight-line distance between two cells, in cells.
    double Distance(const GridPoint& a, const GridPoint& b) const;

    // Path search: A* over the cells, every step costing 1, walls as CellContent shows them.
    // Gives every record a fresh start, its direction the Gulper's own.
    void ResetNodes();
    // Searches from start to goal and logs the route; true when one was found, with each
    // record along it holding its first step toward the goal. It starts as ResetNodes does,
    // putting back only the records its own searches wrote since: code that writes records
    // itself calls ResetNodes before the next search.
    bool FindPath(const GridPoint& start, const GridPoint& goal);
    // Takes the open record of least f, the earliest appended among equals.
    PathNode* PopBestOpenNode();
    bool IsInOpenList(const PathNode* node) const;
    bool IsInClosedList(const PathNode* node) const;
    // Walks back from the goal along the parents, writing each step's direction.
    void ConstructPath(PathNode* goal, PathNode* start);

    // Breadth-first flood over the whole board, walls ignored: the nearest dot or pill, or
    // the start when none is left.
    GridPoint FindNearestFood(const GridPoint& start);

    // Whether a ghost is under NEAR_DISTANCE away, logging the first one found.
    bool IsGhostNear();

    // Away from the near ghosts: one, two, or the nearest of three or more.
    void Flee();
    void FleeFrom(const GridPoint& ghostCell);
    // Turns to the first direction along the vector (x, y) away from a ghost whose next cell
    // is no wall; keeps going when no direction is better than another.
    void ChooseEscapeDirection(float x, float y);
    void FleeFromTwo(const std::vector<GridPoint>& near);
    void FleeFromNearest(const std::vector<GridPoint>& near);

    // The first step toward the nearest food, the nearest blue ghost, or the fruit.
    void Feed();
    void Hunt();
    void GoForFruit();
    // Whether a ghost out of the house is under HUNT_DISTANCE away (asked while they are blue).
    bool ShouldHunt() const;
    // Takes the first step of the last route found.
    void SteerAlongPath();

    PathNode* NodeAt(int x, int y) { return nodes[AgentIndex(x, y)].get(); }

    // Existing ghosts off the house cell closer than `limit` to a cell, in FLEE_ORDER: those
    // fleeing runs from and hunting chases. Without a cell, from the Gulper's own.
    std::vector<GridPoint> GhostsWithin(const GridPoint& from, double limit) const;
    std::vector<GridPoint> GhostsWithin(double limit) const;

    // The food search's marks and queue, the route search's lists and its records (one per
    // cell, index AgentIndex), and the decision state. Nothing of a plan outlives a decision.
    std::array<uint8_t, BOARD_CELLS> visited{};
    std::deque<GridPoint> foodQueue;
    std::vector<PathNode*> closedList;
    std::vector<PathNode*> openList;
    std::array<std::unique_ptr<PathNode>, BOARD_CELLS> nodes;
    int32_t state = STATE_FEEDING;

  private:
    // ResetNodes for the records the searches wrote since the last one; the others still hold
    // their fresh start, but the direction only if the Gulper's is still the same.
    void ResetWrittenNodes();
    // Notes that the search writes the record at `index`.
    void MarkWritten(int index) {
        if (!written[index]) {
            written[index] = true;
            writtenList[writtenCount++] = static_cast<uint16_t>(index);
        }
    }
    std::array<bool, BOARD_CELLS> written{};
    std::array<uint16_t, BOARD_CELLS> writtenList{};
    size_t writtenCount = 0;
    // The direction every record not written since the last reset holds.
    int32_t restingDirection = 0;

    // The entry nearest the Gulper; ties stay with the earlier one.
    GridPoint NearestOf(const std::vector<GridPoint>& cells) const;
    bool IsWall(int x, int y) const { return CellContent(x, y) == CELL_WALL; }
};
