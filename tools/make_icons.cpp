// gulper-make-icons: the desktop icons, made from the Gulper's own picture.
// Reads the picture with the game's image readers and writes one PNG per size into
// OUT/<size>x<size>/apps/gulper.png, the layout of an icon theme. The black that surrounds the
// sprite becomes transparent; black inside it (the eye) stays.
// Usage: gulper-make-icons PICTURE OUT SIZE...

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "formats/output_file.h"
#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "picture/canvas.h"
#include "picture/png_encode.h"

namespace gulper {

namespace {

// The picture as straight-alpha RGBA, top row first.
bool ReadSprite(const char* path, Canvas& out) {
    Image image;
    if (!image.Load(path) || !image.ConvertTo(PIXEL_RGBA)) {
        return false;
    }
    out = Canvas(image.GetWidth(), image.GetHeight(), 4);
    for (int y = 0; y < out.height; ++y) {
        // The reader keeps the bottom row first, as the game draws it.
        std::memcpy(out.At(0, y), image.Row(out.height - 1 - y),
                    static_cast<size_t>(out.width) * 4);
    }
    // Black reached from the border is background.
    std::vector<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= out.width || y >= out.height) {
            return;
        }
        uint8_t* p = out.At(x, y);
        if (p[3] != 0 && p[0] == 0 && p[1] == 0 && p[2] == 0) {
            p[3] = 0;
            todo.emplace_back(x, y);
        }
    };
    for (int x = 0; x < out.width; ++x) {
        visit(x, 0);
        visit(x, out.height - 1);
    }
    for (int y = 0; y < out.height; ++y) {
        visit(0, y);
        visit(out.width - 1, y);
    }
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    return true;
}

// Area-weighted resampling in premultiplied alpha: every target pixel averages the part of the
// source it covers, so small icons stay smooth and large ones keep square pixels.
Canvas Resample(const Canvas& in, int size) {
    Canvas out(size, size, 4);
    const double sx = static_cast<double>(in.width) / size;
    const double sy = static_cast<double>(in.height) / size;
    for (int ty = 0; ty < size; ++ty) {
        for (int tx = 0; tx < size; ++tx) {
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            const double x0 = tx * sx, x1 = (tx + 1) * sx, y0 = ty * sy, y1 = (ty + 1) * sy;
            for (int y = static_cast<int>(y0); y < in.height && y < y1; ++y) {
                const double h = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
                for (int x = static_cast<int>(x0); x < in.width && x < x1; ++x) {
                    const double w = (std::min<double>(x + 1, x1) - std::max<double>(x, x0)) * h;
                    if (w <= 0) {
                        continue;
                    }
                    const uint8_t* p = in.At(x, y);
                    const double a = p[3] / 255.0;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += p[c] * a * w;
                    }
                    sum[3] += a * w;
                    area += w;
                }
            }
            uint8_t* q = out.At(tx, ty);
            if (area <= 0 || sum[3] <= 0) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                q[c] = static_cast<uint8_t>(std::min(255.0, sum[c] / sum[3] + 0.5));
            }
            q[3] = static_cast<uint8_t>(std::min(255.0, 255.0 * sum[3] / area + 0.5));
        }
    }
    return out;
}

bool WritePng(const std::string& path, const Canvas& picture) {
    std::string bytes;
    if (!EncodePng(picture, &bytes)) {
        std::fprintf(stderr, "gulper-make-icons: writing %s failed\n", path.c_str());
        return false;
    }
    std::string error;
    if (!WriteWholeFile(path, bytes, &error)) {
        std::fprintf(stderr, "gulper-make-icons: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool MakeFolder(const std::string& path) {
    std::string sofar;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            sofar = path.substr(0, i);
            if (mkdir(sofar.c_str(), 0755) != 0 && errno != EEXIST) {
                std::fprintf(stderr, "gulper-make-icons: cannot make %s: %s\n", sofar.c_str(),
                             std::strerror(errno));
                return false;
            }
        }
    }
    return true;
}

}  // namespace

}  // namespace gulper

using namespace gulper;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: gulper-make-icons PICTURE OUT SIZE...\n");
        return 2;
    }
    InstallPlatformImageReaders();  // every format the game reads
    Canvas sprite;
    if (!ReadSprite(argv[1], sprite) || sprite.width <= 0 || sprite.height <= 0) {
        std::fprintf(stderr, "gulper-make-icons: cannot read the picture %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        char* end = nullptr;
        const long size = std::strtol(argv[i], &end, 10);
        if (end == argv[i] || *end != '\0' || size < 1 || size > 1024) {
            std::fprintf(stderr, "gulper-make-icons: not an icon size: %s\n", argv[i]);
            return 2;
        }
        const std::string folder = std::string(argv[2]) + "/" + argv[i] + "x" + argv[i] + "/apps";
        const Canvas icon = Resample(sprite, static_cast<int>(size));
        if (!MakeFolder(folder) || !WritePng(folder + "/gulper.png", icon)) {
            return 1;
        }
    }
    return 0;
}
