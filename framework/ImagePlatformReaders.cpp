// The platform's picture decoders behind ImageExtra::LoadBitmapFile and LoadPicture: their
// top-down rows become the image's, bottom row first.
#include "framework/ImagePlatformReaders.h"

#include <unistd.h>

#include <cstring>
#include <string>

#include "framework/Image.h"
#include "framework/platform/picture_loader.h"

namespace {

// What the platform decoders may produce: the same bounds as the framework's own readers.
constexpr platform::PictureLimits PICTURE_LIMITS{IMAGE_MAX_BYTES, IMAGE_MAX_SIDE,
                                                 IMAGE_MAX_FILE_BYTES};

// Fills the image from a platform decoder's top-down rows, keeping the 4-byte row
// alignment of a 24-bit bitmap as the row gap.
bool FillFromDecoded(ImageExtra& image, const platform::DecodedPicture& picture) {
    const int64_t stride = ((static_cast<int64_t>(picture.width) * 24 + 31) / 32) * 4;
    const int64_t rowBytes = (static_cast<int64_t>(picture.width) * 24 + 7) / 8;
    if (picture.width < 1 || picture.height < 1 ||
        !image.Allocate(picture.width, picture.height, PIXEL_BGR,
                        static_cast<int>(stride - rowBytes))) {
        image.Free();
        return false;
    }
    for (int y = 0; y < picture.height; ++y) {
        uint8_t* row = image.pixels + static_cast<size_t>(y) * image.stride;
        std::memcpy(row, picture.bgr.data() + (picture.height - 1 - y) * rowBytes, rowBytes);
        std::memset(row + rowBytes, 0, image.stride - image.rowBytes);
    }
    return true;
}

bool ReadBitmapFile(ImageExtra& image, const char* fileName) {
    platform::DecodedPicture picture;
    return platform::DecodeBitmapFile(fileName, PICTURE_LIMITS, picture) &&
           FillFromDecoded(image, picture);
}

bool ReadPicture(ImageExtra& image, const char* fileName) {
    if (fileName == nullptr) {
        return false;
    }
    // Relative names are joined to the current directory; the whole path, terminator
    // included, must fit in 260 characters.
    constexpr size_t MAX_PATH_CHARS = 260;
    std::string path;
    if (fileName[0] == '/') {
        path = fileName;
    } else {
        char directory[MAX_PATH_CHARS];
        if (getcwd(directory, sizeof directory) == nullptr) {
            return false;
        }
        path = std::string(directory) + "/" + fileName;
    }
    if (path.size() + 1 > MAX_PATH_CHARS) {
        return false;
    }
    platform::DecodedPicture picture;
    return platform::DecodePictureFile(path.c_str(), PICTURE_LIMITS, picture) &&
           FillFromDecoded(image, picture);
}

}  // namespace

void InstallPlatformImageReaders() {
    SetPlatformImageReaders({ReadBitmapFile, ReadPicture});
}
