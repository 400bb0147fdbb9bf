// The system font's glyphs as 1-bit bitmaps in OpenGL display lists.

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "framework/platform/platform.h"

namespace platform {

namespace {

constexpr int SYSTEM_FONT_PIXELS = 13;

// The file of the default bold sans-serif face, or of the named face.
std::string FindFontFile(const char* fontName) {
    std::string file;
    if (!FcInit()) {
        return file;
    }
    const std::string family = fontName != nullptr && *fontName != '\0' ? fontName : "sans-serif";
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (pattern == nullptr) {
        return file;
    }
    if (fontName == nullptr || *fontName == '\0') {
        FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

}  // namespace

bool BuildGlyphLists(uint32_t listBase, int first, int count, const char* fontName, int height) {
    const std::string file = FindFontFile(fontName);
    if (file.empty()) {
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face face = nullptr;
    bool ok = FT_New_Face(library, file.c_str(), 0, &face) == 0;
    ok = ok && FT_Set_Pixel_Sizes(face, 0, height > 0 ? height : SYSTEM_FONT_PIXELS) == 0;
    if (ok) {
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        std::vector<uint8_t> rows;
        for (int i = 0; i < count; ++i) {
            const unsigned code = static_cast<unsigned>(first + i);  // bytes read as Latin-1
            glNewList(listBase + static_cast<uint32_t>(i), GL_COMPILE);
            const FT_UInt index = code < 32 ? 0 : FT_Get_Char_Index(face, code);
            if (index != 0 &&
                FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
                const FT_GlyphSlot g = face->glyph;
                const FT_Bitmap& b = g->bitmap;
                const int rowBytes = static_cast<int>((b.width + 7) / 8);
                rows.assign(static_cast<size_t>(rowBytes) * b.rows, 0);
                // glBitmap wants the bottom row first.
                for (unsigned y = 0; y < b.rows; ++y) {
                    const uint8_t* src = b.buffer + static_cast<int>(y) * b.pitch;
                    std::copy(src, src + rowBytes, &rows[(b.rows - 1 - y) * rowBytes]);
                }
                glBitmap(static_cast<GLsizei>(b.width), static_cast<GLsizei>(b.rows),
                         static_cast<GLfloat>(-g->bitmap_left),
                         static_cast<GLfloat>(static_cast<int>(b.rows) - g->bitmap_top),
                         static_cast<GLfloat>(g->advance.x >> 6), 0,
                         rows.empty() ? nullptr : rows.data());
            }
            glEndList();
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        ok = glGetError() == GL_NO_ERROR;
    }
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}

}  // namespace platform
