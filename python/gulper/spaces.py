"""The shapes of what an Env takes and gives: small classes, no other library needed."""

import numpy as np


class Box:
    """An array of a fixed shape and dtype, every element from low to high."""

    def __init__(self, shape, dtype, low, high):
        self.shape = tuple(shape)
        self.dtype = np.dtype(dtype)
        self.low = low
        self.high = high

    def contains(self, x):
        x = np.asarray(x)
        return (x.shape == self.shape and x.dtype == self.dtype
                and bool(np.all(x >= self.low)) and bool(np.all(x <= self.high)))

    def __repr__(self):
        return f"Box(shape={self.shape}, dtype={self.dtype}, low={self.low:g}, high={self.high:g})"


class Discrete:
    """One of the whole numbers 0 .. n - 1."""

    def __init__(self, n):
        self.n = n
        self.shape = ()
        self.dtype = np.dtype(np.int64)

    def contains(self, x):
        return isinstance(x, (int, np.integer)) and 0 <= x < self.n

    def sample(self, rng=None):
        return int((rng or np.random.default_rng()).integers(self.n))

    def __repr__(self):
        return f"Discrete({self.n})"


class Dict:
    """Named spaces, one per observation field."""

    def __init__(self, spaces):
        self.spaces = dict(spaces)

    def contains(self, x):
        return set(x) == set(self.spaces) and all(s.contains(x[k]) for k, s in self.spaces.items())

    def __getitem__(self, name):
        return self.spaces[name]

    def __repr__(self):
        return "Dict(" + ", ".join(f"{k}: {v!r}" for k, v in self.spaces.items()) + ")"
