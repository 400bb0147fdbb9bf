# Tests of the image layer.
