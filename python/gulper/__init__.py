"""Gulper from Python: the game in this process, stepped one decision at a time.

env = gulper.Env(); obs, info = env.reset(seed=1); obs, reward, terminated, truncated, info =
env.step(action). The observation's fields are described in docs/observation.md.
"""

from gulper import _core
from gulper._core import ACTIONS, BOARD_COLUMNS, BOARD_ROWS, Agent, State
from gulper._core import _evaluate, _evaluate_batched, agent_names, level_file, levels
from gulper._core import observation_fields
from gulper.env import Env, field_spaces
from gulper.spaces import Box, Dict, Discrete
from gulper.vector import VectorEnv

# What the actions mean: keep going, or the Gulper's direction from this cell centre.
KEEP, LEFT, UP, RIGHT, DOWN = range(ACTIONS)

# The dict observation of any game (an Env's own space bounds the tick by its max_ticks).
observation_space = field_spaces()
action_space = Discrete(ACTIONS)


def register_envs():
    """Registers "gulper/Gulper-v1" with Gymnasium, where it can be imported (importing gulper
    does it already); gymnasium.make("gulper/Gulper-v1", **Env's keywords) then makes an Env
    with info["action_mask"]. True when registered."""
    try:
        from gulper import _standard
    except ImportError:
        return False
    _standard.register_envs()
    return True


register_envs()


def agent(name="planner"):
    """A registered agent (gulper.agent_names()); agent(obs, env) answers its action."""
    return Agent(name)


def evaluate(policy, games=1000, seed=1, config=None, max_ticks=100000, name=None,
             progress=False, batch=None, obs_mode="dict", level=None):
    """Plays games seed, seed + 1, ... with policy(obs, env) -> action and summarises them as
    gulper-sim does: its --json fields, and its printed summary under "text". A policy with a
    string attribute `state` (what it was doing at its last decision) has it counted under
    "caught while" for the games it lost. progress=True counts the games on standard error.

    obs_mode ("dict", "planes" or "flat", as for Env) is the form the policy is given. With
    batch=N the policy is asked once per step for up to N games at once: policy(obs) with
    every array stacked over the games still playing, answering an integer array of one action
    per game; the results are the same games, by seed."""
    if games < 1:
        raise ValueError("games must be 1 or more")
    env = Env(config=config, max_ticks=max_ticks, level=level)
    label = name or getattr(policy, "name", None) or type(policy).__name__
    try:
        if obs_mode not in ("dict", "planes", "flat"):
            raise ValueError(f"obs_mode is one of dict, planes, flat, not {obs_mode!r}")
        flat = _flat_form(env) if obs_mode == "flat" else None
        if batch is None:
            if obs_mode != "dict" and not isinstance(policy, Agent):  # an agent reads the game
                policy = _InForm(policy, obs_mode, flat)
            return _evaluate(env, policy, games, seed, label, progress)
        if flat is not None:
            asked = policy
            policy = lambda obs, planes: asked(flat(obs, planes))  # noqa: E731
        return _evaluate_batched(env, policy, games, seed, label, batch, progress, obs_mode)
    finally:
        env.close()


def _flat_form(env):
    """What makes the flat vector of the dict observation and planes of the same games, under
    the env's settings."""
    from gulper import observations
    env.reset(seed=0)  # the settings' countdowns and the food at the start
    lengths = _core._countdown_lengths(env)
    food = int(_core.Env.observe(env)["food_left"])
    return lambda obs, planes: observations.flat(obs, planes, lengths, food, env.max_ticks)


class _InForm:
    """A policy(obs, env) given the observation in the planes or flat form; its `state` read
    through."""

    def __init__(self, policy, obs_mode, flat):
        self.policy, self.obs_mode, self.flat = policy, obs_mode, flat

    def __call__(self, obs, env):
        planes = _core._planes(env)
        return self.policy(planes if self.obs_mode == "planes" else self.flat(obs, planes), env)

    @property
    def state(self):
        return getattr(self.policy, "state", None)


__all__ = [
    "ACTIONS", "BOARD_COLUMNS", "BOARD_ROWS", "KEEP", "LEFT", "UP", "RIGHT", "DOWN",
    "Agent", "Env", "VectorEnv", "State", "Box", "Dict", "Discrete",
    "agent", "agent_names", "evaluate", "level_file", "levels", "observation_space",
    "action_space", "register_envs",
]
