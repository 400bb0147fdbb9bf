"""What a learning agent is given: the open ways, the planes and flat observations, the penalty
at a catch, and a run evaluated with the policy asked for many games at once."""

import numpy as np
import pytest

import gulper
from gulper import observations
from nearest_food import nearest_food

ROWS, COLUMNS = 22, 19


def planner_decisions(env, seed, decisions):
    """Yields the env at each of the planner's first decisions of a seed's game."""
    planner = gulper.agent("planner")
    obs, _ = env.reset(seed=seed)
    for _ in range(decisions):
        yield obs
        obs, _, terminated, truncated, _ = env.step(planner(None, env))
        if terminated or truncated:
            return


def test_the_mask_is_the_actions_that_move_the_gulper(config):
    # Each action tried for real on a copy of the game: the Gulper leaves its centre exactly
    # when the mask says the way is open. Dead ends, the door and the tunnel are all met.
    env = gulper.Env(config=config, action_mask=True)
    tried = {True: 0, False: 0}
    for seed in (1, 2, 3):
        for _ in planner_decisions(env, seed, 150):
            mask = env.info["action_mask"]
            assert mask.dtype == np.int8 and mask.shape == (gulper.ACTIONS,)
            here = env.clone_state()
            start = env.observe()["gulper_pixel"].copy()
            for action in range(gulper.ACTIONS):
                obs, _, _, _, info = env.step(action)
                moved = not np.array_equal(obs["gulper_pixel"], start)
                assert moved == bool(mask[action]), (seed, info["decisions"], action, mask)
                tried[moved] += 1
                env.restore_state(here)
    assert tried[True] > 500 and tried[False] > 500
    # Off by default, so that info stays as it was; and nothing is open once the game is over.
    plain = gulper.Env(config=config)
    assert "action_mask" not in plain.reset(seed=1)[1]
    env.reset(seed=1)
    while True:
        *_, terminated, truncated, info = env.step(nearest_food(_dict_of(env)))
        if terminated or truncated:
            break
    assert info["action_mask"].tolist() == [0] * gulper.ACTIONS


def reference_planes(obs):
    """The planes cell by cell, from the documented meaning of each field."""
    planes = np.zeros((len(observations.PLANES), ROWS, COLUMNS), np.uint8)
    for row in range(ROWS):
        for x in range(COLUMNS):
            y = ROWS - 1 - row  # the board field is top row first
            code = obs["board"][row, x]
            planes[0, y, x] = code in (0, 1, 2)
            planes[1, y, x] = code == 4
            planes[2, y, x] = code == 5
    for g in range(4):
        x, y = obs["ghost_cell"][g]
        if obs["ghost_present"][g] and obs["ghost_released"][g]:
            planes[(7 if obs["ghost_blue"][g] else 3) + g, y, x] = 1
    x, y = obs["gulper_cell"]
    planes[11, y, x] = 1
    if obs["fruit_visible"]:
        planes[12, 9, 9] = 1
    return planes


def test_planes_show_each_thing_where_it_is(config):
    env = gulper.Env(config=config, obs_mode="planes")
    seen = np.zeros(len(observations.PLANES), bool)
    for planes in planner_decisions(env, 5, 400):
        obs = _dict_of(env)
        assert env.observation_space.contains(planes)
        assert np.array_equal(planes, reference_planes(obs))
        seen |= planes.reshape(len(seen), -1).any(axis=1)
    # Every plane was lit at some decision: blue ghosts and the fruit among them.
    assert seen.all(), [p for p, s in zip(observations.PLANES, seen) if not s]
    assert observations.PLANES[3] == "ghost_red_dangerous" and observations.PLANES[-1] == "fruit"
    # Rows in board order: the Gulper's plane is lit at [row, column] of its cell.
    obs, _ = env.reset(seed=5)
    x, y = _dict_of(env)["gulper_cell"]
    assert obs[observations.PLANE["gulper"], y, x] == 1 and obs[observations.PLANE["gulper"]].sum() == 1
    # Stacked over the games a batched policy is asked for, the same planes game by game.
    checked = []
    def both(obs, planes):
        for i in range(planes.shape[0]):
            assert np.array_equal(planes[i], reference_planes({k: v[i] for k, v in obs.items()}))
        checked.append(planes.shape[0])
        return np.array([nearest_food({k: v[i] for k, v in obs.items()})
                         for i in range(planes.shape[0])])
    env.reset(seed=0)
    gulper._core._evaluate_batched(env, both, 3, 1, "both", 3, False, "flat")
    assert sum(checked) > 100 and checked[0] == 3


