# gulper_framework: filled in with the window layer.
