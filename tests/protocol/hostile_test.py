"""gulper-sim against an agent that misbehaves one way (hostile_agent.py): the run goes to its
end with the right fault or forfeit recorded for each game, its memory stays within a benign
agent's plus a margin, and no agent process is left behind. `interrupt` stops a run on worker
processes with SIGINT or SIGTERM instead and checks that every agent process goes with it.
`escape` plays with an agent whose children leave its session and process group, on one worker
process and on two: none outlives the run. `kill9` kills such a run with SIGKILL, on one worker
process and on two: nothing the agent started stays.

Usage: hostile_test.py GULPER_SIM SOURCE_DIR CASE
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time

SIM, SOURCE, CASE = sys.argv[1], sys.argv[2], sys.argv[3]
AGENT = os.path.join(SOURCE, "tests", "protocol", "hostile_agent.py")
BUDGETS = ["--decision-ms", "10", "--overage-ms", "20", "--fault-limit", "2", "--start-ms", "3000"]
MARGIN_KB = 16 * 1024
# For the agents that answer well and misbehave otherwise: budgets no loaded machine misses
# (the sanitizer build on two busy cores has taken 44 ms over an answer), so that every game
# plays to its end.
ROOMY = ["--decision-ms", "2000", "--overage-ms", "10000"]

# Each case: the games, more options, what every game's record must show.
CASES = {
    "silent": (20, [], lambda g: g["result"] == "forfeit" and g["faults"]["timeout"] == 3),
    "slow": (20, [], lambda g: g["result"] == "forfeit" and g["faults"]["timeout"] == 3
             and "timeout:" in g["forfeit_reason"]),
    "garbage": (20, [], lambda g: g["result"] == "forfeit" and g["faults"]["invalid"] == 3
                and g["forfeit_reason"].startswith("invalid: more than 2 faults")),
    "endless": (20, [], lambda g: g["result"] == "forfeit"
                and g["forfeit_reason"] == "invalid: a line longer than 65536 bytes"),
    "exit-now": (20, [], lambda g: g["result"] == "forfeit" and g["forfeit_reason"].startswith(
        "crash: the agent exited with status 0")),
    "exit-mid": (20, [], lambda g: g["result"] == "forfeit" and g["decisions"] == 10
                 and g["forfeit_reason"] == "crash: the agent exited with status 3"),
    "flood": (20, ["--agent-stderr", "pass"] + ROOMY, lambda g: g["result"] in ("lost", "won")
              and sum(g["faults"].values()) == 0),
    "deaf": (20, ROOMY, lambda g: g["result"] in ("lost", "won")),
    # Alive but no longer reading: a decision cannot be sent (the first may still go out
    # before the agent has closed its input, and time out).
    "shut": (20, [], lambda g: g["result"] == "forfeit" and g["decisions"] <= 1
             and g["forfeit_reason"] == "timeout: the agent stopped reading its input"),
    "fork-exit": (20, ["--start-ms", "200"], lambda g: g["result"] == "forfeit"
                  and g["forfeit_reason"] == "timeout: no answer to hello in 200 ms"),
}


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def rss_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def left_running(folder):
    """The agent processes that wrote their pid and still run (zombies have ended)."""
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


def run(mode, games, extra, folder, limit_s=120):
    """Plays the run; returns its JSON, its peak memory in KiB and its standard error."""
    out = os.path.join(folder, "run.json")
    pids = os.path.join(folder, "pids-" + mode)
    os.makedirs(pids, exist_ok=True)
    # Exec'd, so that no shell keeps a copy of the agent's input open for it.
    command = [SIM, "--agent", "exec:exec python3 %s %s 30" % (AGENT, mode), "--games", str(games),
               "--jobs", "1", "--config", os.path.join(SOURCE, "data", "config.txt"),
               "--json", out] + BUDGETS + extra
    env = dict(os.environ, GULPER_TEST_PIDS=pids)
    errors = open(os.path.join(folder, "err.txt"), "w+")
    sim = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=errors, env=env)
    peak, start = 0, time.monotonic()
    while sim.poll() is None:
        peak = max(peak, rss_kb(sim.pid))
        if time.monotonic() - start > limit_s:
            sim.kill()
            fail("%s: the run did not end in %d s" % (mode, limit_s))
        time.sleep(0.02)
    errors.seek(0)
    text = errors.read()
    if sim.returncode != 0:
        fail("%s: gulper-sim exited with %d: %s" % (mode, sim.returncode, text[-500:]))
    time.sleep(0.2)
    left = left_running(pids)
    if left:
        fail("%s: agent processes left running: %s" % (mode, left))
    with open(out) as f:
        return json.load(f), peak, text


def check_case(folder):
    games, extra, good = CASES[CASE]
    # As many games as the case: under the sanitizers memory grows with the work done.
    _, benign_peak, _ = run("benign", games, [], folder)
    played, peak, errors = run(CASE, games, extra, folder)
    if len(played["games"]) != games:
        fail("%d games played, not %d" % (len(played["games"]), games))
    for g in played["games"]:
        if not good(g):
            fail("seed %d: %s" % (g["seed"], json.dumps(g)[:600]))
    if peak > benign_peak + MARGIN_KB:
        fail("memory %d KiB against a benign agent's %d KiB" % (peak, benign_peak))
    if CASE == "flood" and len(errors) > games * (65536 + 200) + 10000:
        fail("%d bytes of the agent's errors passed on, more than 64 KiB a game" % len(errors))
    summary = played["summary"]
    print("ok: %s: %d games, forfeit %d, faults %s, late answers %d, peak %d KiB (benign %d)"
          % (CASE, games, summary["forfeit"], summary["faults"], summary["late_answers"], peak,
             benign_peak))


def check_interrupt(folder):
    for sig, jobs in ((signal.SIGINT, 2), (signal.SIGTERM, 2), (signal.SIGINT, 1),
                      (signal.SIGTERM, 1)):
        pids = os.path.join(folder, "pids-%d-%d" % (sig, jobs))
        os.makedirs(pids)
        command = [SIM, "--agent", "exec:python3 %s deaf" % AGENT, "--games", "100000",
                   "--jobs", str(jobs), "--config", os.path.join(SOURCE, "data", "config.txt")]
        sim = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=dict(os.environ, GULPER_TEST_PIDS=pids))
        for _ in range(300):
            if len(os.listdir(pids)) >= jobs:
                break
            time.sleep(0.05)
        else:
            sim.kill()
            fail("the agents did not start")
        time.sleep(0.3)
        sim.send_signal(sig)
        try:
            sim.wait(timeout=20)
        except subprocess.TimeoutExpired:
            sim.kill()
            fail("gulper-sim did not end on signal %d" % sig)
        time.sleep(0.5)
        left = left_running(pids)
        if left:
            fail("signal %d left agent processes running: %s" % (sig, left))
        if sim.returncode != -sig:
            fail("gulper-sim ended with %d, not by signal %d" % (sim.returncode, sig))
        print("ok: signal %d ended gulper-sim --jobs %d and all %d agent processes"
              % (sig, jobs, len(os.listdir(pids))))


def await_pids(sim, pids, count):
    for _ in range(300):
        if len(os.listdir(pids)) >= count:
            return
        time.sleep(0.05)
    sim.kill()
    fail("the agents did not start")


def await_none_left(pids, what, limit_s=5):
    until = time.monotonic() + limit_s
    while left_running(pids):
        if time.monotonic() > until:
            fail("%s left processes running: %s" % (what, left_running(pids)))
        time.sleep(0.05)


def agent_command(mode, games, jobs, pids):
    # The interpreter itself, not a launcher that may take seconds to find it on a busy machine.
    return ([SIM, "--agent", "exec:%s %s %s" % (sys.executable, AGENT, mode), "--games", str(games),
             "--jobs", str(jobs), "--config", os.path.join(SOURCE, "data", "config.txt")],
            dict(os.environ, GULPER_TEST_PIDS=pids))


def check_escape(folder):
    for jobs in (1, 2):
        pids = os.path.join(folder, "pids-escape-%d" % jobs)
        os.makedirs(pids)
        command, env = agent_command("escape", 4, jobs, pids)
        run = subprocess.run(command + ROOMY, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                             env=env, timeout=120)
        if run.returncode != 0:
            fail("gulper-sim --jobs %d exited with %d: %s" % (jobs, run.returncode, run.stderr))
        started = len(os.listdir(pids))
        if started < 3 * jobs:
            fail("only %d agent processes started" % started)
        # Nothing is left to end after the run: it waits for its agents' trees to be gone.
        await_none_left(pids, "gulper-sim --jobs %d" % jobs, 0.5)
        print("ok: --jobs %d: all %d agent processes, setsid or not, ended with the run"
              % (jobs, started))


def check_kill9(folder):
    for jobs in (1, 2):
        pids = os.path.join(folder, "pids-kill9-%d" % jobs)
        os.makedirs(pids)
        command, env = agent_command("escape", 100000, jobs, pids)
        sim = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env)
        await_pids(sim, pids, 3 * jobs)
        time.sleep(0.3)
        sim.kill()
        sim.wait()
        await_none_left(pids, "kill -9 of gulper-sim --jobs %d" % jobs)
        print("ok: kill -9 of gulper-sim --jobs %d ended all %d agent processes"
              % (jobs, len(os.listdir(pids))))


with tempfile.TemporaryDirectory() as work:
    if CASE == "interrupt":
        check_interrupt(work)
    elif CASE == "escape":
        check_escape(work)
    elif CASE == "kill9":
        check_kill9(work)
    else:
        check_case(work)
