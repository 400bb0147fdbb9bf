// The shipped data/ folder (settings and pictures), built into the workbench's programs so
// that they play and draw the shipped game wherever they are started.
#pragma once

namespace gulper {

// From now on a data file missing from the working folder ("data//config.txt", a picture) is
// read from the copy built in. The game's own window never calls it.
void UseShippedData();

}  // namespace gulper
