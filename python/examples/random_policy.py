"""A Gulper that takes a random open way at every cell centre.

    PYTHONPATH=build/python python3 python/examples/random_policy.py [GAMES]
"""

import sys

import numpy as np

import gulper

# Where each action leads from a cell (column, row), row 0 at the bottom.
STEPS = {gulper.LEFT: (-1, 0), gulper.UP: (0, 1), gulper.RIGHT: (1, 0), gulper.DOWN: (0, -1)}


def open_actions(obs):
    """The directions whose next cell the Gulper may enter (codes above the door's)."""
    x, y = (int(v) for v in obs["gulper_cell"])
    board = obs["board"]
    rows, columns = board.shape
    return [a for a, (dx, dy) in STEPS.items()
            if 0 <= x + dx < columns and 0 <= y + dy < rows and board[rows - 1 - (y + dy), x + dx] > 2]


class RandomPolicy:
    name = "random"

    def __init__(self, seed=0):
        self.rng = np.random.default_rng(seed)

    def __call__(self, obs, env=None):
        choices = open_actions(obs)
        return int(self.rng.choice(choices)) if choices else gulper.KEEP


if __name__ == "__main__":
    games = int(sys.argv[1]) if len(sys.argv) > 1 else 100
    print(gulper.evaluate(RandomPolicy(), games=games, seed=1, progress=True)["text"], end="")
