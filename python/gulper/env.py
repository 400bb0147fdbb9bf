"""gulper.Env: one game stepped a decision at a time, as the standard environment API has it.

Where Gymnasium can be imported the class is a gymnasium.Env, its spaces Gymnasium's; without
it the module's own spaces stand in, with the same bounds, sampling and `in`.
"""

import numpy as np

from gulper import _core, observations
from gulper import spaces as own

try:
    import gymnasium
    from gymnasium.utils import seeding

    from gulper import _standard
except ImportError:
    gymnasium = None

OBS_MODES = ("dict", "planes", "flat")
SEEDS = 2**32  # seeds are 0 .. 2^32 - 1
BOARD_CODES = (0, 1, 2, 3, 4, 5, 9)  # the cell codes a board holds


def field_spaces(max_ticks=None):
    """The dict observation's space: each field's exact bounds, and with max_ticks the tick's
    too (it never passes the game's limit)."""
    fields = {}
    for name, dtype, shape, low, high in _core.observation_fields():
        codes = BOARD_CODES if name == "board" else None
        if name == "tick" and max_ticks is not None:
            high = max_ticks
        fields[name] = own.Box(shape, dtype, low, high, codes=codes)
    return own.Dict(fields)


def _bases():
    return (_core.Env, gymnasium.Env) if gymnasium is not None else (_core.Env,)


class Env(*_bases()):
    """One seeded game of Gulper. obs_mode "dict" (the fields of docs/observation.md), "planes"
    (13 x 22 x 19 uint8 for a convolutional network) or "flat" (a float32 vector from 0 to 1);
    action_mask=True adds info["action_mask"], the actions that move the Gulper; catch_penalty
    is taken from the reward of the step in which the Gulper is caught (0: the reward is the
    score gained)."""

    # A step is one cell of the Gulper's way: about a second of the game at its shipped pace.
    metadata = {"render_modes": ["rgb_array"], "render_fps": 1}
    spec = None

    def __init__(self, config=None, max_ticks=_core.DEFAULT_MAX_TICKS, agent_log=False,
                 render_mode=None, *, obs_mode="dict", action_mask=False, catch_penalty=0,
                 level=None):
        if level is not None:
            if config is not None:
                raise ValueError("config and level each name the settings: give one of them")
            config = _core.level_file(level)
        if obs_mode not in OBS_MODES:
            raise ValueError(f"obs_mode is one of {', '.join(OBS_MODES)}, not {obs_mode!r}")
        if not isinstance(catch_penalty, (int, float, np.integer, np.floating)) or not (
                np.isfinite(catch_penalty) and catch_penalty >= 0):
            raise ValueError(f"catch_penalty is a number from 0 up, not {catch_penalty!r}")
        _core.Env.__init__(self, config, max_ticks, agent_log, render_mode)
        self.max_ticks = int(max_ticks)
        self.obs_mode = obs_mode
        self.action_mask = bool(action_mask)
        self.catch_penalty = catch_penalty
        self._np_random = None
        self._np_random_seed = None
        self._closed = False
        self._lengths = None
        self._food_at_start = 1
        space = {"dict": lambda: field_spaces(self.max_ticks),
                 "planes": observations.planes_space,
                 "flat": observations.flat_space}[obs_mode]()
        action = own.Discrete(_core.ACTIONS)
        if gymnasium is not None:
            space, action = _standard.convert(space), _standard.convert(action)
        self.observation_space = space
        self.action_space = action

    # The generator reset() draws unseeded games from, as the standard API keeps it.
    if gymnasium is None:
        @property
        def np_random(self):
            if self._np_random is None:
                self._np_random = np.random.default_rng()
            return self._np_random

        @property
        def np_random_seed(self):
            return -1 if self._np_random_seed is None else self._np_random_seed

        @property
        def unwrapped(self):
            return self

    def reset(self, *, seed=None, options=None):
        """Starts a game; returns (obs, info). reset(seed=S) plays the game gulper-sim
        --replay S plays and seeds the generator that later unseeded resets draw their seeds
        from; a first reset without a seed draws from fresh entropy."""
        if options is not None and (not isinstance(options, dict) or options):
            raise ValueError(f"reset takes no options, not {options!r}")
        if seed is not None:
            _core.Env.reset(self, seed)  # refuses a seed out of range before it seeds anything
            self._seed_generator(int(seed))
        else:
            _core.Env.reset(self, int(self.np_random.integers(SEEDS)))
        if self.obs_mode == "flat":
            self._lengths = _core._countdown_lengths(self)
            self._food_at_start = int(_core.Env.observe(self)["food_left"])
        return self.observe(), self.info

    def _seed_generator(self, seed):
        if gymnasium is not None:
            self._np_random, self._np_random_seed = seeding.np_random(seed)
        else:
            self._np_random, self._np_random_seed = np.random.default_rng(seed), seed

    def step(self, action):
        """One decision; returns (obs, reward, terminated, truncated, info)."""
        _, reward, terminated, truncated, info = _core.Env.step(self, action)
        if self.catch_penalty and info["outcome"] == "lost":
            reward -= self.catch_penalty
        return self.observe(), reward, terminated, truncated, self._with_mask(info)

    def observe(self):
        if self.obs_mode == "planes":
            return observations.planes(self)
        obs = _core.Env.observe(self)
        if self.obs_mode == "flat":
            return observations.flat(obs, observations.planes(self), self._lengths,
                                     self._food_at_start, self.max_ticks)
        return obs

    @property
    def info(self):
        return self._with_mask(_core.Env.info.fget(self))

    def _with_mask(self, info):
        if self.action_mask:
            info["action_mask"] = self.open_ways()
        return info

    def open_ways(self):
        """The actions that move the Gulper on from this decision, as 0/1 by action (int8):
        keep going, left, up, right, down. A closed way is no error, but costs a decision."""
        return _core._open_ways(self).astype(np.int8)

    def close(self):
        """Ends the game and frees it; closing again does nothing."""
        if not self._closed:
            _core.Env.close(self)
            self._closed = True

    def __repr__(self):
        return f"<gulper.Env obs_mode={self.obs_mode!r} max_ticks={self.max_ticks}>"
