"""gulper.VectorEnv: the games it steps are gulper.Env's, its autoreset is Gymnasium's, its
seeds never repeat, and the thread count changes nothing but the speed."""

import threading

import numpy as np
import pytest

import gulper
from gulper.vector import FreshSeeds

try:
    import gymnasium
    from gymnasium.utils.seeding import np_random
    from gymnasium.vector import SyncVectorEnv
except ImportError:
    gymnasium = None

INFO_KEYS = ("seed", "ticks", "decisions", "outcome")


def actions(count, steps, seed=0):
    return np.random.default_rng(seed).integers(0, gulper.ACTIONS, size=(steps, count))


def same_step_result(a, b):
    obs_a, rew_a, te_a, tr_a, info_a = a
    obs_b, rew_b, te_b, tr_b, info_b = b
    assert all(np.array_equal(obs_a[k], obs_b[k]) for k in obs_a)
    assert np.array_equal(rew_a, rew_b) and np.array_equal(te_a, te_b)
    assert np.array_equal(tr_a, tr_b)
    for key in INFO_KEYS:
        assert np.array_equal(info_a[key], info_b[key]), key


def test_one_game_in_the_vector_plays_as_env_and_starts_again_with_a_fresh_seed(config):
    vec = gulper.VectorEnv(3, config=config, max_ticks=1500, threads=2)
    obs, info = vec.reset(seed=[8, 9, 10])
    assert obs["board"].shape == (3, 22, 19) and info["seed"].tolist() == [8, 9, 10]
    singles = [gulper.Env(config=config, max_ticks=1500) for _ in range(3)]
    for env, seed in zip(singles, (8, 9, 10)):
        env.reset(seed=seed)
    restarts, seen = 0, {8, 9, 10}
    pending = np.zeros(3, bool)
    for step in actions(3, 600):
        obs, rewards, terminated, truncated, info = vec.step(step)
        for i, env in enumerate(singles):
            if pending[i]:  # next step: the game started again instead of deciding
                new_seed = int(info["seed"][i])
                assert new_seed not in seen and rewards[i] == 0 and not terminated[i]
                seen.add(new_seed)
                single, _ = env.reset(seed=new_seed)
                restarts += 1
            else:
                single, reward, te, tr, single_info = env.step(int(step[i]))
                assert (reward, te, tr) == (rewards[i], terminated[i], truncated[i])
                assert single_info["outcome"] == info["outcome"][i]
            assert all(np.array_equal(obs[k][i], single[k]) for k in obs)
        pending = terminated | truncated
    assert restarts > 0
    vec.close()
    with pytest.raises(RuntimeError, match="closed"):
        vec.step(step)


def test_the_thread_count_changes_nothing_but_the_speed(config):
    steps = actions(5, 500, seed=3)
    runs = []
    for threads in (1, 2, 3):
        vec = gulper.VectorEnv(5, config=config, max_ticks=1200, threads=threads,
                               autoreset_mode="same_step")
        assert vec.threads == threads
        results = [vec.reset(seed=40)]
        results += [vec.step(a) for a in steps]
        runs.append(results)
    ended = 0
    for one, other in zip(runs[0][1:], runs[1][1:]):
        same_step_result(one, other)
        ended += int(one[2].sum() + one[3].sum())
    for one, other in zip(runs[0][1:], runs[2][1:]):
        same_step_result(one, other)
    assert ended > 0


def test_vectors_on_several_python_threads_keep_their_games_apart(config):
    steps = actions(4, 300, seed=5)

    def play(out, threads):
        vec = gulper.VectorEnv(4, config=config, max_ticks=1500, threads=threads)
        vec.reset(seed=70)
        out.extend(vec.step(a)[0]["board"].copy() for a in steps)

    alone = []
    play(alone, 1)
    together = [[], [], []]
    workers = [threading.Thread(target=play, args=(together[i], 2)) for i in range(3)]
    for w in workers:
        w.start()
    # An Env on this thread meanwhile plays its own game, as it would alone.
    env = gulper.Env(config=config)
    env.reset(seed=70)
    for a in steps[:, 0]:
        obs, _, te, tr, _ = env.step(int(a))
        if te or tr:
            break
    for w in workers:
        w.join()
    lone = gulper.Env(config=config)
    lone.reset(seed=70)
    for a in steps[:, 0]:
        lone_obs, _, te, tr, _ = lone.step(int(a))
        if te or tr:
            break
    assert np.array_equal(obs["board"], lone_obs["board"])
    for run in together:
        assert all(np.array_equal(a, b) for a, b in zip(run, alone))


def test_drawn_seeds_never_repeat_and_follow_the_generator(config):
    draws = FreshSeeds(12345)(200000)
    assert len(set(draws)) == len(draws) and max(draws) < 2**32
    assert FreshSeeds(12345)(50) == draws[:50] and FreshSeeds(54321)(50) != draws[:50]
    vec = gulper.VectorEnv(4, config=config)
    _, first = vec.reset(seed=50)
    assert first["seed"].tolist() == [50, 51, 52, 53]
    # A masked reset with a seed draws from the generator it seeds: no game is played again.
    mask = np.array([True, False, True, False])
    _, info = vec.reset(seed=50, options={"reset_mask": mask})
    drawn = info["seed"][mask].tolist()
    assert not set(drawn) & {50, 51, 52, 53} and info["_seed"].tolist() == mask.tolist()
    _, again = vec.reset(seed=50, options={"reset_mask": mask})
    assert again["seed"][mask].tolist() == drawn
    _, fresh = vec.reset()
    _, fresher = vec.reset()
    assert not set(fresh["seed"].tolist()) & set(fresher["seed"].tolist())


