// Pictures drawn as textured quads, batched, as DrawImage would draw them.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/Image.h"
#include "framework/TextureAtlas.h"

// Pictures drawn as textured quads, giving the pixels that DrawImage would give at the same
// raster positions: the corner is the raster position's window point rounded to a whole pixel,
// and a picture whose raster position falls outside the view is not drawn at all. The small
// pictures share one texture (TextureAtlas) and go in one batch, in the order they were
// added; a larger picture has a texture and a batch of its own, and quads of different batches
// that overlap keep their order. Needs a current OpenGL context; its textures belong to it.
class PictureBatch {
  public:
    PictureBatch() = default;
    PictureBatch(const PictureBatch&) = delete;
    PictureBatch& operator=(const PictureBatch&) = delete;

    // Starts a frame: picks up the view (viewport and matrices) and checks that every picture
    // still holds the pixels its texture was made from.
    void BeginFrame();
    // As glRasterPos2d(x, y) followed by DrawImage(image). Layouts other than
    // red-green-blue(-alpha) in either order, and pictures too large for a texture, are drawn at
    // once by DrawImage, after what is queued.
    void Add(Image& image, double x, double y);
    // Draws everything queued.
    void Flush();
    // Makes the picture's texture ahead of its first Add. A small picture first met in the
    // middle of a frame goes into the shared texture that the frame's earlier batches draw
    // from, and the driver then finishes drawing them before it takes the new texels.
    void Prepare(Image& image);
    // Forgets the textures, for a new context (they die with the old one).
    void Forget();
    // A 1 x 1 opaque white texture, made on first use. Plain colours drawn under Texturing
    // (modulated, alpha-tested) with it bound and WHITE_TEXEL as every vertex's texture
    // coordinate keep their own colours and go through the pictures' program and vertex
    // layout: the driver then compiles one program for the frame, not one more for lines.
    uint32_t WhiteTexture();
    static constexpr float WHITE_TEXEL = 0.5f;

  private:
    struct Corner {
        bool valid;
        int x, y;
    };
    struct Texture {
        uint32_t name = 0;  // the texture drawn from: the atlas's or its own
        uint32_t own = 0;   // its own texture, once it had to have one
        bool inAtlas = false;
        TextureAtlas::Place slot;         // its room in the atlas, perhaps larger than it
        int width = 0, height = 0;        // the picture
        int texWidth = 0, texHeight = 0;  // the texture drawn from (powers of two)
        int format = 0;
        bool hasAlpha = false;
        std::vector<uint8_t> pixels;  // what the texture was made from, rows packed
        uint64_t checkedFrame = 0;
    };
    struct Quad {
        int x0, y0, x1, y1;
        float s0, t0, s1, t1;
    };
    // Quads drawn from one texture with one alpha test.
    struct Group {
        uint32_t name;
        bool hasAlpha;
        std::vector<Quad> quads;
    };

    // Whether the picture goes in a batch: a layout of red, green, blue (and alpha) in either
    // order, and small enough for a texture.
    bool Batched(const Image& image);
    Corner RasterCorner(double x, double y);
    Texture* TextureFor(Image& image);
    // Puts the picture's texels (red-green-blue-alpha, rows packed) in the atlas, or in a
    // texture of its own when it is too large or the atlas has no room even once emptied.
    void Upload(Texture& t, const uint8_t* rgba);
    bool OverlapsOtherBatch(const Group& mine, const Quad& quad) const;

    std::unordered_map<const Image*, Texture> textures;
    std::unordered_map<uint64_t, Corner> corners;  // by raster position, for the current view
    std::vector<Group> groups;                     // in the order of their first quad
    TextureAtlas atlas;
    float view[36] = {};  // viewport, projection, modelview
    int viewport[4] = {};
    uint64_t frame = 0;
    int maxTextureSize = 0;  // asked of OpenGL on first use
    uint32_t white = 0;
};
