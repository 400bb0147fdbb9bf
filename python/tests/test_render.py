"""render(): the game's own frame of each environment's game, and a clear error without one."""

import os
import subprocess
import sys

import numpy as np
import pytest

import gulper

BOARD_HEIGHT = 440  # the board's pixels above the score line's strip
DOT, PILL, EMPTY = 4, 5, 9
FRUIT_CELL = (9, 9)  # where the fruit shows, when it does


def centre_pixel(frame, cell):
    """The frame's pixel at a cell's centre; cells count from the bottom-left corner."""
    x, y = cell
    return frame[BOARD_HEIGHT - 1 - (20 * y + 10), 20 * x + 10]


def played(env, seed, decisions, policy):
    obs, _ = env.reset(seed=seed)
    for _ in range(decisions):
        obs, *_ = env.step(policy(obs, env))
    return obs


def test_the_frame_shows_the_observed_board(config):
    env = gulper.Env(config=config)
    planner = gulper.agent("planner")
    obs = played(env, 4, 120, planner)
    frame = env.render()
    assert frame.shape == (460, 380, 3) and frame.dtype == np.uint8
    # Every food cell shows its picture and every emptied corridor cell is black, away from
    # the sprites (a 2-cell margin) and the fruit's cell.
    sprites = [tuple(obs["gulper_cell"])] + [tuple(c) for c, p in
                                             zip(obs["ghost_cell"], obs["ghost_present"]) if p]
    board = obs["board"]
    checked = {"food": 0, "empty": 0}
    for row in range(board.shape[0]):
        for x in range(board.shape[1]):
            cell = (x, board.shape[0] - 1 - row)
            if any(abs(cell[0] - s[0]) <= 2 and abs(cell[1] - s[1]) <= 2 for s in sprites):
                continue
            lit = centre_pixel(frame, cell).any()
            if board[row, x] in (DOT, PILL):
                assert lit, f"no food drawn on {cell}"
                checked["food"] += 1
            elif board[row, x] == EMPTY and cell != FRUIT_CELL:
                assert not lit, f"something drawn on the emptied cell {cell}"
                checked["empty"] += 1
    assert checked["food"] > 60 and checked["empty"] > 20
    # The Gulper's picture is on its pixel.
    gx, gy = obs["gulper_pixel"]
    assert frame[BOARD_HEIGHT - 1 - gy, gx].any()


def test_each_environment_draws_its_own_game(config):
    planner = gulper.agent("planner")
    alone = gulper.Env(config=config)
    played(alone, 7, 90, planner)
    expected = alone.render()
    a, b = gulper.Env(config=config), gulper.Env(config=config)
    obs_a, _ = a.reset(seed=7)
    obs_b, _ = b.reset(seed=8)
    for _ in range(90):
        obs_b, *_ = b.step(planner(obs_b, b))
        frame_b = b.render()
        obs_a, *_ = a.step(planner(obs_a, a))
    assert np.array_equal(a.render(), expected)
    assert not np.array_equal(frame_b, expected)
    # Drawing left both games as they were.
    assert int(obs_a["tick"]) == alone.info["ticks"]


def test_render_needs_a_game_and_says_why_it_cannot_draw(config):
    env = gulper.Env(config=config)
    with pytest.raises(RuntimeError, match="reset"):
        env.render()
    # No OpenGL to be had (no EGL vendor): an error that says so, and the game plays on.
    script = ("import gulper\n"
              f"env = gulper.Env(config={config!r}); env.reset(seed=1)\n"
              "try:\n    env.render()\nexcept RuntimeError as e:\n    print('error:', e)\n"
              "print(env.step(0)[4]['decisions'])\n")
    environment = dict(os.environ, __EGL_VENDOR_LIBRARY_FILENAMES="/nonexistent.json")
    done = subprocess.run([sys.executable, "-c", script], env=environment, capture_output=True,
                          text=True, timeout=60)
    assert done.returncode == 0, done.stderr
    lines = done.stdout.splitlines()
    assert lines[0].startswith("error: render() needs an OpenGL context"), done.stdout
    assert lines[1:] == ["1"]


def test_render_mode_is_the_standard_apis():
    assert gulper.Env.metadata["render_modes"] == ["rgb_array"]
    assert gulper.Env(render_mode="rgb_array").render_mode == "rgb_array"
    assert gulper.Env().render_mode is None
    with pytest.raises(ValueError, match="render_mode"):
        gulper.Env(render_mode="human")
