"""restore_state: the exact replay of a moment, and with reseed another possible future of it."""

import numpy as np
import pytest

import gulper
from nearest_food import nearest_food


def future(env, actions):
    """The ghosts' pixels after each of the actions (fewer if the game ends)."""
    path = []
    for action in actions:
        obs, _, terminated, truncated, _ = env.step(action)
        path.append(obs["ghost_pixel"].copy())
        if terminated or truncated:
            break
    return np.array(path)


def moment(env, seed, decisions):
    """The game of `seed` after nearest-food's first decisions, and its next 40 actions."""
    obs, _ = env.reset(seed=seed)
    for _ in range(decisions):
        obs, *_ = env.step(nearest_food(obs))
    state = env.clone_state()
    actions = []
    for _ in range(40):
        actions.append(nearest_food(obs))
        obs, _, terminated, truncated, _ = env.step(actions[-1])
        if terminated or truncated:
            break
    env.restore_state(state)
    return state, actions


def test_a_reseeded_future_differs_from_the_recorded_one_and_repeats_for_its_seed(config):
    env = gulper.Env(config=config)
    differed = 0
    for seed in (1, 2, 3, 4):
        state, actions = moment(env, seed, 20)
        recorded = future(env, actions)
        env.restore_state(state)
        assert np.array_equal(future(env, actions), recorded)  # no reseed: the same future
        env.restore_state(state, reseed=11)
        sampled = future(env, actions)
        env.restore_state(state, reseed=11)
        assert np.array_equal(future(env, actions), sampled)  # the same seed, the same future
        env.restore_state(state, reseed=12)
        other = future(env, actions)
        if not np.array_equal(sampled, recorded) and not np.array_equal(sampled, other):
            differed += 1
        # The state itself is untouched: it still replays the recorded future.
        env.restore_state(state)
        assert np.array_equal(future(env, actions), recorded)
    assert differed >= 3


def test_a_reseed_at_the_start_is_not_the_game_of_that_seed(config):
    # The generator is scrambled from the reseed: reseeding a game's start with its own seed
    # does not play it again, so no sampled future is silently the recorded one.
    env = gulper.Env(config=config)
    start = env.reset(seed=3)[0]
    state = env.clone_state()
    actions = [nearest_food(start)] * 1 + [gulper.KEEP] * 60
    recorded = future(env, actions)
    env.restore_state(state, reseed=3)
    assert not np.array_equal(future(env, actions), recorded)


def test_a_sampled_game_is_no_replay_and_reseeds_are_checked(config, tmp_path):
    env = gulper.Env(config=config, max_ticks=300)
    obs, _ = env.reset(seed=1)
    state = env.clone_state()
    for bad in (-1, 2**32, 1.5, "2"):
        with pytest.raises(ValueError, match="a seed is a whole number"):
            env.restore_state(state, reseed=bad)
    env.restore_state(state, reseed=np.uint32(5))
    done = False
    while not done:
        obs, _, terminated, truncated, _ = env.step(nearest_food(obs))
        done = terminated or truncated
    with pytest.raises(ValueError, match="reseed"):
        env.write_replay(str(tmp_path / "sampled.replay"))
    assert not (tmp_path / "sampled.replay").exists()
    # A reset starts a game that is its seed's again, and its replay is written.
    obs, _ = env.reset(seed=1)
    done = False
    while not done:
        obs, _, terminated, truncated, _ = env.step(nearest_food(obs))
        done = terminated or truncated
    env.write_replay(str(tmp_path / "plain.replay"))
    assert (tmp_path / "plain.replay").stat().st_size > 0
