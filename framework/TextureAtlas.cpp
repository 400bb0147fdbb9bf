// TextureAtlas: small pictures packed in shelves of one texture.
#include "framework/TextureAtlas.h"

#include <GL/gl.h>

#include <algorithm>

#include "framework/pixel_space.h"

bool TextureAtlas::Reserve(int width, int height, Place* place) {
    if (!Takes(width, height)) {
        return false;
    }
    if (shelfX + width > SIZE) {
        // A texel between shelves, as between pictures: nothing of one can be sampled for
        // another's edge.
        shelfY += shelfHeight + 1;
        shelfX = 0;
        shelfHeight = 0;
    }
    if (shelfY + height > SIZE) {
        return false;
    }
    *place = Place{shelfX, shelfY, width, height};
    shelfX += width + 1;
    shelfHeight = std::max(shelfHeight, height);
    return true;
}

void TextureAtlas::Fill(const Place& at, const uint8_t* rgba) {
    if (name == 0) {
        GLuint made = 0;
        MakeRgbaTexture(made, SIZE, SIZE, nullptr, 0, 0);
        name = made;
    }
    TextureUpload bound(name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, at.x, at.y, at.width, at.height, GL_RGBA, GL_UNSIGNED_BYTE,
                    rgba);
}

void TextureAtlas::Clear() {
    shelfX = shelfY = shelfHeight = 0;
}

void TextureAtlas::Forget() {
    name = 0;
    Clear();
}
