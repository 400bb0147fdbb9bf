// The sprites' pictures: each file read at most once a run, and not at all by a run that
// draws nothing.
#pragma once

#include "framework/Image.h"

// Whether sprites made from now on carry their pictures. On unless a run that never draws
// turns it off; a sprite made while it is off has empty pictures.
void SetSpritePicturesWanted(bool wanted);
bool SpritePicturesWanted();

// Gives `image` the picture of `fileName` as Image::Load would, reading the file (a relative
// name: in the working folder of the time) only the first time the run asks for it; a file
// that cannot be read stays empty and is not tried again. Does nothing while pictures are not
// wanted.
void LoadSpritePicture(Image& image, const char* fileName);

// Turns pictures off for as long as it lives: a headless game's sprites read nothing.
class NoSpritePictures {
  public:
    NoSpritePictures() : was(SpritePicturesWanted()) { SetSpritePicturesWanted(false); }
    ~NoSpritePictures() { SetSpritePicturesWanted(was); }
    NoSpritePictures(const NoSpritePictures&) = delete;
    NoSpritePictures& operator=(const NoSpritePictures&) = delete;

  private:
    bool was;
};
