"""Env.write_replay: a game stepped from Python, written as a replay file, is the game that
gulper-sim --replay-file plays back."""

import json
import random
import subprocess

import pytest

import gulper
from conftest import sim_path


def play_random(env, seed, rng, keep_states=False):
    obs, info = env.reset(seed=seed)
    terminated = truncated = False
    while not (terminated or truncated):
        if keep_states and info["decisions"] == 10:
            # Look-ahead on a copy, then back: the file holds the game actually played.
            state = env.clone_state()
            for _ in range(5):
                env.step(rng.randrange(gulper.ACTIONS))
            env.restore_state(state)
        obs, _, terminated, truncated, info = env.step(rng.randrange(gulper.ACTIONS))
    return info


def replay_file(path):
    return subprocess.run([sim_path(), "--replay-file", str(path)], capture_output=True,
                          text=True)


@pytest.mark.parametrize("seed", [1, 4])
def test_a_random_policys_game_is_the_same_game_played_back(config, tmp_path, seed):
    env = gulper.Env(config=config)
    info = play_random(env, seed, random.Random(seed), keep_states=True)
    path = tmp_path / "game.json"
    env.write_replay(str(path), agent="random")
    done = replay_file(path)
    assert done.returncode == 0, done.stdout + done.stderr
    assert f"the same game: seed {seed} {info['outcome']}" in done.stdout
    recorded = json.loads(path.read_text())
    assert recorded["format"] == "gulper-replay" and recorded["agent"] == "random"
    assert recorded["result"]["decisions"] == info["decisions"] == len(recorded["actions"])
    assert recorded["config_text"] == open(config).read()

    # One action changed: the replay parts there.
    actions = recorded["actions"]
    k = len(actions) // 2
    recorded["actions"] = actions[:k] + ("1" if actions[k] != "1" else "3") + actions[k + 1:]
    path.write_text(json.dumps(recorded))
    done = replay_file(path)
    assert done.returncode == 1 and f"at decision {k} " in done.stdout, done.stdout


def test_only_a_finished_game_is_written(config, tmp_path):
    env = gulper.Env(config=config)
    env.reset(seed=2)
    env.step(gulper.LEFT)
    with pytest.raises(ValueError, match="not over"):
        env.write_replay(str(tmp_path / "early.json"))
    assert not (tmp_path / "early.json").exists()
    play_random(env, 2, random.Random(0))
    with pytest.raises(OSError, match="cannot write"):
        env.write_replay(str(tmp_path / "no-such-folder" / "game.json"))
