// GlyphText: the window's bitmap text drawn as quads from one texture of its glyphs.
#include "framework/GlyphText.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "framework/GLWindow.h"
#include "framework/pixel_space.h"
#include "framework/platform/glyph_bitmaps.h"

namespace {
// The window's glyph lists cover codes 0 to 254.
constexpr int GLYPH_COUNT = 255;
}  // namespace

void GlyphText::Forget() {
    queued.clear();
    texture = 0;
    built = false;
    glyphs.clear();
}

void GlyphText::Prefetch(const GLWindow& window) {
    if (window.extra != nullptr) {
        platform::PrefetchFontGlyphs(window.extra->fontHeight, window.extra->fontName.c_str(), 0,
                                     GLYPH_COUNT);
    }
}

bool GlyphText::Build(int height, const std::string& face) {
    std::vector<platform::GlyphBitmap> bitmaps;
    if (!platform::RenderFontGlyphs(height, face.c_str(), 0, GLYPH_COUNT, &bitmaps)) {
        return false;
    }
    // Shelves of glyphs, a pixel apart, in a texture of powers of two.
    int widest = 1;
    for (const auto& b : bitmaps) {
        widest = std::max(widest, b.width + 1);
    }
    texWidth = 256;
    while (texWidth < widest) {
        texWidth *= 2;
    }
    glyphs.assign(bitmaps.size(), Glyph());
    int x = 0, y = 0, shelf = 0;
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const auto& b = bitmaps[i];
        if (x + b.width + 1 > texWidth) {
            x = 0;
            y += shelf + 1;
            shelf = 0;
        }
        glyphs[i] = {x, y, b.width, b.rows, b.xorig, b.yorig, b.xmove};
        x += b.width + 1;
        shelf = std::max(shelf, b.rows);
    }
    texHeight = 1;
    while (texHeight < y + shelf + 1) {
        texHeight *= 2;
    }
    // White glyphs whose alpha is the coverage: modulated by the raster colour and
    // alpha-tested, the same program as the pictures'.
    std::vector<uint8_t> atlas(static_cast<size_t>(texWidth) * texHeight * 4, 0);
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const Glyph& g = glyphs[i];
        for (int row = 0; row < g.rows; ++row) {
            for (int col = 0; col < g.width; ++col) {
                uint8_t* texel =
                    &atlas[(static_cast<size_t>(g.y + row) * texWidth + g.x + col) * 4];
                texel[0] = texel[1] = texel[2] = 255;
                texel[3] = bitmaps[i].pixels[static_cast<size_t>(row) * g.width + col];
            }
        }
    }
    GLuint name = texture;
    MakeRgbaTexture(name, texWidth, texHeight, atlas.data(), texWidth, texHeight);
    texture = name;
    fontHeight = height;
    fontName = face;
    built = true;
    return true;
}

bool GlyphText::Print(GLWindow& window, const char* text) {
    if (!Queue(window, text)) {
        return false;
    }
    Flush();
    return true;
}

bool GlyphText::Queue(GLWindow& window, const char* text) {
    if (text == nullptr || window.extra == nullptr) {
        return false;
    }
    const GLWindowExtra& extra = *window.extra;
    if (!built || fontHeight != extra.fontHeight || fontName != extra.fontName) {
        Flush();
        if (!Build(extra.fontHeight, extra.fontName)) {
            return false;
        }
    }
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid == GL_TRUE) {
        GLfloat position[4];
        GLfloat colour[4];
        GLint view[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        glGetFloatv(GL_CURRENT_RASTER_COLOR, colour);
        glGetIntegerv(GL_VIEWPORT, view);
        if (!queued.empty() && !std::equal(view, view + 4, viewport)) {
            Flush();
        }
        std::copy(view, view + 4, viewport);
        const float sx = 1.0f / static_cast<float>(texWidth);
        const float sy = 1.0f / static_cast<float>(texHeight);
        // As glBitmap: the corner is the raster position less the origin, nudged and
        // floored; the raster position then moves on by the advance.
        const float epsilon = 0.0001f;
        float rx = position[0];
        const float ry = position[1];
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
            if (*c >= GLYPH_COUNT) {
                continue;  // code 255 has no glyph list: Printf leaves it out
            }
            const Glyph& g = glyphs[*c];
            if (g.width > 0 && g.rows > 0) {
                const int x0 = static_cast<int>(std::floor(rx + epsilon - g.xorig));
                const int y0 = static_cast<int>(std::floor(ry + epsilon - g.yorig));
                queued.push_back({x0,
                                  y0,
                                  x0 + g.width,
                                  y0 + g.rows,
                                  static_cast<float>(g.x) * sx,
                                  static_cast<float>(g.y) * sy,
                                  static_cast<float>(g.x + g.width) * sx,
                                  static_cast<float>(g.y + g.rows) * sy,
                                  {colour[0], colour[1], colour[2], colour[3]}});
            }
            rx += g.xmove;
        }
    }
    MoveRasterPosition(text);
    return true;
}

void GlyphText::Flush() {
    if (queued.empty()) {
        return;
    }
    // Drawn in the view they were queued in: a caller changing the view flushes the glyphs
    // queued before, when the new one is already set.
    GLint now[4];
    glGetIntegerv(GL_VIEWPORT, now);
    const bool otherView = !std::equal(now, now + 4, viewport);
    if (otherView) {
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    }
    {
        // The glyph texture holds coverage in alpha: the raster colour where a bit is set,
        // nothing where it is not (the alpha test drops texels of alpha 0).
        PixelSpace pixels(viewport, GL_MODULATE, true);
        glBindTexture(GL_TEXTURE_2D, texture);
        // The first colour is set outside the batch: a colour that never changes inside it
        // leaves the batch the pictures' vertex layout, so the driver compiles nothing anew.
        const float* colour = queued.front().colour;
        glColor4fv(colour);
        glBegin(GL_QUADS);
        for (const Quad& q : queued) {
            if (!std::equal(q.colour, q.colour + 4, colour)) {
                colour = q.colour;
                glColor4fv(colour);
            }
            glTexCoord2f(q.s0, q.t0);
            glVertex2i(q.x0, q.y0);
            glTexCoord2f(q.s1, q.t0);
            glVertex2i(q.x1, q.y0);
            glTexCoord2f(q.s1, q.t1);
            glVertex2i(q.x1, q.y1);
            glTexCoord2f(q.s0, q.t1);
            glVertex2i(q.x0, q.y1);
        }
        glEnd();
    }
    if (otherView) {
        glViewport(now[0], now[1], now[2], now[3]);
    }
    queued.clear();
}

void GlyphText::MoveRasterPosition(const char* text) {
    // Empty bitmaps with the glyphs' advances: the raster position ends where the glyph
    // lists would leave it, for whatever is drawn next without a position of its own.
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c < GLYPH_COUNT) {
            glBitmap(0, 0, 0.0f, 0.0f, glyphs[*c].xmove, 0.0f, nullptr);
        }
    }
}
