#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GLWindow;

// The window's bitmap text from one texture of its glyphs: the pixels GLWindow::Printf gives
// through its glyph display lists, drawn as one batch of quads. Needs the window's context
// current; the texture belongs to that context.
class GlyphText {
  public:
    GlyphText() = default;
    GlyphText(const GlyphText&) = delete;
    GlyphText& operator=(const GlyphText&) = delete;

    // Draws `text` at the current raster position in the raster colour, each character
    // placed and advanced as glBitmap does; nothing while the raster position is outside
    // the view. False, with nothing drawn, when the window's font gives no glyphs.
    bool Print(GLWindow& window, const char* text);
    // Forgets the texture, for a new context (it dies with the old one).
    void Forget();

  private:
    struct Glyph {
        int x = 0, y = 0;  // place in the texture
        int width = 0, rows = 0;
        float xorig = 0, yorig = 0, xmove = 0;
    };
    bool Build(int height, const std::string& face);

    uint32_t texture = 0;
    int texWidth = 0, texHeight = 0;
    int fontHeight = 0;
    std::string fontName;
    bool built = false;
    std::vector<Glyph> glyphs;
};