def _dict_of(env):
    """The dict observation whatever the env's obs_mode."""
    return gulper._core.Env.observe(env)


def test_the_flat_observation_is_scaled_and_holds_the_planes(config):
    env = gulper.Env(config=config, obs_mode="flat", max_ticks=5000)
    size = len(observations.PLANES) * ROWS * COLUMNS
    for flat in planner_decisions(env, 6, 200):
        assert flat.dtype == np.float32 and flat.shape == (observations.FLAT_SIZE,)
        assert env.observation_space.contains(flat)
        obs = _dict_of(env)
        assert np.array_equal(flat[:size], observations.planes(env).ravel())
        extras = flat[size:]
        heading = extras[:4]
        assert heading.sum() == 1 and heading[int(obs["gulper_direction"]) - 1] == 1
        assert extras[-1] == np.float32(int(obs["tick"]) / 5000)
        assert extras[-2] == np.float32(int(obs["food_left"]) / 157)
    with pytest.raises(ValueError, match="obs_mode"):
        gulper.Env(config=config, obs_mode="pixels")


def test_a_catch_costs_the_penalty_only_when_asked(config):
    def play(env, seed):
        obs, _ = env.reset(seed=seed)
        rewards = []
        while True:
            obs, reward, terminated, truncated, info = env.step(nearest_food(_dict_of(env)))
            rewards.append(reward)
            if terminated or truncated:
                return rewards, info
    plain, info = play(gulper.Env(config=config), 2)
    assert info["outcome"] == "lost" and sum(plain) == _dict_of_score(config, 2)
    punished, _ = play(gulper.Env(config=config, catch_penalty=500), 2)
    assert punished[:-1] == plain[:-1] and punished[-1] == plain[-1] - 500
    for bad in (-1, float("nan"), "5"):
        with pytest.raises(ValueError, match="catch_penalty"):
            gulper.Env(config=config, catch_penalty=bad)


def _dict_of_score(config, seed):
    return gulper.evaluate(lambda obs, env: nearest_food(obs), games=1, seed=seed,
                           config=config)["games"][0]["score"]


def test_a_batched_policy_plays_the_same_games(config):
    def batched(obs):
        games = obs["board"].shape[0]
        return np.array([nearest_food({k: v[i] for k, v in obs.items()}) for i in range(games)])
    one = gulper.evaluate(lambda obs, env: nearest_food(obs), games=7, seed=3, config=config)
    for batch in (1, 3, 16):
        many = gulper.evaluate(batched, games=7, seed=3, config=config, batch=batch)
        assert many["games"] == one["games"]
    # The planes form stacked over the games asked.
    sizes = []
    def by_planes(planes):
        sizes.append(planes.shape)
        return np.zeros(planes.shape[0], np.int64)
    gulper.evaluate(by_planes, games=3, seed=1, config=config, batch=2, obs_mode="planes",
                    max_ticks=200)
    assert sizes[0] == (2, len(observations.PLANES), ROWS, COLUMNS) and sizes[-1][0] == 1
    # One game at a time, the flat form is the game's own, as the env in that mode gives it.
    flat_env = gulper.Env(config=config, obs_mode="flat", max_ticks=400)
    def by_flat(flat, env):
        flat_env.reset(seed=env.info["seed"])
        flat_env.restore_state(env.clone_state())
        assert np.array_equal(flat, flat_env.observe())
        return nearest_food(_dict_of(env))
    assert gulper.evaluate(by_flat, games=2, seed=4, config=config, obs_mode="flat",
                           max_ticks=400)["games"] == gulper.evaluate(
        lambda obs, env: nearest_food(obs), games=2, seed=4, config=config,
        max_ticks=400)["games"]
    # Answers that are no actions are refused, never rounded.
    for answer in (lambda obs: np.zeros(2, np.float32), lambda obs: [0],
                   lambda obs: np.array([0, 7]), lambda obs: None):
        with pytest.raises(ValueError, match="batched policy|an action is 0"):
            gulper.evaluate(answer, games=2, seed=1, config=config, batch=2)
    with pytest.raises(ValueError, match="batch"):
        gulper.evaluate(batched, games=2, config=config, batch=0)
