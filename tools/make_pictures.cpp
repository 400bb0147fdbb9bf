// gulper-make-pictures: draws every picture the game reads and writes them as Targa files.
// The output is the same bytes on every run, so the committed pictures can be checked.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Colour {
    uint8_t r, g, b;
};

const Colour BLACK{0, 0, 0};
const Colour WHITE{255, 255, 255};
const Colour YELLOW{255, 230, 0};
const Colour PUPIL{30, 30, 160};

// A picture drawn top row first; written bottom row first as Targa wants.
class Canvas {
  public:
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h), BLACK) {}
    void Set(int x, int y, Colour c) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            pixels[static_cast<size_t>(y * width + x)] = c;
        }
    }
    Colour Get(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    void Disc(double cx, double cy, double r, Colour c) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (dx * dx + dy * dy <= r * r) {
                    Set(x, y, c);
                }
            }
        }
    }
    void Box(int x0, int y0, int x1, int y1, Colour c) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                Set(x, y, c);
            }
        }
    }
    bool Write(const std::string& path) const {
        std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        bytes.push_back(width & 0xFF), bytes.push_back(width >> 8);
        bytes.push_back(height & 0xFF), bytes.push_back(height >> 8);
        bytes.push_back(24), bytes.push_back(0);
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                const Colour c = Get(x, y);
                bytes.push_back(c.b), bytes.push_back(c.g), bytes.push_back(c.r);
            }
        }
        bytes.insert(bytes.end(), 8, 0);
        const char signature[] = "TRUEVISION-XFILE.";
        bytes.insert(bytes.end(), signature, signature + sizeof signature);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return static_cast<bool>(out);
    }
    const int width, height;

  private:
    std::vector<Colour> pixels;
};

enum Facing { LEFT, RIGHT, UP, DOWN };
const char* const FACING_NAMES[] = {"left", "right", "up", "down"};

void Facing2D(Facing f, double* dx, double* dy) {
    *dx = f == LEFT ? -1 : f == RIGHT ? 1 : 0;
    *dy = f == UP ? -1 : f == DOWN ? 1 : 0;  // canvas y grows downward
}

Canvas Gulper(Facing f) {
    Canvas c(20, 20);
    c.Disc(10, 10, 9, YELLOW);
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
    c.Disc(ex, ey, 1.3, BLACK);
    return c;
}

void GhostBody(Canvas& c, Colour body) {
    c.Disc(10, 9, 8, body);
    c.Box(2, 9, 17, 17, body);
    // A wavy hem.
    for (int x = 2; x <= 17; ++x) {
        const int drop = (x / 3) % 2 == 0 ? 2 : 0;
        c.Box(x, 18, x, 17 + drop, body);
    }
}

Canvas Ghost(Colour body, Facing f) {
    Canvas c(20, 20);
    GhostBody(c, body);
    double fx, fy;
    Facing2D(f, &fx, &fy);
    for (double ex : {6.5, 13.5}) {
        c.Disc(ex, 8, 2.6, WHITE);
        c.Disc(ex + 1.2 * fx, 8 + 1.2 * fy, 1.3, PUPIL);
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
    c.Box(6 + shift, 7, 7 + shift, 8, face);
    c.Box(12 + shift, 7, 13 + shift, 8, face);
    // A frightened, wavy mouth.
    for (int x = 4; x <= 15; ++x) {
        c.Set(x + shift, (x % 2 == 0) ? 13 : 12, face);
    }
    return c;
}

Canvas Dot() {
    Canvas c(4, 4);
    c.Box(0, 0, 3, 3, Colour{255, 190, 170});
    c.Set(0, 0, BLACK), c.Set(3, 0, BLACK), c.Set(0, 3, BLACK), c.Set(3, 3, BLACK);
    return c;
}

Canvas PowerPill() {
    Canvas c(10, 10);
    c.Disc(5, 5, 5, Colour{255, 190, 170});
    return c;
}

Canvas Fruit() {
    Canvas c(16, 16);
    const Colour stem{40, 190, 40};
    for (int i = 0; i < 7; ++i) {
        c.Set(5 + i / 2, 9 - i, stem);
        c.Set(11 - i / 3, 9 - i, stem);
    }
    c.Box(7, 2, 11, 3, stem);
    c.Disc(4.5, 11.5, 4, Colour{220, 0, 30});
    c.Disc(11.5, 12, 4, Colour{220, 0, 30});
    c.Set(3, 10, WHITE), c.Set(10, 11, WHITE);
    return c;
}

// A 5 x 7 font for the letters the messages need.
const std::map<char, std::vector<std::string>> FONT = {
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
};

int TextWidth(const std::string& text, int scale) {
    return static_cast<int>(text.size()) * 6 * scale - scale;
}

void Text(Canvas& c, const std::string& text, int x, int y, int scale, Colour colour) {
    for (char ch : text) {
        const auto& glyph = FONT.at(ch);
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (glyph[row][col] == '#') {
                    c.Box(x + col * scale, y + row * scale, x + col * scale + scale - 1,
                          y + row * scale + scale - 1, colour);
                }
            }
        }
        x += 6 * scale;
    }
}

// A message picture: black with a coloured frame and large letters.
Canvas Message(const std::vector<std::pair<std::string, int>>& lines, Colour colour) {
    int width = 0, height = 12;
    for (const auto& [text, scale] : lines) {
        width = std::max(width, TextWidth(text, scale) + 24);
        height += 7 * scale + 8;
    }
    Canvas c(width, height);
    c.Box(0, 0, width - 1, height - 1, colour);
    c.Box(2, 2, width - 3, height - 3, BLACK);
    int y = 10;
    for (const auto& [text, scale] : lines) {
        Text(c, text, (width - TextWidth(text, scale)) / 2, y, scale, colour);
        y += 7 * scale + 8;
    }
    return c;
}

}  // namespace

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
        if (!canvas.Write(path)) {
            std::fprintf(stderr, "gulper-make-pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
