// Images drawn with OpenGL; the window side links this, the window-free core does not.
#pragma once

#include "framework/Image.h"

// Whether the current OpenGL implementation draws blue-first layouts; asked of OpenGL on the
// first call, which needs a current context, and kept.
bool OpenGLDrawsBGRA();

// Draws the image at the current raster position; true when OpenGL reported no error. An empty
// image draws nothing, makes no OpenGL call and returns false. Blue-first layouts go to OpenGL
// as they are when `drawsBGRA` says it takes them, else as red-first copies; the image itself
// never changes.
bool DrawImage(const Image& image, bool (*drawsBGRA)() = OpenGLDrawsBGRA);
