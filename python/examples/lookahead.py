"""A look-ahead Gulper: at each cell centre it tries every open way on a copy of the game
(clone_state / restore_state), follows each with nearest-food for a few decisions, and takes
the way that scored most without being caught.

    PYTHONPATH=build/python python3 python/examples/lookahead.py [GAMES] [DEPTH]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gulper  # noqa: E402
from nearest_food import nearest_food  # noqa: E402
from random_policy import open_actions  # noqa: E402


class LookAhead:
    name = "look-ahead"

    def __init__(self, depth=8):
        self.depth = depth

    def value(self, env, action):
        """Points over the next few decisions after `action`, far below zero when caught."""
        obs, total, over, stopped, _ = env.step(action)
        for _ in range(self.depth):
            if over or stopped:
                break
            obs, reward, over, stopped, _ = env.step(nearest_food(obs))
            total += reward
        return total - 100000 if env.info["outcome"] == "lost" else total

    def __call__(self, obs, env):
        choices = open_actions(obs) or [gulper.KEEP]
        here = env.clone_state()
        best, best_value, danger = choices[0], None, False
        for action in choices:
            value = self.value(env, action)
            env.restore_state(here)
            danger = danger or value < 0
            if best_value is None or value > best_value:
                best, best_value = action, value
        # For the summary's "caught while": whether some way led into a ghost.
        self.state = "fleeing" if danger else "feeding"
        return best


if __name__ == "__main__":
    games = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    depth = int(sys.argv[2]) if len(sys.argv) > 2 else 8
    print(gulper.evaluate(LookAhead(depth), games=games, seed=1, progress=True)["text"], end="")
