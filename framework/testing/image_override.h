// For tests only (the game does not link it): the image drawing path's BGRA answer, forced.
#pragma once

// 0 makes SupportsBGRA answer false and 1 true from now on, as an implementation without or
// with blue-first layouts would; -1 forgets the override and goes back to the answer decided
// from the OpenGL strings.
void ImageOverrideBGRASupport(int mode);
