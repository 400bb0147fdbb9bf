"""The observation in the forms a learning agent takes: planes for a convolutional network and
one flat vector scaled to 0..1. The planes are drawn by the module from the game itself (one
game's, or stacked over many); the flat vector is made here from them and the dict observation,
and every array of either may carry leading axes. docs/observation.md says what each holds."""

import numpy as np

from gulper import _core
from gulper import spaces as own

ROWS, COLUMNS = _core.BOARD_ROWS, _core.BOARD_COLUMNS
GHOSTS = 4
PLANES = list(_core.PLANE_NAMES)
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


def planes(env):
    """The env's game as (13, 22, 19) uint8 planes, rows in board order: planes[p, y, x] is
    cell (x, y)."""
    return _core._planes(env)


def flat(obs, planes, lengths, food_at_start, max_ticks):
    """(..., FLAT_SIZE) float32 from 0 to 1: the planes, then the extras above, from the dict
    observation and the planes of the same games. `lengths` are the countdowns' longest runs
    (attack, scatter, blue) under the game's settings."""
    planes = np.asarray(planes)
    lead = planes.shape[:-3]
    games = int(np.prod(lead, dtype=np.int64))
    out = np.zeros((games, FLAT_SIZE), np.float32)
    at = len(PLANES) * ROWS * COLUMNS
    out[:, :at] = planes.reshape(games, at)
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
