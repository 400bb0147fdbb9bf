// The sprites' pictures, read once a run and copied into each new sprite.
#include "game/sprite_pictures.h"

#include <unistd.h>

#include <climits>
#include <map>
#include <mutex>
#include <string>

namespace {
bool wanted = true;

// Every picture read so far, by the working folder and the file name (a relative name means
// another file in another folder). Kept for the life of the process: a few dozen small sprites.
std::map<std::string, Image>& ReadPictures() {
    static std::map<std::string, Image> pictures;
    return pictures;
}
}  // namespace

void SetSpritePicturesWanted(bool on) {
    wanted = on;
}

bool SpritePicturesWanted() {
    return wanted;
}

void LoadSpritePicture(Image& image, const char* fileName) {
    if (!wanted) {
        return;
    }
    char folder[PATH_MAX];
    std::string key = getcwd(folder, sizeof folder) != nullptr ? folder : "";
    key.append("\n").append(fileName != nullptr ? fileName : "");
    // Games on several threads may make their ghosts at once; the reading is one at a time.
    static std::mutex reading;
    const std::lock_guard<std::mutex> hold(reading);
    auto& pictures = ReadPictures();
    auto found = pictures.find(key);
    if (found == pictures.end()) {
        found = pictures.emplace(key, Image()).first;
        found->second.Load(fileName);
    }
    image.CopyFrom(found->second);
}
