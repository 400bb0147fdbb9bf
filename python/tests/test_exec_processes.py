"""An exec agent asked for from Python cannot outlive the Python process: whatever the agent
starts, in a session of its own or orphaned, ends when Python ends, by its own exit or killed
outright."""

import os
import signal
import subprocess
import sys
import time

import pytest

from conftest import CONFIG, ROOT

AGENT = os.path.join(ROOT, "tests", "protocol", "hostile_agent.py")
PLAYER = r'''
import sys
import gulper
agent = gulper.agent("exec:" + sys.executable + " " + sys.argv[1] + " escape")
gulper.evaluate(agent, games=int(sys.argv[2]), seed=1, config=sys.argv[3], max_ticks=200)
'''


def running(folder):
    """The agent processes that noted their pid and still run (zombies have ended)."""
    alive = []
    for name in os.listdir(folder):
        try:
            with open("/proc/%s/stat" % name) as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
            with open("/proc/%s/cmdline" % name, "rb") as f:
                mine = b"hostile_agent" in f.read()
        except OSError:
            continue
        if state != "Z" and mine:
            alive.append(name)
    return alive


def await_none_running(folder):
    until = time.monotonic() + 5
    while running(folder) and time.monotonic() < until:
        time.sleep(0.05)
    return running(folder)


@pytest.mark.parametrize("ending", ["exit", "kill -9"])
def test_nothing_an_exec_agent_starts_outlives_python(tmp_path, ending):
    pids = tmp_path / "pids"
    pids.mkdir()
    games = 2 if ending == "exit" else 100000
    python = subprocess.Popen(
        [sys.executable, "-c", PLAYER, AGENT, str(games), CONFIG],
        env=dict(os.environ, GULPER_TEST_PIDS=str(pids)),
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if ending == "exit":
        assert python.wait(timeout=120) == 0, python.stderr.read()
    else:
        until = time.monotonic() + 30
        while len(os.listdir(pids)) < 3 and time.monotonic() < until:
            time.sleep(0.05)
        python.send_signal(signal.SIGKILL)
        python.wait()
    python.stderr.close()
    assert len(os.listdir(pids)) >= 3  # the agent, its child in a session of its own, a daemon
    assert await_none_running(pids) == []