def test_bad_calls_are_refused(config):
    with pytest.raises(ValueError, match="threads"):
        gulper.VectorEnv(2, config=config, threads=0)
    with pytest.raises(ValueError, match="autoreset_mode"):
        gulper.VectorEnv(2, config=config, autoreset_mode="later")
    with pytest.raises(MemoryError, match="needs about"):
        gulper.VectorEnv(10**9, config=config)
    vec = gulper.VectorEnv(3, config=config)
    with pytest.raises(RuntimeError, match="reset"):
        vec.step([0, 0, 0])
    vec.reset(seed=1)
    with pytest.raises(ValueError, match="one action per game"):
        vec.step([0, 0])
    with pytest.raises(ValueError, match="an action is 0"):
        vec.step([0, 0, 9])
    # Integer arrays only: a float is never rounded, nor a string parsed.
    for bad in ([0.9, 0, 0], ["1", "1", "1"], np.zeros(3, np.float32)):
        with pytest.raises(ValueError, match="integer actions"):
            vec.step(bad)
    with pytest.raises(ValueError, match="a seed is"):
        vec.reset(seed=[1, -2, 3])
    with pytest.raises(ValueError, match="last game's seed"):
        vec.reset(seed=2**32 - 2)
    with pytest.raises(ValueError, match="reset_mask"):
        vec.reset(options={"reset_mask": [True, False]})


gym_only = pytest.mark.skipif(gymnasium is None, reason="Gymnasium cannot be imported")


class _SharedSeeds(gymnasium.Env if gymnasium else object):
    """gulper.Env whose reset without a seed takes the next of seeds shared by all the games,
    in the games' order: what the vector draws from its generator."""

    def __init__(self, config, seeds, max_ticks):
        self.env = gulper.Env(config=config, max_ticks=max_ticks)
        self.seeds = seeds
        self.observation_space = self.env.observation_space
        self.action_space = self.env.action_space

    def reset(self, *, seed=None, options=None):
        return self.env.reset(seed=self.seeds.next() if seed is None else seed)

    def step(self, action):
        return self.env.step(int(action))


@gym_only
@pytest.mark.parametrize("mode", ["next_step", "same_step"])
def test_autoreset_matches_gymnasiums_own_vector(config, mode):
    count, max_ticks = 4, 1000
    vec = gulper.VectorEnv(count, config=config, max_ticks=max_ticks, threads=2,
                           autoreset_mode=mode)
    assert isinstance(vec, gymnasium.vector.VectorEnv)
    gym_mode = getattr(gymnasium.vector.AutoresetMode, mode.upper())
    assert vec.metadata["autoreset_mode"] == gym_mode
    seeds = FreshSeeds.from_generator(np_random(11)[0])
    sync = SyncVectorEnv([lambda: _SharedSeeds(config, seeds, max_ticks)] * count,
                         autoreset_mode=gym_mode)
    obs, info = vec.reset(seed=11)
    sync_obs, sync_info = sync.reset(seed=11)
    assert all(np.array_equal(obs[k], sync_obs[k]) for k in obs)
    finals = 0
    for step in actions(count, 400, seed=11):
        mine, theirs = vec.step(step), sync.step(step)
        same_step_result(mine, theirs)
        if "final_obs" in theirs[4]:
            finals += 1
            got, want = mine[4], theirs[4]
            assert np.array_equal(got["_final_obs"], want["_final_obs"])
            for i in np.flatnonzero(want["_final_obs"]):
                assert all(np.array_equal(got["final_obs"][i][k], want["final_obs"][i][k])
                           for k in want["final_obs"][i])
            for key in INFO_KEYS:
                assert np.array_equal(got["final_info"][key], want["final_info"][key]), key
        else:
            assert "final_obs" not in mine[4]
    assert (finals > 0) == (mode == "same_step")


@gym_only
def test_make_vec_builds_it_through_the_vector_entry_point(config):
    name = "gulper-test/VectorOnly-v0"
    if name not in gymnasium.registry:
        gymnasium.register(name, vector_entry_point="gulper.vector:make_vector")
    vec = gymnasium.make_vec(name, num_envs=3, vectorization_mode="vector_entry_point",
                             config=config, threads=1)
    obs, _ = vec.reset(seed=2)
    assert isinstance(vec, gulper.VectorEnv) and obs["board"].shape == (3, 22, 19)
    assert vec.observation_space["board"].shape == (3, 22, 19)
    vec.close()
    with pytest.raises(ValueError, match="action_mask must stay False"):
        gymnasium.make_vec(name, num_envs=2, vectorization_mode="vector_entry_point",
                           config=config, action_mask=True)
