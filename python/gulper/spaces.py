"""The shapes of what an Env takes and gives: small classes, no other library needed.

Each space samples from its own generator (seed() sets it) and answers `x in space`. Where
Gymnasium can be imported, gulper.Env gives Gymnasium's own spaces instead (standard()), with
the same bounds.
"""

import numpy as np


class _Seeded:
    _rng = None

    @property
    def np_random(self):
        if self._rng is None:
            self._rng = np.random.default_rng()
        return self._rng

    def seed(self, seed=None):
        """Seeds the space's sampling; returns the seed, as a list."""
        self._rng = np.random.default_rng(seed)
        return [seed]

    def __contains__(self, x):
        return self.contains(x)


class Box(_Seeded):
    """An array of a fixed shape and dtype, every element from low to high (arrays of that
    dtype, element by element); with `codes`, only those values occur."""

    def __init__(self, shape, dtype, low, high, codes=None):
        self.shape = tuple(shape)
        self.dtype = np.dtype(dtype)
        # Whole numbers stay exact: the largest int64 is not rounded through a float.
        self.low = np.broadcast_to(np.asarray(low, dtype=self.dtype), self.shape).copy()
        self.high = np.broadcast_to(np.asarray(high, dtype=self.dtype), self.shape).copy()
        self.codes = None if codes is None else np.asarray(sorted(codes), dtype=self.dtype)

    def contains(self, x):
        x = np.asarray(x)
        if x.shape != self.shape or x.dtype != self.dtype:
            return False
        if not (np.all(x >= self.low) and np.all(x <= self.high)):
            return False
        return self.codes is None or bool(np.isin(x, self.codes).all())

    def sample(self):
        if self.codes is not None:
            return self.np_random.choice(self.codes, size=self.shape)
        if self.dtype.kind == "f":
            return self.np_random.uniform(self.low, self.high).astype(self.dtype)
        return self.np_random.integers(self.low, self.high, endpoint=True,
                                       dtype=self.dtype.type)

    def __repr__(self):
        def bound(a):
            return f"{a.flat[0]}" if np.all(a == a.flat[0]) else str(a.tolist())
        codes = "" if self.codes is None else f", codes={self.codes.tolist()}"
        return (f"Box(shape={self.shape}, dtype={self.dtype}, low={bound(self.low)}, "
                f"high={bound(self.high)}{codes})")


class Discrete(_Seeded):
    """One of the whole numbers 0 .. n - 1."""

    def __init__(self, n):
        self.n = n
        self.start = 0
        self.shape = ()
        self.dtype = np.dtype(np.int64)

    def contains(self, x):
        if isinstance(x, np.ndarray) and x.shape == () and x.dtype.kind in "iu":
            x = x.item()
        return isinstance(x, (int, np.integer)) and not isinstance(x, bool) and 0 <= x < self.n

    def sample(self, rng=None):
        return int((rng or self.np_random).integers(self.n))

    def __repr__(self):
        return f"Discrete({self.n})"


class Dict(_Seeded):
    """Named spaces, one per observation field."""

    def __init__(self, spaces):
        self.spaces = dict(spaces)

    def contains(self, x):
        return (isinstance(x, dict) and set(x) == set(self.spaces)
                and all(s.contains(x[k]) for k, s in self.spaces.items()))

    def sample(self):
        return {k: s.sample() for k, s in self.spaces.items()}

    def seed(self, seed=None):
        """Seeds every field's sampling from the one seed."""
        super().seed(seed)
        seeds = np.random.default_rng(seed).integers(2**32, size=len(self.spaces))
        for s, child in zip(self.spaces.values(), seeds):
            s.seed(int(child))
        return [seed]

    def keys(self):
        return self.spaces.keys()

    def items(self):
        return self.spaces.items()

    def __iter__(self):
        return iter(self.spaces)

    def __len__(self):
        return len(self.spaces)

    def __getitem__(self, name):
        return self.spaces[name]

    def __repr__(self):
        return "Dict(" + ", ".join(f"{k}: {v!r}" for k, v in self.spaces.items()) + ")"


def standard(space):
    """The same space as Gymnasium's: Box, Discrete and Dict with the same bounds and dtypes
    (a Box with codes as Gymnasium's Box that samples and contains only those codes)."""
    from gulper import _standard  # only where Gymnasium imports
    return _standard.convert(space)
