"""gulper.VectorEnv: many games stepped in one call, on every core.

Stepping happens in C++ on worker threads, each game always on the same one, without the
interpreter lock; the observations are the same whatever the thread count. With Gymnasium
importable it is a gymnasium.vector.VectorEnv, and gymnasium.make_vec("gulper/Gulper-v1",
num_envs=n, vectorization_mode="vector_entry_point") makes one through `make_vector`.
"""

import numpy as np

from gulper import _core

try:
    import gymnasium
    from gymnasium.vector import AutoresetMode as _AutoresetMode
    from gymnasium.vector import VectorEnv as _Base
    from gymnasium.vector.utils import batch_space as _batch_space
except ImportError:  # works without Gymnasium, with the module's own spaces
    gymnasium = None
    _AutoresetMode = None
    _Base = object
    _batch_space = None

NEXT_STEP = "next_step"
SAME_STEP = "same_step"
_SEEDS = 1 << 32


class FreshSeeds:
    """Seeds from 0 to 2**32 - 1 in an order a key decides, none twice until all have been
    given: a four-round Feistel permutation of a count, so nothing grows with the games."""

    def __init__(self, key):
        self._keys = [(int(key) >> (16 * r)) & 0xFFFF for r in range(4)]
        self._count = 0

    def __call__(self, k=1):
        return [self.next() for _ in range(k)]

    def next(self):
        if self._count >= _SEEDS:
            raise RuntimeError("every seed from 0 to 4294967295 has been given")
        x, self._count = self._count, self._count + 1
        left, right = x >> 16, x & 0xFFFF
        for key in self._keys:
            mixed = ((right * 0x9E37 + key) * 0x85EB) & 0xFFFF
            left, right = right, left ^ (mixed ^ (mixed >> 7))
        return (left << 16) | right

    @classmethod
    def from_generator(cls, rng):
        """The seeds of a NumPy generator: its next draw is the key."""
        return cls(int(rng.integers(0, 1 << 63)))


# The modes by their names here and by Gymnasium's AutoresetMode values.
_MODES = {NEXT_STEP: NEXT_STEP, SAME_STEP: SAME_STEP, "NextStep": NEXT_STEP,
          "SameStep": SAME_STEP}


def _mode_name(mode):
    name = _MODES.get(getattr(mode, "value", mode)) if isinstance(
        getattr(mode, "value", mode), str) else None
    if name is None:
        raise ValueError(f'autoreset_mode is "next_step" or "same_step" (or Gymnasium\'s '
                         f'AutoresetMode.NEXT_STEP or SAME_STEP), not {mode!r}')
    return name


