// gulper-make-pictures: draws every picture the game reads and writes them as Targa files.
// The output is the same bytes on every run, so the committed pictures can be checked.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/output_file.h"
#include "picture/canvas.h"

namespace gulper {

namespace {

const Colour BLACK{0, 0, 0};
const Colour WHITE{255, 255, 255};
const Colour YELLOW{255, 230, 0};
const Colour PUPIL{30, 30, 160};

void Disc(Canvas& c, double cx, double cy, double r, Colour colour) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r) {
                c.Set(x, y, colour);
            }
        }
    }
}

// The box from (x0, y0) to (x1, y1), both corners included.
void Box(Canvas& c, int x0, int y0, int x1, int y1, Colour colour) {
    c.Fill(x0, y0, x1 - x0 + 1, y1 - y0 + 1, colour);
}

// An uncompressed 24-bit Targa file with its footer, bottom row first as Targa wants.
bool WriteTarga(const Canvas& c, const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.push_back(c.width & 0xFF), bytes.push_back(c.width >> 8);
    bytes.push_back(c.height & 0xFF), bytes.push_back(c.height >> 8);
    bytes.push_back(24), bytes.push_back(0);
    for (int y = c.height - 1; y >= 0; --y) {
        for (int x = 0; x < c.width; ++x) {
            const Colour p = c.Get(x, y);
            bytes.push_back(p.b), bytes.push_back(p.g), bytes.push_back(p.r);
        }
    }
    bytes.insert(bytes.end(), 8, 0);
    const char signature[] = "TRUEVISION-XFILE.";
    bytes.insert(bytes.end(), signature, signature + sizeof signature);
    return WriteWholeFile(path, std::string(bytes.begin(), bytes.end()), error);
}

enum Facing { LEFT, RIGHT, UP, DOWN };
const char* const FACING_NAMES[] = {"left", "right", "up", "down"};

void Facing2D(Facing f, double* dx, double* dy) {
    *dx = f == LEFT ? -1 : f == RIGHT ? 1 : 0;
    *dy = f == UP ? -1 : f == DOWN ? 1 : 0;  // canvas y grows downward
}

Canvas Gulper(Facing f) {
    Canvas c(20, 20);
    Disc(c, 10, 10, 9, YELLOW);
    double fx, fy;
    Facing2D(f, &fx, &fy);
    // The open mouth: a wedge of 70 degrees toward the way it goes.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const double dx = x + 0.5 - 10, dy = y + 0.5 - 10;
            const double len = std::sqrt(dx * dx + dy * dy);
            if (len > 0.5 && (dx * fx + dy * fy) / len > std::cos(35 * M_PI / 180)) {
                c.Set(x, y, BLACK);
            }
        }
    }
    // The eye, above the mouth's line.
    const double ex = f == UP || f == DOWN ? 14 : 10 - 1.5 * fx;
    const double ey = f == UP || f == DOWN ? 10 - 1.5 * fy : 5.5;
    Disc(c, ex, ey, 1.3, BLACK);
    return c;
}

void GhostBody(Canvas& c, Colour body) {
    Disc(c, 10, 9, 8, body);
    Box(c, 2, 9, 17, 17, body);
    // A wavy hem.
    for (int x = 2; x <= 17; ++x) {
        const int drop = (x / 3) % 2 == 0 ? 2 : 0;
        Box(c, x, 18, x, 17 + drop, body);
    }
}

Canvas Ghost(Colour body, Facing f) {
    Canvas c(20, 20);
    GhostBody(c, body);
    double fx, fy;
    Facing2D(f, &fx, &fy);
    for (double ex : {6.5, 13.5}) {
        Disc(c, ex, 8, 2.6, WHITE);
        Disc(c, ex + 1.2 * fx, 8 + 1.2 * fy, 1.3, PUPIL);
    }
    return c;
}

