#pragma once

#include <string>

// Sets the title of the window whose OpenGL context is current. The framework names a window
// only when it is made; the watcher's title follows the game as it plays.
void SetCurrentWindowTitle(const std::string& title);
