// Glyph display lists from the system's fonts: fontconfig finds the face, FreeType renders each
// character 1-bit, and each bitmap becomes one glBitmap list.
#include <GL/gl.h>
#include <SDL.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <future>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "framework/platform/glyph_bitmaps.h"
#include "framework/platform/platform.h"

namespace platform {
namespace {

constexpr int SYSTEM_FONT_PIXELS = 13;

// The file of the best match for a face, or empty when the font configuration offers none.
std::string FindFontFile(const char* face, bool bold) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return {};
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
    std::string file;
    if (pattern != nullptr) {
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* path = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
            path != nullptr) {
            file = reinterpret_cast<const char*>(path);
        }
        if (match != nullptr) {
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return file;
}

// Compiles one glyph into `list`: rows bottom first, each padded to whole bytes.
void CompileGlyph(FT_GlyphSlot slot, GLuint list) {
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = static_cast<int>(bitmap.width);
    const int rows = static_cast<int>(bitmap.rows);
    const int rowBytes = (width + 7) / 8;
    std::vector<GLubyte> bits(static_cast<std::size_t>(rowBytes) * rows + 1, 0);
    for (int row = 0; row < rows; ++row) {
        const unsigned char* source = bitmap.pitch >= 0
                                          ? bitmap.buffer + row * bitmap.pitch
                                          : bitmap.buffer + (rows - 1 - row) * -bitmap.pitch;
        for (int i = 0; i < rowBytes; ++i) {
            bits[static_cast<std::size_t>(rows - 1 - row) * rowBytes + i] = source[i];
        }
    }
    glNewList(list, GL_COMPILE);
    glBitmap(width, rows, static_cast<GLfloat>(-slot->bitmap_left),
             static_cast<GLfloat>(rows - slot->bitmap_top),
             static_cast<GLfloat>(slot->advance.x) / 64.0f, 0.0f, bits.data());
    glEndList();
}

// Renders codes first .. first+count-1 of the face chosen for `height` and `face` 1-bit and
// hands each glyph slot to `use(index, slot)`. A height of its own makes a regular face of that
// height, the named one or else the default; no height is the system font. False when the font
// cannot be found or read, or a character does not render 1-bit.
template <typename Use>
bool ForEachGlyph(int height, const char* face, int first, int count, Use use) {
    const bool system = height <= 0;
    const bool named = !system && face != nullptr && face[0] != '\0';
    const std::string file = FindFontFile(named ? face : "sans-serif", system);
    if (file.empty()) {
        return false;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    FT_Face ftFace = nullptr;
    bool built = false;
    if (FT_New_Face(library, file.c_str(), 0, &ftFace) == 0 &&
        FT_Set_Pixel_Sizes(ftFace, 0, system ? SYSTEM_FONT_PIXELS : height) == 0) {
        built = true;
        for (int code = first; code < first + count; ++code) {
            // Character codes are Latin-1, which are also their Unicode code points.
            if (FT_Load_Char(ftFace, static_cast<FT_ULong>(code),
                             FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0 ||
                (ftFace->glyph->bitmap.rows > 0 &&
                 ftFace->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO)) {
                built = false;
                break;
            }
            use(code - first, ftFace->glyph);
        }
    }
    if (ftFace != nullptr) {
        FT_Done_Face(ftFace);
    }
    FT_Done_FreeType(library);
    return built;
}

}  // namespace

bool UseFontBitmaps(DeviceContext dc, int height, const char* face, int first, int count,
                    std::uint32_t listBase) {
    if (!IsWindow(reinterpret_cast<Window>(dc)) || GetCurrentDC() != dc || first < 0 ||
        count <= 0 || first + count > 256 || listBase == 0) {
        return false;
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    const bool built =
        ForEachGlyph(height, face, first, count, [listBase](int index, FT_GlyphSlot slot) {
            CompileGlyph(slot, listBase + static_cast<GLuint>(index));
        });
    glPopClientAttrib();
    return built;
}

namespace {

bool RenderNow(int height, const std::string& face, int first, int count,
               std::vector<GlyphBitmap>* glyphs);

// The one rendering asked for ahead, with its arguments; its thread starts once the display
// is open.
struct Prefetched {
    bool asked = false;
    int height = 0;
    std::string face;
    int first = 0, count = 0;
    std::future<std::pair<bool, std::vector<GlyphBitmap>>> result;  // valid once started
};

std::mutex prefetchLock;
Prefetched& Waiting() {
    static Prefetched waiting;
    return waiting;
}

// Starts the thread of a rendering asked for and not yet started; under prefetchLock.
void StartAsked(Prefetched& waiting) {
    if (!waiting.asked || waiting.result.valid()) {
        return;
    }
    waiting.result = std::async(std::launch::async, [height = waiting.height, name = waiting.face,
                                                     first = waiting.first, count = waiting.count] {
        std::pair<bool, std::vector<GlyphBitmap>> out;
        out.first = RenderNow(height, name, first, count, &out.second);
        return out;
    });
}

}  // namespace

void PrefetchFontGlyphs(int height, const char* face, int first, int count) {
    if (first < 0 || count <= 0 || first + count > 256) {
        return;
    }
    const std::lock_guard<std::mutex> hold(prefetchLock);
    Prefetched& waiting = Waiting();
    if (waiting.asked) {
        return;
    }
    waiting.asked = true;
    waiting.height = height;
    waiting.face = face != nullptr ? face : "";
    waiting.first = first;
    waiting.count = count;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        StartAsked(waiting);
    }
}

namespace detail {

void StartFontPrefetch() {
    const std::lock_guard<std::mutex> hold(prefetchLock);
    StartAsked(Waiting());
}

}  // namespace detail

bool RenderFontGlyphs(int height, const char* face, int first, int count,
                      std::vector<GlyphBitmap>* glyphs) {
    if (glyphs == nullptr || first < 0 || count <= 0 || first + count > 256) {
        return false;
    }
    const std::string name = face != nullptr ? face : "";
    {
        const std::lock_guard<std::mutex> hold(prefetchLock);
        Prefetched& waiting = Waiting();
        if (waiting.asked && waiting.height == height && waiting.face == name &&
            waiting.first == first && waiting.count == count) {
            waiting.asked = false;
            if (waiting.result.valid()) {
                auto [built, rendered] = waiting.result.get();
                *glyphs = std::move(rendered);
                return built;
            }
            // Not started yet: rendered here and now, as if never asked for.
        }
    }
    return RenderNow(height, name, first, count, glyphs);
}

namespace {

bool RenderNow(int height, const std::string& face, int first, int count,
               std::vector<GlyphBitmap>* glyphs) {
    glyphs->assign(static_cast<std::size_t>(count), GlyphBitmap());
    return ForEachGlyph(height, face.c_str(), first, count, [glyphs](int index, FT_GlyphSlot slot) {
        const FT_Bitmap& bitmap = slot->bitmap;
        GlyphBitmap& glyph = (*glyphs)[static_cast<std::size_t>(index)];
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.xorig = static_cast<float>(-slot->bitmap_left);
        glyph.yorig = static_cast<float>(glyph.rows - slot->bitmap_top);
        glyph.xmove = static_cast<float>(slot->advance.x) / 64.0f;
        glyph.pixels.assign(static_cast<std::size_t>(glyph.width) * glyph.rows, 0);
        for (int row = 0; row < glyph.rows; ++row) {
            const unsigned char* source =
                bitmap.pitch >= 0 ? bitmap.buffer + row * bitmap.pitch
                                  : bitmap.buffer + (glyph.rows - 1 - row) * -bitmap.pitch;
            uint8_t* out =
                &glyph.pixels[static_cast<std::size_t>(glyph.rows - 1 - row) * glyph.width];
            for (int x = 0; x < glyph.width; ++x) {
                out[x] = (source[x / 8] & (0x80 >> (x % 8))) != 0 ? 255 : 0;
            }
        }
    });
}

}  // namespace

}  // namespace platform
