"""One episode loop under every front end: an agent in another process answers for Python as
gulper-sim plays it, and every JSON output stays valid UTF-8 whatever bytes the settings hold."""

import json
import os
import shutil
import subprocess
import sys

import pytest

import gulper
from conftest import CONFIG, ROOT, sim_path, sim_rows

KIT = "exec:" + sys.executable + " " + os.path.join(ROOT, "kits", "python", "nearest_food.py")


def test_an_exec_agent_plays_for_python_as_gulper_sim_plays_it():
    games, seed = 100, 1
    summary = gulper.evaluate(gulper.agent(KIT), games=games, seed=seed, config=CONFIG)
    played = {g["seed"]: (g["result"], g["score"], g["food_left"], g["ticks"], g["decisions"])
              for g in summary["games"]}
    assert played == sim_rows(games, seed, agent=KIT)
    assert summary["summary"]["forfeit"] == 0
    # The answers were the program's own: the kit heads for food, unlike the planner.
    assert played != sim_rows(games, seed)


def test_an_exec_agent_asked_step_by_step_answers_what_it_would_play():
    env = gulper.Env(config=CONFIG)
    kit = gulper.agent(KIT)
    obs, info = env.reset(seed=4)
    steps = 0
    while info["outcome"] == "playing" and steps < 5000:
        obs, reward, terminated, truncated, info = env.step(kit(obs, env))
        steps += 1
    row = sim_rows(1, 4, agent=KIT)[4]
    assert (info["outcome"], info["ticks"], info["decisions"]) == (row[0], row[3], row[4])


def strict_json(path):
    with open(path, "rb") as f:
        data = f.read()
    return json.loads(data.decode("utf-8", errors="strict"))


def test_every_json_output_is_valid_utf8_when_the_settings_hold_bad_bytes(tmp_path):
    # A settings file named with the byte 0xff and holding it: the game reads past the bad
    # line, and every JSON file written mends the byte instead of passing it through.
    folder = os.fsencode(str(tmp_path))
    name = os.path.join(folder, b"cfg\xff.txt")
    with open(CONFIG, "rb") as f:
        text = f.read()
    with open(name, "wb") as f:
        f.write(text + b"\n\xff\xfe bad line\n")
    record = tmp_path / "rec"
    run_json, merge_json = tmp_path / "run.json", tmp_path / "merge.json"
    parts = [tmp_path / "p1.json", tmp_path / "p2.json"]
    report = tmp_path / "report"
    sim = os.fsencode(sim_path())
    base = [sim, b"--games", b"4", b"--seed", b"2", b"--config", name]
    subprocess.run(base + [b"--json", os.fsencode(str(run_json)), b"--record",
                           os.fsencode(str(record)), b"--report", os.fsencode(str(report))],
                   check=True, capture_output=True)
    for k, part in enumerate(parts, 1):
        subprocess.run(base + [b"--shard", b"%d/2" % k, b"--json", os.fsencode(str(part))],
                       check=True, capture_output=True)
    subprocess.run([sim, b"--merge"] + [os.fsencode(str(p)) for p in parts] +
                   [b"--json", os.fsencode(str(merge_json))], check=True, capture_output=True)

    run = strict_json(run_json)
    assert run["config"] == str(tmp_path) + "/cfg\ufffd.txt"
    assert strict_json(merge_json)["games"] == run["games"]
    replays = sorted(os.listdir(record))
    assert len(replays) == 4
    for replay in replays:
        data = strict_json(record / replay)
        assert data["config_text"].endswith("\n\ufffd\ufffd bad line\n")
        assert data["config_name"].endswith("cfg\ufffd.txt")
    # The report's page carries the run's data block as JSON too.
    page = (report / "index.html").read_bytes()
    page.decode("utf-8", errors="strict")


def test_an_exec_agent_that_forfeits_starts_every_game_afresh_as_in_gulper_sim():
    # One agent object serves every game of an evaluation: a forfeit, its faults and its
    # decision count end with their game.
    hostile = ("exec:" + sys.executable + " " +
               os.path.join(ROOT, "tests", "protocol", "hostile_agent.py") + " exit-mid")
    summary = gulper.evaluate(gulper.agent(hostile), games=3, seed=1, config=CONFIG)
    sim = json.loads(subprocess.run(
        [sim_path(), "--games", "3", "--seed", "1", "--agent", hostile, "--config", CONFIG,
         "--jobs", "1", "--json", "/dev/stdout"],
        check=True, capture_output=True, text=True).stdout.split("\nagent:")[0])
    keys = ("seed", "result", "ticks", "decisions", "forfeit_reason", "faults")
    assert ([{k: g[k] for k in keys} for g in summary["games"]] ==
            [{k: g[k] for k in keys} for g in sim["games"]])
    assert [g["result"] for g in summary["games"]] == ["forfeit"] * 3


COUNTING_AGENT = r'''
import json, sys
expected = 0
for line in sys.stdin:
    message = json.loads(line)
    if message["type"] == "hello":
        expected = 0
        print(json.dumps({"name": "counter"}), flush=True)
    elif message["type"] == "decide":
        if message["decision"] != expected:
            sys.exit(3)  # out of count: the game is forfeited as a crash
        expected += 1
        print(json.dumps({"action": 0}), flush=True)
'''


def test_every_game_counts_its_decisions_from_0(tmp_path):
    # The same agent object across games, as evaluate uses it: each game's first decide is 0.
    agent = tmp_path / "counter.py"
    agent.write_text(COUNTING_AGENT)
    summary = gulper.evaluate(gulper.agent("exec:" + sys.executable + " " + str(agent)),
                              games=3, seed=1, config=CONFIG)
    assert summary["summary"]["forfeit"] == 0
    assert all(g["decisions"] > 10 for g in summary["games"])
