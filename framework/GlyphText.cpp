#include "framework/GlyphText.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "framework/GLWindow.h"
#include "framework/platform/glyph_bitmaps.h"

namespace {
// The window's glyph lists cover codes 0 to 254.
constexpr int GLYPH_COUNT = 255;
}  // namespace

void GlyphText::Forget() {
    texture = 0;
    built = false;
    glyphs.clear();
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
    std::vector<uint8_t> atlas(static_cast<size_t>(texWidth) * texHeight, 0);
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const Glyph& g = glyphs[i];
        for (int row = 0; row < g.rows; ++row) {
            std::copy_n(&bitmaps[i].pixels[static_cast<size_t>(row) * g.width], g.width,
                        &atlas[static_cast<size_t>(g.y + row) * texWidth + g.x]);
        }
    }
    if (texture == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture = name;
    }
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, texWidth, texHeight, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 atlas.data());
    glPopClientAttrib();
    glPopAttrib();
    fontHeight = height;
    fontName = face;
    built = true;
    return true;
}

bool GlyphText::Print(GLWindow& window, const char* text) {
    if (text == nullptr || window.extra == nullptr) {
        return false;
    }
    const GLWindowExtra& extra = *window.extra;
    if (!built || fontHeight != extra.fontHeight || fontName != extra.fontName) {
        if (!Build(extra.fontHeight, extra.fontName)) {
            return false;
        }
    }
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid != GL_TRUE) {
        return true;
    }
    GLfloat position[4];
    GLfloat colour[4];
    GLint viewport[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, colour);
    glGetIntegerv(GL_VIEWPORT, viewport);

    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4fv(colour);
    const float sx = 1.0f / static_cast<float>(texWidth);
    const float sy = 1.0f / static_cast<float>(texHeight);
    // As glBitmap: the corner is the raster position less the origin, nudged and floored;
    // the raster position then moves on by the advance.
    const float epsilon = 0.0001f;
    float rx = position[0];
    const float ry = position[1];
    glBegin(GL_QUADS);
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c >= GLYPH_COUNT) {
            continue;  // code 255 has no glyph list: Printf leaves it out
        }
        const Glyph& g = glyphs[*c];
        if (g.width > 0 && g.rows > 0) {
            const int x0 = static_cast<int>(std::floor(rx + epsilon - g.xorig));
            const int y0 = static_cast<int>(std::floor(ry + epsilon - g.yorig));
            const float s0 = static_cast<float>(g.x) * sx;
            const float t0 = static_cast<float>(g.y) * sy;
            const float s1 = static_cast<float>(g.x + g.width) * sx;
            const float t1 = static_cast<float>(g.y + g.rows) * sy;
            glTexCoord2f(s0, t0);
            glVertex2i(x0, y0);
            glTexCoord2f(s1, t0);
            glVertex2i(x0 + g.width, y0);
            glTexCoord2f(s1, t1);
            glVertex2i(x0 + g.width, y0 + g.rows);
            glTexCoord2f(s0, t1);
            glVertex2i(x0, y0 + g.rows);
        }
        rx += g.xmove;
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    return true;
}
