// A session's game drawn by the game's own frame, in an offscreen OpenGL context that no
// screen shows, and read back as pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "episode/session.h"

namespace gulper {

// The frame the game window would show for the session's game now: WINDOW_HEIGHT rows of
// WINDOW_WIDTH RGB pixels, top row first. The pictures are the ones the game would read from
// data/ in the current directory. False, with the reason, when no OpenGL context can be had.
bool DrawSessionFrame(Session& session, std::vector<uint8_t>* rgb, std::string* why);

// Gives back the context and its window; the next frame makes them again.
void CloseFrameRenderer();

}  // namespace gulper
