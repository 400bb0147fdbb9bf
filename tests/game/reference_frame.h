#pragma once

class GameWindow;

// The board as it was first drawn: every picture by Image::Draw at its raster position, the
// walls as immediate lines, the score line by the window's bitmap-font display lists. The
// window's own frame must match it pixel for pixel. Leaves the frame unswapped.
void DrawReferenceFrame(GameWindow& window);
