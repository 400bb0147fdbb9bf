#pragma once

#include "agent/player_agent.h"

// The route search as it was first written: open and closed lists scanned from the front,
// CellContent asked for every neighbour, the log written through the stream. The agent's
// search must find the same routes, leave the same records and print the same bytes.
bool ReferenceFindPath(PlayerAgent& agent, const GridPoint& start, const GridPoint& goal);
