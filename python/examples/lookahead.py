"""A look-ahead Gulper: at each cell centre it copies the game (clone_state) onto an Env of its
own, tries every open way there, follows each with nearest-food for a few decisions, and takes
the way that scored most without being caught.

Each way is tried on sampled futures: the copy goes on with the ghosts' draws started afresh
(restore_state(state, reseed=...)), so the agent plans on what the ghosts might do, as a
player would. --exact replays the game's own future instead: an agent that knows the ghosts'
dice, which no real player does.

    PYTHONPATH=build/python python3 python/examples/lookahead.py [GAMES] [DEPTH] [--exact]
        [--samples N]
"""

import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gulper  # noqa: E402
from nearest_food import nearest_food  # noqa: E402
from random_policy import open_actions  # noqa: E402

CAUGHT = -100000


class LookAhead:
    name = "look-ahead"

    def __init__(self, depth=8, samples=1, exact=False, config=None, seed=0):
        self.depth = depth
        self.samples = 1 if exact else samples
        self.exact = exact
        self.config = config
        self.rng = np.random.default_rng(seed)
        self.copy = None  # the Env the ways are tried on

    def value(self, env, action):
        """Points over the next few decisions after `action`, far below zero when caught."""
        obs, total, over, stopped, _ = env.step(action)
        for _ in range(self.depth):
            if over or stopped:
                break
            obs, reward, over, stopped, _ = env.step(nearest_food(obs))
            total += reward
        return total + CAUGHT if env.info["outcome"] == "lost" else total

    def __call__(self, obs, env):
        if self.copy is None:
            self.copy = gulper.Env(config=self.config)
            self.copy.reset(seed=0)  # a started game under the same settings, to restore into
        choices = open_actions(obs) or [gulper.KEEP]
        here = env.clone_state()
        # Every way is tried on the same sampled futures, so that they are compared fairly.
        reseeds = [None] if self.exact else self.rng.integers(2**32, size=self.samples)
        best, best_value, danger = choices[0], None, False
        for action in choices:
            values = []
            for reseed in reseeds:
                self.copy.restore_state(here, reseed=reseed)
                values.append(self.value(self.copy, action))
            value = sum(values) / len(values)
            danger = danger or value < 0
            if best_value is None or value > best_value:
                best, best_value = action, value
        # For the summary's "caught while": whether some way led into a ghost.
        self.state = "fleeing" if danger else "feeding"
        return best


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="The look-ahead Gulper over seeds 1, 2, ...")
    parser.add_argument("games", nargs="?", type=int, default=20)
    parser.add_argument("depth", nargs="?", type=int, default=8)
    parser.add_argument("--exact", action="store_true",
                        help="replay the game's own future (knows the ghosts' dice)")
    parser.add_argument("--samples", type=int, default=1,
                        help="sampled futures per way (default 1)")
    args = parser.parse_args()
    agent = LookAhead(args.depth, samples=args.samples, exact=args.exact)
    print(gulper.evaluate(agent, games=args.games, seed=1, progress=True)["text"], end="")
