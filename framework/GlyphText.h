// GlyphText: the window's bitmap text drawn as quads from one texture of its glyphs.
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
    // The same, but the glyphs wait for Flush, so that several lines go in one batch. The
    // raster position moves on at once, as Print moves it.
    bool Queue(GLWindow& window, const char* text);
    void Flush();
    // Forgets the texture, for a new context (it dies with the old one).
    void Forget();
    // Starts rendering the window's font ahead, on a thread of its own, so that the first
    // text drawn finds its glyphs ready. Needs no context.
    static void Prefetch(const GLWindow& window);

  private:
    struct Glyph {
        int x = 0, y = 0;  // place in the texture
        int width = 0, rows = 0;
        float xorig = 0, yorig = 0, xmove = 0;
    };
    struct Quad {
        int x0, y0, x1, y1;
        float s0, t0, s1, t1;
        float colour[4];
    };
    bool Build(int height, const std::string& face);
    void MoveRasterPosition(const char* text);

    uint32_t texture = 0;
    int texWidth = 0, texHeight = 0;
    int fontHeight = 0;
    std::string fontName;
    bool built = false;
    std::vector<Glyph> glyphs;
    std::vector<Quad> queued;
    int viewport[4] = {};
};
