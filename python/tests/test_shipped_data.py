"""The shipped settings and pictures are built in: from a folder with no data/ the module and
gulper-sim play and draw the game they play in the game folder, and say where the settings
came from; a data/ folder in the working folder still comes first."""

import os
import subprocess
import sys

import numpy as np
import pytest

import gulper
from conftest import ROOT, sim_path as relative_sim_path


def sim_path():
    return os.path.abspath(relative_sim_path())

PLAY_AND_DRAW = """
import sys
import numpy as np
import gulper
env = gulper.Env()
obs, info = env.reset(seed=3)
frame = env.render()
planner = gulper.agent("planner")
done = False
while not done:
    obs, _, terminated, truncated, info = env.step(planner(obs, env))
    done = terminated or truncated
np.save(sys.argv[1], frame)
print(info["outcome"], int(obs["score"]), info["ticks"], info["decisions"])
"""


def play_in(folder, frame_path):
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, "-c", PLAY_AND_DRAW, str(frame_path)], cwd=folder,
                          env=env, capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    return done.stdout.split(), np.load(frame_path)


def test_the_module_plays_and_draws_the_shipped_game_from_any_folder(tmp_path):
    elsewhere = tmp_path / "empty"
    elsewhere.mkdir()
    away, away_frame = play_in(elsewhere, tmp_path / "away.npy")
    home, home_frame = play_in(ROOT, tmp_path / "home.npy")
    assert away == home
    # The game gulper-sim --replay 3 plays in the game folder.
    sim = subprocess.run([sim_path(), "--replay", "3"], cwd=ROOT, capture_output=True,
                         text=True, check=True, timeout=120).stderr
    outcome, score, ticks, decisions = away
    assert (f"seed 3 {outcome}, score {score}, food left" in sim
            and f"{ticks} ticks, {decisions} decisions" in sim)
    # Every dot, pill, wall and sprite drawn as in the game folder, where the pictures are read.
    assert np.array_equal(away_frame, home_frame)
    assert away_frame.shape == (460, 380, 3)


def test_gulper_sim_says_it_plays_the_shipped_settings_and_plays_them(tmp_path):
    def run(folder):
        return subprocess.run([sim_path(), "--games", "20", "--seed", "5", "--jobs", "1"],
                              cwd=folder, capture_output=True, text=True, check=True,
                              timeout=120)

    away, home = run(tmp_path), run(ROOT)
    assert "playing the shipped settings built into gulper-sim" in away.stderr
    assert "shipped settings" not in home.stderr
    assert away.stdout == home.stdout


def test_a_data_folder_in_the_working_folder_comes_first(tmp_path):
    script = ("import gulper; obs, _ = gulper.Env().reset(seed=1); "
              "print(obs['ghost_present'].tolist())")
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))

    def ghosts(folder):
        return subprocess.run([sys.executable, "-c", script], cwd=folder, env=env,
                              capture_output=True, text=True, timeout=60, check=True).stdout

    (tmp_path / "empty").mkdir()
    assert ghosts(tmp_path / "empty").strip() == "[1, 1, 1, 1]"
    (tmp_path / "data").mkdir()
    (tmp_path / "data" / "config.txt").write_text(
        "red_ghost 0\ngreen_ghost 0\norange_ghost 0\nturquoise_ghost 0\n")
    assert ghosts(tmp_path).strip() == "[0, 0, 0, 0]"


def test_a_level_plays_its_published_settings_wherever_it_is_asked_for(tmp_path, monkeypatch):
    # A copy of the level in the working folder, changed, is not what the level plays.
    changed = tmp_path / "data" / "levels" / "v1"
    changed.mkdir(parents=True)
    (changed / "swift.txt").write_text("red_ghost 0\ngreen_ghost 0\n")
    sim = sim_path()
    monkeypatch.chdir(tmp_path)
    out = subprocess.run([sim, "--level", "swift", "--games", "3", "--seed", "2",
                          "--csv", "/dev/stdout"], capture_output=True, text=True, check=True)
    rows = [line.split(",") for line in out.stdout.split("agent:")[0].splitlines()[1:]]
    env = gulper.Env(level="swift")
    planner = gulper.agent("planner")
    for row in rows:
        obs, info = env.reset(seed=int(row[0]))
        done = False
        while not done:
            obs, _, terminated, truncated, info = env.step(planner(obs, env))
            done = terminated or truncated
        assert [info["outcome"], str(int(obs["score"])), str(info["ticks"])] == \
            [row[1], row[2], row[4]], row
    assert [name for name, _ in gulper.levels()] == [
        "gentle", "classic", "brisk", "swift", "relentless"]
    with pytest.raises(ValueError, match="no level named"):
        gulper.Env(level="nowhere")
    with pytest.raises(ValueError, match="give one of them"):
        gulper.Env(level="swift", config="data/levels/v1/swift.txt")