class VectorEnv(_Base):
    """num_envs games of Gulper stepped at once: step(actions) takes an integer array, one
    action per game, and gives (obs, rewards, terminated, truncated, info), each stacked over
    the games; info holds each game's seed, ticks, decisions and outcome, with Gymnasium's
    "_key" masks. A game that ends starts again by itself (autoreset_mode "next_step": at the
    next step, which makes no decision in it; "same_step": at once, its last observation and
    info in info["final_obs"] and info["final_info"]). Its seed is drawn from the vector's
    generator (np_random, seeded by reset(seed=S)), and none is drawn twice.

    reset(seed=S) starts games S, S+1, ..., as Gymnasium's vectors do; seed=[...] one each;
    seed=None seeds drawn. options={"reset_mask": mask} starts only the games masked, with
    drawn seeds (an int seed then seeds the generator) or their entries of a list.
    threads=None uses every core this process may run on."""

    metadata = {"render_modes": ["rgb_array"], "autoreset_mode": NEXT_STEP}

    def __init__(self, num_envs, config=None, max_ticks=100000, threads=None,
                 autoreset_mode=NEXT_STEP, render_mode=None, copy=True):
        mode = _mode_name(autoreset_mode)
        if render_mode not in (None, "rgb_array"):
            raise ValueError(f'render_mode is None or "rgb_array", not {render_mode!r}')
        if isinstance(num_envs, bool) or not isinstance(num_envs, (int, np.integer)):
            raise ValueError(f"num_envs is a whole number, not {num_envs!r}")
        self._games = _core.VectorGames(int(num_envs), config=config, max_ticks=max_ticks,
                                        threads=threads, same_step=mode == SAME_STEP, copy=copy)
        self.num_envs = int(num_envs)
        self.render_mode = render_mode
        self.metadata = dict(self.metadata)
        self.metadata["autoreset_mode"] = mode
        if _AutoresetMode is not None:
            self.metadata["autoreset_mode"] = (_AutoresetMode.SAME_STEP if mode == SAME_STEP
                                               else _AutoresetMode.NEXT_STEP)
        import gulper  # the package's spaces, Gymnasium's when it is there

        self.single_observation_space = gulper.observation_space
        self.single_action_space = gulper.action_space
        if _batch_space is not None and isinstance(gulper.observation_space, gymnasium.Space):
            self.observation_space = _batch_space(self.single_observation_space, self.num_envs)
            self.action_space = _batch_space(self.single_action_space, self.num_envs)
        else:
            self.observation_space = gulper.Dict({
                name: gulper.Box((self.num_envs, *box.shape), box.dtype, box.low, box.high)
                for name, box in gulper.observation_space.spaces.items()})
            self.action_space = gulper.Box((self.num_envs,), np.int64, 0, _core.ACTIONS - 1)
        self._seeds = None
        self._rng = None

    @property
    def threads(self):
        """The worker threads stepping the games (the calling thread is one of them)."""
        return self._games.threads

    # The generator, as Gymnasium's vectors keep it; without Gymnasium, NumPy's own.
    def _generator(self):
        if _Base is not object:
            return self.np_random
        if self._rng is None:
            self._rng = np.random.default_rng()
        return self._rng

    def _draw(self, k):
        if self._seeds is None:
            self._seeds = FreshSeeds.from_generator(self._generator())
        return self._seeds(k)

    def reset(self, *, seed=None, options=None):
        options = dict(options or {})
        mask = options.pop("reset_mask", None)
        if mask is not None:
            mask = np.asarray(mask)
            if mask.dtype != np.bool_ or mask.shape != (self.num_envs,):
                raise ValueError(f"reset_mask is a bool array of shape ({self.num_envs},)")
        if isinstance(seed, (int, np.integer)) and not isinstance(seed, bool):
            self._reseed(int(seed))
            if mask is None:
                if not 0 <= seed <= _SEEDS - self.num_envs:
                    raise ValueError("a seed is a whole number from 0 to 4294967295, and the "
                                     "last game's seed (seed + num_envs - 1) must be one too")
                seeds = list(range(int(seed), int(seed) + self.num_envs))
            else:
                seeds = self._draw_where(mask)
        elif seed is None:
            seeds = self._draw_where(mask)
        else:
            seeds = list(seed)
            if len(seeds) != self.num_envs:
                raise ValueError(f"reset takes one seed per game: {self.num_envs}")
            seeds = [self._draw(1)[0] if s is None else s for s in seeds]
        return self._games.reset(seeds, mask)

    def _reseed(self, seed):
        if not 0 <= seed < _SEEDS:
            raise ValueError(f"a seed is a whole number from 0 to 4294967295, not {seed}")
        if _Base is not object:
            _Base.reset(self, seed=seed)
        else:
            self._rng = np.random.default_rng(seed)
        self._seeds = None

    def _draw_where(self, mask):
        where = np.ones(self.num_envs, bool) if mask is None else mask
        drawn = iter(self._draw(int(where.sum())))
        return [next(drawn) if w else 0 for w in where]

    def step(self, actions):
        return self._games.step(actions, self._draw)

    def render(self):
        """Each game's frame (a tuple of 460x380x3 uint8 arrays), with render_mode="rgb_array"."""
        if self.render_mode is None:
            return None
        return self._games.render()

    def close_extras(self, **kwargs):
        self._games.close()

    if _Base is object:

        def close(self):
            self._games.close()

    def __len__(self):
        return self.num_envs

    def __repr__(self):
        return f"gulper.VectorEnv(num_envs={self.num_envs}, threads={self.threads})"


def make_vector(num_envs=1, **kwargs):
    """Gymnasium's vector entry point for "gulper/Gulper-v1": make_vec's num_envs and the
    environment's keyword arguments."""
    if kwargs.pop("max_episode_steps", None) is not None:
        raise ValueError("a Gulper game's limit is max_ticks, in ticks; max_episode_steps is "
                         "not one the vector can keep")
    # The single environment's keywords the vector has no counterpart for: refused when asked
    # for, never dropped in silence.
    for name, plain in (("action_mask", False), ("obs_mode", "dict"), ("catch_penalty", 0)):
        if kwargs.pop(name, plain) != plain:
            raise ValueError(f"gulper.VectorEnv gives the dict observation and the score as "
                             f"reward, with no action mask: {name} must stay {plain!r}")
    return VectorEnv(num_envs, **kwargs)
