"""An agent that draws random numbers: at each decision it takes an open way at random,
turning back only at a dead end, and sends the cell it heads for as its plan. It plays a
different game each time, so record it (gulper-sim --record DIR) to see a game again:

    gulper-sim --agent 'exec:python3 kits/python/random_walk.py' --games 5 --record games
    gulper-watch --replay-file games/seed-1.json
"""

import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gulper_agent  # noqa: E402

ROWS, COLUMNS, DOOR = 22, 19, 2
STEPS = {gulper_agent.LEFT: (-1, 0), gulper_agent.UP: (0, 1),
         gulper_agent.RIGHT: (1, 0), gulper_agent.DOWN: (0, -1)}
BACK = {gulper_agent.LEFT: gulper_agent.RIGHT, gulper_agent.RIGHT: gulper_agent.LEFT,
        gulper_agent.UP: gulper_agent.DOWN, gulper_agent.DOWN: gulper_agent.UP}
draw = random.Random()  # seeded from the system: no two runs alike


def decide(obs):
    x, y = obs["gulper_cell"]
    board = obs["board"]
    open_ways = [a for a, (dx, dy) in STEPS.items()
                 if 0 <= x + dx < COLUMNS and 0 <= y + dy < ROWS
                 and board[ROWS - 1 - (y + dy)][x + dx] > DOOR]
    ahead = [a for a in open_ways if a != BACK.get(obs["gulper_direction"])]
    if not (ahead or open_ways):
        return gulper_agent.KEEP
    action = draw.choice(ahead or open_ways)
    dx, dy = STEPS[action]
    goal = [x + dx, y + dy]
    return action, {"route": [[x, y], goal], "goal": goal, "state": "wandering"}


if __name__ == "__main__":
    gulper_agent.run(decide, name="random walk (Python)")
