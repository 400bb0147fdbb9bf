"""Decisions per second: one Env with a fixed policy, the batch form, and gulper-sim's own
planner run, in one go on this machine.

    PYTHONPATH=build/python python3 python/scripts/benchmark.py [SECONDS]
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


def batch(seconds, count=64):
    envs = gulper.BatchEnv(count, config=CONFIG)
    envs.reset(seeds=1)
    steps, next_seed, end = 0, 1 + count, time.perf_counter() + seconds
    start = time.perf_counter()
    while time.perf_counter() < end:
        at = steps % (len(ACTIONS) - count)
        _, _, terminated, truncated, _ = envs.step(ACTIONS[at:at + count])
        steps += count
        done = terminated | truncated
        if done.any():
            envs.reset(seeds=list(range(next_seed, next_seed + count)), mask=done)
            next_seed += count
    return steps / (time.perf_counter() - start)


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
                          str(games), "--seed", "1", "--config", CONFIG],
                         capture_output=True, text=True, check=True).stderr
    return float(re.search(r"speed: *([0-9.]+) decisions", out).group(1))


if __name__ == "__main__":
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 3
    print(f"one Env, drawn actions:         {single(seconds):>10,.0f} decisions/s (target 100,000)")
    print(f"BatchEnv of 64, drawn actions:  {batch(seconds):>10,.0f} env-steps/s (target 300,000)")
    print(f"one Env, planner asked:         {planner_in_python():>10,.0f} decisions/s")
    print(f"gulper-sim, planner:            {sim():>10,.0f} decisions/s")
