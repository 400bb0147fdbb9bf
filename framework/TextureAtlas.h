// TextureAtlas: one texture holding many small pictures side by side.
#pragma once

#include <cstdint>

// One texture of red-green-blue-alpha texels holding many small pictures, a texel apart, in
// shelves from the bottom left: pictures drawn from it go in one batch. Needs a current OpenGL
// context; the texture belongs to that context.
class TextureAtlas {
  public:
    static constexpr int SIZE = 256;    // texels a side
    static constexpr int LARGEST = 64;  // a picture wider or taller is not taken
    struct Place {
        int x = 0, y = 0, width = 0, height = 0;
    };

    TextureAtlas() = default;
    TextureAtlas(const TextureAtlas&) = delete;
    TextureAtlas& operator=(const TextureAtlas&) = delete;

    // Whether a width x height picture is one the atlas takes: not empty, and no side over
    // LARGEST.
    static bool Takes(int width, int height) {
        return width > 0 && height > 0 && width <= LARGEST && height <= LARGEST;
    }
    // Room for a picture the atlas takes; false when there is none left, or for another.
    bool Reserve(int width, int height, Place* place);
    // Fills the texels of `at` (within a place reserved) with rows of texels, packed, bottom
    // row first; makes the texture first.
    void Fill(const Place& at, const uint8_t* rgba);
    // Every place free again; the texture is kept.
    void Clear();
    // The texture's name; 0 before the first Fill.
    uint32_t Name() const { return name; }
    // For a new context: the texture died with the old one.
    void Forget();

  private:
    uint32_t name = 0;
    int shelfX = 0, shelfY = 0, shelfHeight = 0;
};
