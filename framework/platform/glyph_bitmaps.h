// The glyphs of a font as the platform renders them for display lists and textures.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// One character of a font as UseFontBitmaps compiles it into its glBitmap list.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    float xorig = 0;  // glBitmap's origin within the bitmap
    float yorig = 0;
    float xmove = 0;              // the raster position's advance
    std::vector<uint8_t> pixels;  // width x rows, bottom row first, 255 where the bit is set
};

// The glyphs of codes first .. first+count-1 of the font UseFontBitmaps would choose for the
// same height and face, rendered the same way; false when the font cannot be found or read.
bool RenderFontGlyphs(int height, const char* face, int first, int count,
                      std::vector<GlyphBitmap>* glyphs);

// Starts RenderFontGlyphs for the same arguments on a thread of its own, so that finding the
// font and rendering it overlap whatever the program does until it first draws text; the next
// RenderFontGlyphs with these arguments takes the result (waiting for it if need be). A second
// request while one is waiting to be taken does nothing. The thread starts once the display
// is open (at once if it is): it then overlaps the loading of the OpenGL driver, where before
// it would slow the display's own start. A request still waiting for the display when its
// rendering is asked for is rendered there and then.
void PrefetchFontGlyphs(int height, const char* face, int first, int count);

namespace detail {
// The display is open: a waiting prefetch starts.
void StartFontPrefetch();
}  // namespace detail

}  // namespace platform
