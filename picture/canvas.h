// A picture our tools draw in memory, top row first, and a pixel font to write on it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gulper {

struct Colour {
    uint8_t r, g, b;
};

// Letters drawn from a grid of pixels: each glyph is `height` rows of `width` characters,
// '#' for a pixel drawn. A character the font lacks is drawn blank.
struct PixelFont {
    int width;
    int height;
    std::map<char, std::vector<std::string>> glyphs;
};

// The figures and the few signs of the report's axes, 3 x 5 pixels.
const PixelFont& SmallFigures();

// Three channels (RGB) or four (RGBA, alpha straight), 8 bits each, every pixel 0 at first.
class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height, int channels = 3);

    uint8_t* At(int x, int y) { return &pixels[Offset(x, y)]; }
    const uint8_t* At(int x, int y) const { return &pixels[Offset(x, y)]; }
    // The colour of a pixel, ignoring its alpha.
    Colour Get(int x, int y) const;
    // Points outside the canvas are left alone; alpha becomes opaque.
    void Set(int x, int y, Colour c);
    void Fill(int x, int y, int w, int h, Colour c);
    // `text` in `font`, each font pixel a square of `scale`, its top-left corner at (x, y).
    void Text(const PixelFont& font, int x, int y, const std::string& text, int scale, Colour c);

    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<uint8_t> pixels;

  private:
    size_t Offset(int x, int y) const {
        return (static_cast<size_t>(y) * width + x) * static_cast<size_t>(channels);
    }
};

// The width `text` takes in `font`: one blank column between letters, none after the last.
int TextWidth(const PixelFont& font, const std::string& text, int scale);

}  // namespace gulper
