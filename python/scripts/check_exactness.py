"""The full exactness counts, run once by hand (the tests play fewer games): the planner asked
at each decision over 200 seeds and the Python nearest-food over 1,000, against gulper-sim.

    PYTHONPATH=build/python python3 python/scripts/check_exactness.py [PLANNER_GAMES] [FOOD_GAMES]
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests"))

import gulper  # noqa: E402
from conftest import CONFIG, sim_rows  # noqa: E402
from nearest_food import nearest_food  # noqa: E402
from test_exactness import play  # noqa: E402


def compare(label, games, agent, policy):
    expected = sim_rows(games, 1, agent=agent)
    env = gulper.Env(config=CONFIG)
    differ = [seed for seed, row in expected.items() if play(env, seed, policy) != row]
    print(f"{label}: {len(expected)} seeds, {len(differ)} differ {differ[:10]}")
    return not differ


if __name__ == "__main__":
    planner_games = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    food_games = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    ok = compare("planner asked each decision", planner_games, "planner", gulper.agent("planner"))
    ok &= compare("Python nearest-food", food_games, "nearest-food", nearest_food)
    sys.exit(0 if ok else 1)
