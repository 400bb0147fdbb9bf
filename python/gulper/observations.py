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


# The board's three planes by cell code: walls, dots, pills.
_BOARD_PLANES = np.zeros((256, 3), np.uint8)
_BOARD_PLANES[: LAST_BLOCKED_CODE + 1, 0] = 1
_BOARD_PLANES[DOT, 1] = 1
_BOARD_PLANES[PILL, 2] = 1


def planes(obs):
    """(..., 13, 22, 19) uint8, rows in board order: planes[..., p, y, x] is cell (x, y)."""
    board = np.asarray(obs["board"])
    lead = board.shape[:-2]
    board = board.reshape(-1, ROWS, COLUMNS)[:, ::-1, :]  # row 0 at the bottom
    games = board.shape[0]
    out = np.zeros((games, len(PLANES), ROWS, COLUMNS), np.uint8)
    out[:, :3] = _BOARD_PLANES[board].transpose(0, 3, 1, 2)
    # One mark per ghost, the Gulper and the fruit in every game: (plane, cell, shown).
    blue = np.asarray(obs["ghost_blue"]).reshape(games, GHOSTS) != 0
    ghost_plane = np.where(blue, PLANE["ghost_red_blue"], PLANE["ghost_red_dangerous"])
    ghost_plane = ghost_plane + np.arange(GHOSTS)
    # A ghost waiting in the house after being eaten can catch no one.
    ghost_shown = ((np.asarray(obs["ghost_present"]).reshape(games, GHOSTS) != 0)
                   & (np.asarray(obs["ghost_released"]).reshape(games, GHOSTS) != 0))
    plane = np.concatenate([ghost_plane, np.full((games, 2), [PLANE["gulper"], PLANE["fruit"]])],
                           axis=1)
    cells = np.concatenate([np.asarray(obs["ghost_cell"]).reshape(games, GHOSTS, 2),
                            np.asarray(obs["gulper_cell"]).reshape(games, 1, 2),
                            np.broadcast_to(np.asarray(FRUIT_CELL), (games, 1, 2))], axis=1)
    shown = np.concatenate([ghost_shown, np.ones((games, 1), bool),
                            np.asarray(obs["fruit_visible"]).reshape(games, 1) != 0], axis=1)
    game = np.broadcast_to(np.arange(games)[:, None], shown.shape)
    out[game[shown], plane[shown], cells[..., 1][shown], cells[..., 0][shown]] = 1
    return out.reshape(lead + out.shape[1:])


def flat(obs, lengths, food_at_start, max_ticks):
    """(..., FLAT_SIZE) float32 from 0 to 1: the planes, then the extras above. `lengths` are
    the countdowns' longest runs (attack, scatter, blue) under the game's settings."""
    board = np.asarray(obs["board"])
    lead = board.shape[:-2]
    games = int(np.prod(lead, dtype=np.int64))
    out = np.zeros((games, FLAT_SIZE), np.float32)
    at = len(PLANES) * ROWS * COLUMNS
    out[:, :at] = planes(obs).reshape(games, at)
    # Headings 1..4 one-hot; 0 (none) leaves zeros.
    headings = np.concatenate([np.asarray(obs["gulper_direction"]).reshape(games, 1),
                               np.asarray(obs["ghost_direction"]).reshape(games, GHOSTS)], axis=1)
    game, which = np.nonzero(headings)
    out[game, at + which * DIRECTIONS + headings[game, which] - 1] = 1
    at += (GHOSTS + 1) * DIRECTIONS
    attack = np.asarray(obs["attack_phase"]).reshape(games) != 0
    phase_length = np.where(attack, lengths["attack"], lengths["scatter"])
    values = np.stack([
        attack,
        np.asarray(obs["phase_ticks_left"]).reshape(games) / np.maximum(phase_length, 1),
        np.asarray(obs["blue_ticks_left"]).reshape(games) / max(lengths["blue"], 1),
        np.asarray(obs["food_left"]).reshape(games) / max(food_at_start, 1),
        np.asarray(obs["tick"]).reshape(games) / max(max_ticks, 1),
    ], axis=1)
    out[:, at:] = np.clip(values, 0.0, 1.0)
    return out.reshape(lead + (FLAT_SIZE,))
