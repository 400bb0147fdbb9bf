"""Decisions per second: one Env with a fixed policy, a VectorEnv of 64 games on one thread and
on two, and gulper-sim's own planner run on one worker, in one go on this machine.

    PYTHONPATH=build/python python3 python/scripts/benchmark.py [SECONDS]

The VectorEnv targets: at least 0.8 of gulper-sim --jobs 1 on one thread, and 1.7 times its own
one-thread figure on two. Measure on a machine otherwise idle: other work skews the two-thread
figure most.
"""

import os
import re
import subprocess
import sys
import time

import numpy as np

import gulper

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CONFIG = os.path.join(ROOT, "data", "config.txt")


# The fixed policy: actions drawn once, before the clock starts, so that only the game's ticks
# and the round trip of each step are timed.
ACTIONS = np.random.default_rng(0).integers(0, gulper.ACTIONS, size=1 << 16)


def single(seconds):
    env = gulper.Env(config=CONFIG)
    actions = ACTIONS.tolist()
    steps, seed, end = 0, 1, time.perf_counter() + seconds
    start = time.perf_counter()
    while time.perf_counter() < end:
        env.reset(seed=seed)
        seed += 1
        done = False
        while not done:
            _, _, terminated, truncated, _ = env.step(actions[steps & 0xFFFF])
            done = terminated or truncated
            steps += 1
    return steps / (time.perf_counter() - start)


def vector(seconds, threads, count=64):
    envs = gulper.VectorEnv(count, config=CONFIG, threads=threads)
    envs.reset(seed=1)
    # The actions of every step drawn beforehand: a fixed array, one row per step.
    rows = ACTIONS[: (len(ACTIONS) // count) * count].reshape(-1, count)
    steps, end = 0, time.perf_counter() + seconds
    start = time.perf_counter()
    while time.perf_counter() < end:
        envs.step(rows[steps % len(rows)])
        steps += 1
    rate = steps * count / (time.perf_counter() - start)
    envs.close()
    return rate


def planner_in_python(games=200):
    env = gulper.Env(config=CONFIG)
    planner = gulper.agent("planner")
    start, decisions = time.perf_counter(), 0
    for seed in range(1, games + 1):
        obs, _ = env.reset(seed=seed)
        done = False
        while not done:
            obs, _, terminated, truncated, info = env.step(planner(obs, env))
            done = terminated or truncated
        decisions += info["decisions"]
    return decisions / (time.perf_counter() - start)


def sim(games=200):
    out = subprocess.run([os.path.join(ROOT, "build", "tools", "gulper-sim"), "--games",
                          str(games), "--seed", "1", "--config", CONFIG, "--jobs", "1"],
                         capture_output=True, text=True, check=True).stderr
    return float(re.search(r"speed: *([0-9.]+) decisions", out).group(1))


if __name__ == "__main__":
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 3
    print(f"one Env, drawn actions:         {single(seconds):>10,.0f} decisions/s (target 100,000)")
    one, two = vector(seconds, 1), vector(seconds, 2)
    print(f"VectorEnv of 64, one thread:    {one:>10,.0f} decisions/s")
    print(f"VectorEnv of 64, two threads:   {two:>10,.0f} decisions/s ({two / one:.2f} times; "
          "target 1.7)")
    print(f"one Env, planner asked:         {planner_in_python():>10,.0f} decisions/s")
    sim_rate = sim()
    print(f"gulper-sim --jobs 1, planner:   {sim_rate:>10,.0f} decisions/s (VectorEnv on one "
          f"thread: {one / sim_rate:.2f} of it; target 0.8)")
