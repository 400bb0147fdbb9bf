"""gulper with Gymnasium: its spaces, and the registration of gulper/Gulper-v1. Imported only
where Gymnasium can be."""

import gymnasium
import numpy as np
from gymnasium import spaces as gs

from gulper import spaces as own

ENV_ID = "gulper/Gulper-v1"


class CodeBox(gs.Box):
    """A Box of cell codes: the bounds are the lowest and highest code, but only the codes
    themselves occur, so only they are sampled or contained."""

    def __init__(self, codes, shape, dtype, seed=None):
        self.codes = np.asarray(sorted(codes), dtype=dtype)
        super().__init__(low=self.codes[0], high=self.codes[-1], shape=shape, dtype=dtype,
                         seed=seed)

    def sample(self, mask=None, probability=None):
        if mask is not None or probability is not None:
            raise gymnasium.error.Error("a board of cell codes samples without a mask")
        return self.np_random.choice(self.codes, size=self.shape)

    def contains(self, x):
        return super().contains(x) and bool(np.isin(np.asarray(x), self.codes).all())

    def __eq__(self, other):
        return super().__eq__(other) and np.array_equal(self.codes,
                                                        getattr(other, "codes", None))

    def __repr__(self):
        return f"CodeBox({self.codes.tolist()}, {self.shape}, {self.dtype})"


def convert(space):
    if isinstance(space, own.Dict):
        return gs.Dict({k: convert(s) for k, s in space.items()})
    if isinstance(space, own.Discrete):
        return gs.Discrete(space.n)
    if isinstance(space, own.Box):
        if space.codes is not None:
            return CodeBox(space.codes, space.shape, space.dtype)
        return gs.Box(low=space.low, high=space.high, shape=space.shape, dtype=space.dtype)
    raise TypeError(f"not a gulper space: {space!r}")


def register_envs():
    """Registers gulper/Gulper-v1 once: gymnasium.make("gulper/Gulper-v1", **Env's keywords).
    The environment checks its own order of calls and has no step limit but max_ticks, so
    make() wraps it in nothing: check_env sees the environment itself."""
    if ENV_ID not in gymnasium.registry:
        gymnasium.register(ENV_ID, entry_point="gulper.env:Env", order_enforce=False,
                           disable_env_checker=True, kwargs={"action_mask": True})
