"""The games an Env plays are gulper-sim's games, move for move."""

import pytest

import gulper
from conftest import sim_output, sim_rows
from nearest_food import nearest_food


def play(env, seed, policy):
    obs, info = env.reset(seed=seed)
    terminated = truncated = False
    while not (terminated or truncated):
        obs, _, terminated, truncated, info = env.step(policy(obs, env))
    return (info["outcome"], int(obs["score"]), int(obs["food_left"]), info["ticks"],
            info["decisions"])


def test_planner_asked_each_decision_plays_the_simulators_games(config):
    env = gulper.Env(config=config)
    planner = gulper.agent("planner")
    expected = sim_rows(25, 1)
    assert {seed: play(env, seed, planner) for seed in expected} == expected


def test_an_agent_that_plans_on_futures_asked_each_decision_plays_the_simulators_games(config):
    # The search agent tries futures on the game it is asked about: Python's game, put back.
    env = gulper.Env(config=config)
    search = gulper.agent("search-fast")
    expected = sim_rows(2, 4, agent="search-fast")
    assert {seed: play(env, seed, search) for seed in expected} == expected


def test_python_nearest_food_equals_the_shipped_agent(config):
    env = gulper.Env(config=config)
    expected = sim_rows(60, 500, agent="nearest-food")
    assert {seed: play(env, seed, nearest_food) for seed in expected} == expected


def test_agent_log_is_the_replays_log(config):
    env = gulper.Env(config=config, agent_log=True)
    play(env, 7, gulper.agent("planner"))
    assert env.take_log() == sim_output("--replay", "7", "--config", config)
    assert env.take_log() == ""


def test_a_short_game_limit_truncates_as_the_simulator_does(config):
    env = gulper.Env(config=config, max_ticks=500)
    outcome, score, _, ticks, decisions = play(env, 3, gulper.agent("planner"))
    assert (outcome, ticks) == ("unfinished", 500)
    expected = sim_output("--replay", "3", "--config", config, "--max-ticks", "500",
                          stream="stderr")
    assert f"unfinished, score {score}, " in expected and f" {decisions} decisions" in expected


def test_evaluate_prints_the_simulators_summary(config):
    summary = gulper.evaluate(gulper.agent("planner"), games=15, seed=20, config=config)
    assert summary["text"] == sim_output("--games", "15", "--seed", "20", "--config", config)
    assert summary["summary"]["games"] == 15
    assert [g["seed"] for g in summary["games"]] == list(range(20, 35))


def test_a_python_policy_is_summarised_as_the_shipped_agent(config):
    # The port says what it does (its `state`), so even "caught while" is gulper-sim's.
    summary = gulper.evaluate(nearest_food, games=12, seed=40, config=config, name="nearest-food")
    assert summary["text"] == sim_output("--games", "12", "--seed", "40", "--config", config,
                                         "--agent", "nearest-food")
    with pytest.raises(ValueError, match="games"):
        gulper.evaluate(nearest_food, games=0)
