"""Gulper from Python: the game in this process, stepped one decision at a time.

env = gulper.Env(); obs, info = env.reset(seed=1); obs, reward, terminated, truncated, info =
env.step(action). The observation's fields are described in docs/observation.md.
"""

from gulper._core import ACTIONS, BOARD_COLUMNS, BOARD_ROWS, Agent, Env, State
from gulper._core import _evaluate, agent_names, observation_fields
from gulper.spaces import Box, Dict, Discrete
from gulper.vector import VectorEnv

# What the actions mean: keep going, or the Gulper's direction from this cell centre.
KEEP, LEFT, UP, RIGHT, DOWN = range(ACTIONS)

observation_space = Dict(
    {name: Box(shape, dtype, low, high) for name, dtype, shape, low, high in observation_fields()}
)
action_space = Discrete(ACTIONS)
Env.observation_space = observation_space
Env.action_space = action_space
# As the standard environment API has it: the one way render() draws.
Env.metadata = {"render_modes": ["rgb_array"]}


def agent(name="planner"):
    """A registered agent (gulper.agent_names()); agent(obs, env) answers its action."""
    return Agent(name)


def evaluate(policy, games=1000, seed=1, config=None, max_ticks=100000, name=None,
             progress=False):
    """Plays games seed, seed + 1, ... with policy(obs, env) -> action and summarises them as
    gulper-sim does: its --json fields, and its printed summary under "text". A policy with a
    string attribute `state` (what it was doing at its last decision) has it counted under
    "caught while" for the games it lost. progress=True counts the games on standard error."""
    if games < 1:
        raise ValueError("games must be 1 or more")
    env = Env(config=config, max_ticks=max_ticks)
    label = name or getattr(policy, "name", None) or type(policy).__name__
    try:
        return _evaluate(env, policy, games, seed, label, progress)
    finally:
        env.close()


__all__ = [
    "ACTIONS", "BOARD_COLUMNS", "BOARD_ROWS", "KEEP", "LEFT", "UP", "RIGHT", "DOWN",
    "Agent", "Env", "VectorEnv", "State", "Box", "Dict", "Discrete",
    "agent", "agent_names", "evaluate", "observation_space", "action_space",
]
