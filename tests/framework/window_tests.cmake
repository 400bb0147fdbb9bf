# Tests of the window layer.
