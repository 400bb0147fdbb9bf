"""Snapshots put a whole game back, and games in one process keep to themselves."""

import numpy as np
import pytest

import gulper
from nearest_food import nearest_food
from random_policy import RandomPolicy


def run(env, obs, steps, policy):
    """Up to `steps` decisions; the observations (copied) and rewards along the way."""
    trace = []
    for _ in range(steps):
        obs, reward, terminated, truncated, info = env.step(policy(obs, env))
        trace.append(({k: v.copy() for k, v in obs.items()}, reward, info["ticks"]))
        if terminated or truncated:
            break
    return obs, trace


def same(a, b):
    return len(a) == len(b) and all(
        ra == rb and ta == tb and all(np.array_equal(oa[k], ob[k]) for k in oa)
        for (oa, ra, ta), (ob, rb, tb) in zip(a, b))


def test_restore_replays_the_same_game(config):
    env = gulper.Env(config=config)
    obs, _ = env.reset(seed=11)
    planner = gulper.agent("planner")
    obs, _ = run(env, obs, 300, planner)
    state = env.clone_state()
    at_clone = env.observe()
    after, first = run(env, obs, 300, planner)
    assert len(first) == 300
    env.restore_state(state)
    assert all(np.array_equal(at_clone[k], v) for k, v in env.observe().items())
    _, second = run(env, at_clone, 300, planner)
    assert same(first, second)
    # A different course from the same state really differs, so the comparison can fail.
    env.restore_state(state)
    _, other = run(env, at_clone, 300, RandomPolicy(1))
    assert not same(first, other)


def test_restoring_a_finished_game_lets_it_be_played_again(config):
    env = gulper.Env(config=config)
    obs, _ = env.reset(seed=4)
    state = env.clone_state()
    _, trace = run(env, obs, 100000, nearest_food)
    with pytest.raises(RuntimeError, match="over"):
        env.step(gulper.KEEP)
    env.restore_state(state)
    assert env.info["ticks"] == 0 and env.info["outcome"] == "playing"
    _, again = run(env, env.observe(), 100000, nearest_food)
    assert same(trace, again)


def test_two_envs_in_turns_play_the_games_each_plays_alone(config):
    alone = []
    for seed in (5, 6):
        env = gulper.Env(config=config)
        _, trace = run(env, env.reset(seed=seed)[0], 400, gulper.agent("planner"))
        alone.append(trace)
        env.close()
    a, b = gulper.Env(config=config), gulper.Env(config=config)
    obs = [a.reset(seed=5)[0], b.reset(seed=6)[0]]
    turns = [[], []]
    planner = gulper.agent("planner")
    for _ in range(400):
        for i, env in enumerate((a, b)):
            if len(turns[i]) < len(alone[i]):
                obs[i], step = run(env, obs[i], 1, planner)
                turns[i] += step
    assert same(turns[0], alone[0]) and same(turns[1], alone[1])


def test_a_state_goes_only_into_a_game_under_the_same_settings(config, tmp_path):
    env = gulper.Env(config=config)
    env.reset(seed=1)
    state = env.clone_state()
    other = tmp_path / "config.txt"
    other.write_text("red_ghost 0\n")
    elsewhere = gulper.Env(config=str(other))
    elsewhere.reset(seed=1)
    with pytest.raises(ValueError):
        elsewhere.restore_state(state)
    fresh = gulper.Env(config=config)
    with pytest.raises(ValueError):
        fresh.restore_state(state)
    # Into another Env with the same settings it plays on as the first would.
    twin = gulper.Env(config=config)
    twin.reset(seed=99)
    twin.restore_state(state)
    planner = gulper.agent("planner")
    _, mine = run(env, env.observe(), 200, planner)
    _, theirs = run(twin, twin.observe(), 200, planner)
    assert same(mine, theirs)
