"""The Env's surface: its observation and spaces, its errors, and the batch form."""

import numpy as np
import pytest

import gulper


def test_observation_matches_its_space_and_the_start_of_a_game(config):
    env = gulper.Env(config=config)
    obs, info = env.reset(seed=2)
    assert gulper.observation_space.contains(obs)
    assert info == {"seed": 2, "ticks": 0, "decisions": 0, "outcome": "playing"}
    # Top row first: the bottom-left corner cell (0, 0) is wall, the start cell is corridor.
    board = obs["board"]
    assert board.shape == (22, 19) and board[21, 0] == 1
    x, y = obs["gulper_cell"]
    assert board[21 - y, x] == 9 and tuple(obs["gulper_pixel"]) == (20 * x + 10, 20 * y + 10)
    assert int(obs["food_left"]) == int(np.isin(board, (4, 5)).sum()) == 157
    assert obs["ghost_present"].tolist() == [1, 1, 1, 1]
    assert int(obs["gulper_direction"]) == gulper.LEFT


def test_a_pill_turns_the_ghosts_blue_and_counts_down(config):
    env = gulper.Env(config=config)
    obs, _ = env.reset(seed=1)
    planner = gulper.agent("planner")
    while not obs["ghost_blue"].any():
        obs, reward, terminated, _, _ = env.step(planner(obs, env))
        assert not terminated
    assert reward >= 100 and 0 < int(obs["blue_ticks_left"]) <= 200
    assert gulper.observation_space.contains(obs)


def test_bad_calls_are_refused(config, tmp_path):
    with pytest.raises(ValueError, match="settings file"):
        gulper.Env(config=str(tmp_path / "missing.txt"))
    with pytest.raises(ValueError):
        gulper.Env(config=config, max_ticks=0)
    with pytest.raises(ValueError, match="no agent named"):
        gulper.agent("nobody")
    env = gulper.Env(config=config)
    with pytest.raises(RuntimeError, match="reset"):
        env.step(gulper.KEEP)
    env.reset(seed=1)
    for action in (-1, 5):
        with pytest.raises(ValueError, match="action"):
            env.step(action)
    # Seeds and actions are whole numbers in range, NumPy's integers among them; anything
    # else says what it got, in the module's own words.
    for seed in (-1, 2**32, "3", 3.0, True):
        with pytest.raises(ValueError, match="a seed is a whole number from 0 to 4294967295"):
            env.reset(seed=seed)
    assert env.reset(seed=np.uint32(2**32 - 1))[1]["seed"] == 2**32 - 1
    env.reset(seed=5)
    drawn = env.reset()[1]["seed"]  # without a seed, one drawn from the generator seed 5 set
    env.reset(seed=5)
    assert env.reset()[1]["seed"] == drawn
    for action in (2.5, "1", None):
        with pytest.raises(ValueError, match="an action is 0"):
            env.step(action)
    env.step(np.int64(gulper.LEFT))
    env.close()
    with pytest.raises(RuntimeError, match="closed"):
        env.reset(seed=1)


def test_a_policy_cannot_pull_the_game_from_under_evaluate(config):
    # Closing, resetting or stepping the environment evaluate hands a policy raises, and the
    # game being evaluated is not replaced; an answer that is no action says what it was.
    for meddle, error in [(lambda env: env.close(), RuntimeError),
                          (lambda env: env.reset(seed=99), RuntimeError),
                          (lambda env: env.step(0), RuntimeError),
                          (lambda env: None, ValueError)]:
        def policy(obs, env):
            return meddle(env)
        with pytest.raises(error, match="evaluate is playing|an action is 0.*None"):
            gulper.evaluate(policy, games=1, seed=1, config=config)
    # Afterwards evaluate plays as before: the same game for the same seed.
    planner = gulper.agent("planner")
    first = gulper.evaluate(lambda obs, env: planner(obs, env), games=1, config=config)
    again = gulper.evaluate(lambda obs, env: planner(obs, env), games=1, config=config)
    assert first["games"] == again["games"]
    with pytest.raises(ValueError, match="seed"):
        gulper.evaluate(planner, games=2, seed=2**32 - 1, config=config)


def test_keep_going_keeps_the_direction_and_a_wall_stops_the_gulper(config):
    env = gulper.Env(config=config)
    obs, _ = env.reset(seed=1)
    start = obs["gulper_pixel"].copy()
    obs, _, _, _, _ = env.step(gulper.KEEP)
    assert int(obs["gulper_direction"]) == gulper.LEFT and obs["gulper_pixel"][0] < start[0]
    env.reset(seed=1)
    obs, _, _, _, info = env.step(gulper.DOWN)  # a wall below the start cell
    assert tuple(obs["gulper_pixel"]) == tuple(start) and info["ticks"] == 1
