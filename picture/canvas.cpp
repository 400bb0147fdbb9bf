// The tools' in-memory picture and its pixel font.
#include "picture/canvas.h"

namespace gulper {

const PixelFont& SmallFigures() {
    static const PixelFont font = {
        3,
        5,
        {
            {'0', {"###", "#.#", "#.#", "#.#", "###"}},
            {'1', {".#.", "##.", ".#.", ".#.", "###"}},
            {'2', {"###", "..#", "###", "#..", "###"}},
            {'3', {"###", "..#", "###", "..#", "###"}},
            {'4', {"#.#", "#.#", "###", "..#", "..#"}},
            {'5', {"###", "#..", "###", "..#", "###"}},
            {'6', {"###", "#..", "###", "#.#", "###"}},
            {'7', {"###", "..#", ".#.", ".#.", ".#."}},
            {'8', {"###", "#.#", "###", "#.#", "###"}},
            {'9', {"###", "#.#", "###", "..#", "###"}},
            {'.', {"...", "...", "...", "...", ".#."}},
            {'-', {"...", "...", "###", "...", "..."}},
        },
    };
    return font;
}

Canvas::Canvas(int width, int height, int channels)
    : width(width),
      height(height),
      channels(channels),
      pixels(static_cast<size_t>(width) * height * channels, 0) {}

Colour Canvas::Get(int x, int y) const {
    const uint8_t* p = At(x, y);
    return {p[0], p[1], p[2]};
}

void Canvas::Set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return;
    }
    uint8_t* p = At(x, y);
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
    if (channels == 4) {
        p[3] = 255;
    }
}

void Canvas::Fill(int x, int y, int w, int h, Colour c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            Set(i, j, c);
        }
    }
}

void Canvas::Text(const PixelFont& font, int x, int y, const std::string& text, int scale,
                  Colour c) {
    for (char ch : text) {
        const auto glyph = font.glyphs.find(ch);
        if (glyph != font.glyphs.end()) {
            for (int row = 0; row < font.height; ++row) {
                for (int col = 0; col < font.width; ++col) {
                    if (glyph->second[row][col] == '#') {
                        Fill(x + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
        }
        x += (font.width + 1) * scale;
    }
}

int TextWidth(const PixelFont& font, const std::string& text, int scale) {
    return static_cast<int>(text.size()) * (font.width + 1) * scale - scale;
}

}  // namespace gulper
