"""gulper.Env as a standard environment: Gymnasium's checker, registration, spaces, seeding,
vector environments and wrappers; and the module's own spaces where Gymnasium is missing."""

import os
import subprocess
import sys
import tomllib
import warnings

import numpy as np
import pytest

import gulper

from conftest import GYMNASIUM, ROOT

gymnasium = pytest.importorskip("gymnasium")
from gymnasium.utils.env_checker import check_env  # noqa: E402

ENV_ID = "gulper/Gulper-v1"


def test_the_checker_passes_every_observation_mode_with_no_warning(config):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        for kwargs in ({}, {"obs_mode": "planes", "config": config},
                       {"obs_mode": "flat", "config": config}):
            env = gymnasium.make(ENV_ID, **kwargs)  # run from the top: data/config.txt
            assert env is env.unwrapped and isinstance(env, gymnasium.Env)
            check_env(env)  # renders too, in the one mode declared
            env.close()
    assert isinstance(env.unwrapped, gulper.Env) and env.spec.id == ENV_ID


def test_spaces_are_gymnasiums_with_exact_bounds(config):
    env = gymnasium.make(ENV_ID, config=config, max_ticks=3000)
    space = env.observation_space
    assert isinstance(space, gymnasium.spaces.Dict)
    assert isinstance(env.action_space, gymnasium.spaces.Discrete) and env.action_space.n == 5
    assert space["gulper_cell"].high.tolist() == [18, 21]
    assert space["ghost_pixel"].high.tolist() == [[380, 440]] * 4
    assert space["tick"].high == 3000 and space["tick"].dtype == np.int64
    assert space["score"].dtype == np.int32 and space["board"].dtype == np.uint8
    # The board holds codes 0 to 5 and 9 only: so does what its space samples and contains.
    space.seed(4)
    assert set(np.unique(space["board"].sample())) <= {0, 1, 2, 3, 4, 5, 9}
    obs, info = env.reset(seed=1)
    assert obs in space and info["action_mask"] in gymnasium.spaces.MultiBinary(5)
    obs["board"][0, 0] = 7
    assert obs not in space
    # A masked sample is always an open way.
    mask = info["action_mask"]
    assert all(mask[env.action_space.sample(mask=mask)] for _ in range(50))


def test_unseeded_resets_draw_their_seeds_from_the_seeded_generator(config):
    seeds = {gulper.Env(config=config).reset()[1]["seed"] for _ in range(4)}
    assert len(seeds) == 4  # fresh environments no longer all play one game
    a, b = gulper.Env(config=config), gulper.Env(config=config)
    a.reset(seed=42)
    b.reset(seed=42)
    drawn = [a.reset()[1]["seed"] for _ in range(3)]
    assert drawn == [b.reset()[1]["seed"] for _ in range(3)] and len(set(drawn)) == 3
    assert a.np_random_seed == 42
    with pytest.raises(ValueError, match="options"):
        a.reset(options={"level": 2})


def test_vector_environments_and_wrappers_run_over_it(config):
    from gymnasium.wrappers import FlattenObservation, RecordEpisodeStatistics, TimeLimit

    def make():
        env = gymnasium.make(ENV_ID, config=config)
        return RecordEpisodeStatistics(TimeLimit(FlattenObservation(env), 30))

    envs = gymnasium.vector.SyncVectorEnv([make, make])
    obs, info = envs.reset(seed=[5, 6])
    assert obs.shape[0] == 2 and obs in envs.observation_space
    assert info["seed"].tolist() == [5, 6]
    envs.action_space.seed(0)
    lengths = []
    for _ in range(40):
        obs, rewards, terminated, truncated, info = envs.step(envs.action_space.sample())
        assert obs in envs.observation_space
        if "episode" in info:
            lengths += info["episode"]["l"][info["_episode"]].tolist()
    # Every game ends by step 30, caught or cut by the limit, and is counted once.
    assert len(lengths) >= 2 and max(lengths) == 30 and min(lengths) > 0
    envs.close()


def test_async_workers_forked_after_a_render_in_the_parent(config, tmp_path):
    # Each forked worker plays, and says plainly that it cannot draw; the parent still draws.
    # Bounded by a timeout, so that a hang fails the test instead of stopping the run.
    script = f"""
import sys
sys.path.append({GYMNASIUM!r})
import gymnasium, gulper, numpy as np
parent = gulper.Env(config={config!r}, render_mode="rgb_array")
parent.reset(seed=1)
frame = parent.render()
make = lambda: gymnasium.make("gulper/Gulper-v1", config={config!r}, render_mode="rgb_array")
envs = gymnasium.vector.AsyncVectorEnv([make, make], context="fork")
obs, info = envs.reset(seed=[1, 2])
for _ in range(5):
    obs, *_ = envs.step(np.array([0, 0]))
try:
    frames = envs.render()
    print("rendered", len(frames), frames[0].shape)
except Exception as e:
    print("refused", e)
envs.close()
print("parent", parent.render().shape)
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          timeout=120, cwd=ROOT)
    assert done.returncode == 0, done.stderr
    lines = done.stdout.splitlines()
    assert lines[-1] == "parent (460, 380, 3)", done.stdout
    # The worker cannot reach the parent's OpenGL context, and says so instead of hanging.
    assert lines[0].startswith("refused render() cannot draw in a process forked"), done.stdout


def test_the_entry_point_declared_for_packaging_registers_the_environment():
    with open(os.path.join(ROOT, "python", "gymnasium-entry-point.toml"), "rb") as f:
        declared = tomllib.load(f)["project"]["entry-points"]["gymnasium.envs"]
    module, function = declared["gulper"].split(":")
    assert getattr(__import__(module), function)() is True
    assert ENV_ID in gymnasium.registry


def test_without_gymnasium_the_modules_own_spaces_stand_in(config):
    script = f"""
import sys
sys.modules["gymnasium"] = None  # as on a machine without it
import numpy as np, gulper
env = gulper.Env(config={config!r}, max_ticks=2000)
obs, info = env.reset(seed=3)
space = env.observation_space
assert isinstance(space, gulper.spaces.Dict), type(space)
assert obs in space and space["tick"].high == 2000
assert space["gulper_cell"].high.tolist() == [18, 21]
assert gulper.observation_space["tick"].high == 2**63 - 1
space.seed(1); first = space.sample()
space.seed(1); again = space.sample()
assert all(np.array_equal(first[k], again[k]) for k in first) and first in space
assert set(np.unique(first["board"])) <= {{0, 1, 2, 3, 4, 5, 9}}
assert env.action_space.sample() in env.action_space and 5 not in env.action_space
a, b = gulper.Env(config={config!r}), gulper.Env(config={config!r})
a.reset(seed=9); b.reset(seed=9)
assert a.reset()[1]["seed"] == b.reset()[1]["seed"] and env.unwrapped is env
assert gulper.register_envs() is False
print("ok")
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          timeout=60, cwd=ROOT)
    assert done.stdout.strip() == "ok", done.stderr
