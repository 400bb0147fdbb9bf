"""The nearest-food agent over the line protocol: heads for the nearest dot or pill by the
shortest open route, paying no heed to ghosts or fruit; move for move the built-in one.

    gulper-sim --agent 'exec:python3 kits/python/nearest_food.py' --games 100
"""

import os
import sys
from collections import deque

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gulper_agent  # noqa: E402

ROWS, COLUMNS = 22, 19
DOT, PILL, DOOR = 4, 5, 2


def route_to_nearest_food(board, start):
    """Breadth-first over the open cells, right, left, up, down; the route to the first cell
    holding food, or just the start when none can be reached. Cells are (column, row), row 0
    at the bottom; board[r][c] holds cell (c, ROWS - 1 - r)."""
    came_from = {start: start}
    queue = deque([start])
    while queue:
        cell = queue.popleft()
        x, y = cell
        if cell != start and board[ROWS - 1 - y][x] in (DOT, PILL):
            route = [cell]
            while route[-1] != start:
                route.append(came_from[route[-1]])
            return route[::-1]
        for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if (0 <= n[0] < COLUMNS and 0 <= n[1] < ROWS and n not in came_from
                    and board[ROWS - 1 - n[1]][n[0]] > DOOR):
                came_from[n] = cell
                queue.append(n)
    return [start]


def decide(obs):
    here = tuple(obs["gulper_cell"])
    route = route_to_nearest_food(obs["board"], here)
    plan = {"route": [list(c) for c in route], "goal": list(route[-1]), "state": "feeding"}
    if len(route) < 2:
        return gulper_agent.KEEP, plan
    (x, y), (nx, ny) = here, route[1]
    action = (gulper_agent.RIGHT if nx > x else gulper_agent.LEFT if nx < x
              else gulper_agent.UP if ny > y else gulper_agent.DOWN)
    return action, plan


if __name__ == "__main__":
    gulper_agent.run(decide, name="nearest-food (Python)")
