"""Lines nobody asked for are dropped and counted as strays, never applied to a decision: the
kit's nearest-food agent plays each game exactly as the built-in one does while writing a line
before its hello (protocol 1), an extra line after every answer (1), or, under protocol 2,
junk, answers to the next decision and second answers around every answer. An agent that
answers each decision with the number of the one before has every such answer dropped and
forfeits by timeouts.

Usage: stray_test.py GULPER_SIM SOURCE_DIR
"""

import json
import os
import subprocess
import sys
import tempfile

SIM, SOURCE = sys.argv[1], sys.argv[2]
AGENT = os.path.join(SOURCE, "tests", "protocol", "stray_agent.py")
CONFIG = ["--config", os.path.join(SOURCE, "data", "config.txt")]
GAMES = ["--games", "3", "--seed", "5", "--max-ticks", "1500", "--jobs", "1"]
# Budgets no loaded machine misses, so that the clean and the noisy runs see no timeout.
ROOMY = ["--decision-ms", "2000", "--overage-ms", "10000"]
SAME = ("seed", "result", "score", "ticks", "decisions", "food_left", "caught_by", "caught_at")


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def play(folder, agent, extra=()):
    out = os.path.join(folder, "run.json")
    run = subprocess.run([SIM, "--agent", agent, "--json", out] + GAMES + CONFIG + list(extra),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300, text=True)
    if run.returncode != 0:
        fail("%s: gulper-sim exited with %d: %s" % (agent, run.returncode, run.stderr[-500:]))
    with open(out) as f:
        return json.load(f), run.stdout


def strays(game):
    return game["faults"].get("stray", 0)


with tempfile.TemporaryDirectory() as work:
    reference, _ = play(work, "nearest-food")
    decisions = [g["decisions"] for g in reference["games"]]
    for mode, per_decision in (("v2-clean", 0), ("v1-extra", 1), ("v2-noisy", 3)):
        played, text = play(work, "exec:%s %s %s" % (sys.executable, AGENT, mode), ROOMY)
        for ref, game in zip(reference["games"], played["games"]):
            if any(ref.get(k) != game.get(k) for k in SAME):
                fail("%s: seed %d played otherwise than the clean agent: %s against %s"
                     % (mode, ref["seed"], json.dumps(game)[:400], json.dumps(ref)[:400]))
            if game["faults"]["timeout"] or game["faults"]["invalid"] or game["faults"]["crash"]:
                fail("%s: faults %s" % (mode, game["faults"]))
        counted = [strays(g) for g in played["games"]]
        total, expected = sum(counted), per_decision * sum(decisions) + (mode == "v1-extra")
        # The last line after a game's last answer may arrive after its end, and is then the
        # next game's stray, or the run's end comes first.
        if not expected - 1 <= total <= expected:
            fail("%s: %s strays over games of %s decisions" % (mode, counted, decisions))
        if per_decision and "stray %d;" % total not in text:
            fail("%s: the summary does not show the strays: %s" % (mode, text))
        if not per_decision and "stray " in text.split("faults:")[1]:
            fail("%s: a run without strays shows them: %s" % (mode, text))
        print("ok: %s plays as the clean agent, strays %s" % (mode, counted))

    # A study's parts keep every stray (more than a game quotes), and join into their sum.
    agent = "exec:%s %s v1-extra" % (sys.executable, AGENT)
    parts, total = [], 0
    for k in (1, 2):
        part, _ = play(work, agent, ROOMY + ["--shard", "%d/2" % k])
        total += sum(strays(g) for g in part["games"])
        parts.append(os.path.join(work, "part%d.json" % k))
        os.replace(os.path.join(work, "run.json"), parts[-1])
    merged = subprocess.run([SIM, "--merge"] + parts, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=120, text=True)
    if merged.returncode != 0:
        fail("the parts of a run with strays do not merge: " + merged.stderr[-400:])
    if total <= 10 or "stray %d;" % total not in merged.stdout:
        fail("merged strays are not the parts' %d: %s" % (total, merged.stdout))
    print("ok: the parts of a run with strays merge to their %d strays" % total)

    played, text = play(work, "exec:%s %s v2-wrong" % (sys.executable, AGENT),
                        ["--decision-ms", "20", "--overage-ms", "0", "--fault-limit", "3"])
    for game in played["games"]:
        kinds = [f["kind"] for f in game.get("fault_list", [])]
        if (game["result"] != "forfeit" or game["faults"]["timeout"] != 4
                or kinds.count("stray") + game["late_answers"] < 3
                or not game["forfeit_reason"].startswith("timeout: more than 3 faults")):
            fail("v2-wrong: %s" % json.dumps(game)[:600])
    print("ok: answers to the wrong decision are dropped: %s"
          % [(g["faults"], g["late_answers"]) for g in played["games"]])
