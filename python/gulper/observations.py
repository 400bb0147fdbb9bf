"""The observation in the forms a learning agent takes: planes for a convolutional network and
one flat vector scaled to 0..1, made from the dict observation (one game's or stacked over
many: every array may carry leading axes). docs/observation.md says what each holds."""

import numpy as np

from gulper import spaces as own

ROWS, COLUMNS = 22, 19
GHOSTS = 4
DOT, PILL = 4, 5
FRUIT_CELL = (9, 9)
# Codes the Gulper never enters: outside the maze, the walls, the ghost house's door.
LAST_BLOCKED_CODE = 2

PLANES = (["walls", "dots", "pills"]
          + [f"ghost_{c}_dangerous" for c in ("red", "green", "orange", "turquoise")]
          + [f"ghost_{c}_blue" for c in ("red", "green", "orange", "turquoise")]
          + ["gulper", "fruit"])
PLANE = {name: i for i, name in enumerate(PLANES)}
DIRECTIONS = 4
# After the planes: the Gulper's heading and each ghost's (one-hot, none for 0), the phase,
# its ticks left, the blue ticks left, the food left and the ticks played, each a fraction.
FLAT_EXTRAS = DIRECTIONS + GHOSTS * DIRECTIONS + 5
FLAT_SIZE = len(PLANES) * ROWS * COLUMNS + FLAT_EXTRAS


def planes_space():
    return own.Box((len(PLANES), ROWS, COLUMNS), np.uint8, 0, 1)


def flat_space():
    return own.Box((FLAT_SIZE,), np.float32, 0.0, 1.0)


def _mark(planes, plane, cells, on):
    """Sets planes[..., plane, row, column] at each game's (column, row) where `on`."""
    games = np.nonzero(on)[0]
    planes[games, plane, cells[games, 1], cells[games, 0]] = 1


def planes(obs):
    """(..., 13, 22, 19) uint8, rows in board order: planes[..., p, y, x] is cell (x, y)."""
    board = np.asarray(obs["board"])
    lead = board.shape[:-2]
    board = board.reshape(-1, ROWS, COLUMNS)[:, ::-1, :]  # row 0 at the bottom
    games = board.shape[0]
    out = np.zeros((games, len(PLANES), ROWS, COLUMNS), np.uint8)
    out[:, PLANE["walls"]] = board <= LAST_BLOCKED_CODE
    out[:, PLANE["dots"]] = board == DOT
    out[:, PLANE["pills"]] = board == PILL
    ghost_cells = np.asarray(obs["ghost_cell"]).reshape(games, GHOSTS, 2)
    present = np.asarray(obs["ghost_present"]).reshape(games, GHOSTS).astype(bool)
    released = np.asarray(obs["ghost_released"]).reshape(games, GHOSTS).astype(bool)
    blue = np.asarray(obs["ghost_blue"]).reshape(games, GHOSTS).astype(bool)
    for g in range(GHOSTS):
        # A ghost waiting in the house after being eaten can catch no one.
        active = present[:, g] & released[:, g]
        _mark(out, PLANE["ghost_red_dangerous"] + g, ghost_cells[:, g], active & ~blue[:, g])
        _mark(out, PLANE["ghost_red_blue"] + g, ghost_cells[:, g], active & blue[:, g])
    _mark(out, PLANE["gulper"], np.asarray(obs["gulper_cell"]).reshape(games, 2),
          np.ones(games, bool))
    fruit = np.broadcast_to(np.asarray(FRUIT_CELL), (games, 2))
    _mark(out, PLANE["fruit"], fruit, np.asarray(obs["fruit_visible"]).reshape(games) != 0)
    return out.reshape(lead + out.shape[1:])


def _one_hot(direction):
    """Headings 1..4 as one-hot rows; 0 (none) as zeros."""
    d = np.asarray(direction)
    return (d[..., None] == np.arange(1, DIRECTIONS + 1)).astype(np.float32)


def _fraction(value, whole):
    return np.clip(np.asarray(value, np.float64) / max(whole, 1), 0.0, 1.0).astype(np.float32)


def flat(obs, lengths, food_at_start, max_ticks):
    """(..., FLAT_SIZE) float32 from 0 to 1: the planes, then the extras above. `lengths` are
    the countdowns' longest runs (attack, scatter, blue) under the game's settings."""
    board = np.asarray(obs["board"])
    lead = board.shape[:-2]
    games = int(np.prod(lead, dtype=np.int64))
    attack = np.asarray(obs["attack_phase"]).reshape(games).astype(bool)
    phase_length = np.where(attack, lengths["attack"], lengths["scatter"])
    parts = [
        planes(obs).reshape(games, -1).astype(np.float32),
        _one_hot(obs["gulper_direction"]).reshape(games, DIRECTIONS),
        _one_hot(obs["ghost_direction"]).reshape(games, GHOSTS * DIRECTIONS),
        attack.astype(np.float32)[:, None],
        np.clip(np.asarray(obs["phase_ticks_left"]).reshape(games) / np.maximum(phase_length, 1),
                0.0, 1.0).astype(np.float32)[:, None],
        _fraction(np.asarray(obs["blue_ticks_left"]).reshape(games), lengths["blue"])[:, None],
        _fraction(np.asarray(obs["food_left"]).reshape(games), food_at_start)[:, None],
        _fraction(np.asarray(obs["tick"]).reshape(games), max_ticks)[:, None],
    ]
    return np.concatenate(parts, axis=1).reshape(lead + (FLAT_SIZE,))
