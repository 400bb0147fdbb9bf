# gulper_image: filled in with the image layer.
