// The breadth-first search for the food nearest the Gulper.
#include "agent/board_view.h"
#include "agent/player_agent.h"

GridPoint PlayerAgent::FindNearestFood(const GridPoint& start) {
    const BoardView board;
    foodQueue.push_back(start);
    visited[AgentIndex(start.x, start.y)] = 1;
    GridPoint found = start;  // no food on the board: stay on the start cell
    while (!foodQueue.empty()) {
        const GridPoint c = foodQueue.front();
        foodQueue.pop_front();
        if (board.IsFood(c)) {
            found = c;
            break;
        }
        const GridPoint next[] = {{c.x, c.y + 1}, {c.x, c.y - 1}, {c.x + 1, c.y}, {c.x - 1, c.y}};
        const bool onBoard[] = {(c.y < BOARD_ROWS - 1), (c.y > 0), (c.x < BOARD_COLUMNS - 1),
                                (c.x > 0)};
        for (int k = 0; k < 4; ++k) {
            if (onBoard[k] && visited[AgentIndex(next[k].x, next[k].y)] == 0) {
                visited[AgentIndex(next[k].x, next[k].y)] = 1;
                foodQueue.push_back(next[k]);
            }
        }
    }
    visited.fill(0);
    foodQueue.clear();
    return found;
}
