"""What the tests share: the repository's settings, gulper-sim, and the examples on the path."""

import csv
import io
import os
import subprocess
import sys

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "python", "examples"))
# Gymnasium is no Debian package: its source sits beside the repository where CI lays it. Put
# on the path before gulper is first imported, which looks for it once.
GYMNASIUM = os.path.normpath(os.path.join(ROOT, os.pardir, "shared", "vendor", "gymnasium-1.3.0"))
if os.path.isdir(GYMNASIUM) and GYMNASIUM not in sys.path:
    sys.path.append(GYMNASIUM)
CONFIG = os.path.join(ROOT, "data", "config.txt")


@pytest.fixture(scope="session")
def config():
    return CONFIG


def sim_path():
    return os.environ.get("GULPER_SIM", os.path.join(ROOT, "build", "tools", "gulper-sim"))


def sim_rows(games, seed, agent="planner", config=CONFIG):
    """gulper-sim's --csv rows by seed: (outcome, score, food_left, ticks, decisions)."""
    out = subprocess.run([sim_path(), "--games", str(games), "--seed", str(seed), "--agent", agent,
                          "--config", config, "--csv", "/dev/stdout"],
                         check=True, capture_output=True, text=True).stdout
    rows = csv.DictReader(io.StringIO(out.split("agent:")[0]))
    return {int(r["seed"]): (r["result"], int(r["score"]), int(r["food_left"]), int(r["ticks"]),
                             int(r["decisions"])) for r in rows}


def sim_output(*args, stream="stdout"):
    done = subprocess.run([sim_path(), *args], check=True, capture_output=True, text=True)
    return getattr(done, stream)