Canvas BlueGhost(Facing f) {
    const Colour body{40, 40, 230};
    const Colour face{255, 200, 180};
    Canvas c(20, 20);
    GhostBody(c, body);
    double fx, fy;
    Facing2D(f, &fx, &fy);
    const int shift = static_cast<int>(fx);
    Box(c, 6 + shift, 7, 7 + shift, 8, face);
    Box(c, 12 + shift, 7, 13 + shift, 8, face);
    // A frightened, wavy mouth.
    for (int x = 4; x <= 15; ++x) {
        c.Set(x + shift, (x % 2 == 0) ? 13 : 12, face);
    }
    return c;
}

Canvas Dot() {
    Canvas c(4, 4);
    Box(c, 0, 0, 3, 3, Colour{255, 190, 170});
    c.Set(0, 0, BLACK), c.Set(3, 0, BLACK), c.Set(0, 3, BLACK), c.Set(3, 3, BLACK);
    return c;
}

Canvas PowerPill() {
    Canvas c(10, 10);
    Disc(c, 5, 5, 5, Colour{255, 190, 170});
    return c;
}

Canvas Fruit() {
    Canvas c(16, 16);
    const Colour stem{40, 190, 40};
    for (int i = 0; i < 7; ++i) {
        c.Set(5 + i / 2, 9 - i, stem);
        c.Set(11 - i / 3, 9 - i, stem);
    }
    Box(c, 7, 2, 11, 3, stem);
    Disc(c, 4.5, 11.5, 4, Colour{220, 0, 30});
    Disc(c, 11.5, 12, 4, Colour{220, 0, 30});
    c.Set(3, 10, WHITE), c.Set(10, 11, WHITE);
    return c;
}

// A 5 x 7 font for the letters the messages need.
const PixelFont LETTERS = {
    5,
    7,
    {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
        {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    }};

// A message picture: black with a coloured frame and large letters.
Canvas Message(const std::vector<std::pair<std::string, int>>& lines, Colour colour) {
    int width = 0, height = 12;
    for (const auto& [text, scale] : lines) {
        width = std::max(width, TextWidth(LETTERS, text, scale) + 24);
        height += 7 * scale + 8;
    }
    Canvas c(width, height);
    Box(c, 0, 0, width - 1, height - 1, colour);
    Box(c, 2, 2, width - 3, height - 3, BLACK);
    int y = 10;
    for (const auto& [text, scale] : lines) {
        c.Text(LETTERS, (width - TextWidth(LETTERS, text, scale)) / 2, y, text, scale, colour);
        y += 7 * scale + 8;
    }
    return c;
}

}  // namespace

}  // namespace gulper

using namespace gulper;

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "data";
    std::vector<std::pair<std::string, Canvas>> pictures;
    const struct {
        const char* name;
        Colour body;
    } ghosts[] = {{"red", {230, 0, 0}},
                  {"green", {0, 200, 60}},
                  {"orange", {255, 150, 0}},
                  {"turquoise", {0, 220, 220}}};
    for (int f = LEFT; f <= DOWN; ++f) {
        const Facing facing = static_cast<Facing>(f);
        const std::string way = FACING_NAMES[f];
        pictures.emplace_back("gulper" + way, Gulper(facing));
        for (const auto& g : ghosts) {
            pictures.emplace_back(std::string(g.name) + "ghost" + way, Ghost(g.body, facing));
        }
        pictures.emplace_back("blueghost" + way, BlueGhost(facing));
    }
    pictures.emplace_back("dot", Dot());
    pictures.emplace_back("powerpill", PowerPill());
    pictures.emplace_back("fruit", Fruit());
    pictures.emplace_back("start", Message({{"GULPER", 6}, {"PRESS SPACE", 3}}, YELLOW));
    pictures.emplace_back("win", Message({{"YOU WIN!", 5}}, Colour{60, 230, 60}));
    pictures.emplace_back("lose", Message({{"GAME OVER", 5}}, Colour{240, 40, 40}));
    for (const auto& [name, canvas] : pictures) {
        const std::string path = dir + "/" + name + ".tga";
        std::string error;
        if (!WriteTarga(canvas, path, &error)) {
            std::fprintf(stderr, "gulper-make-pictures: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
