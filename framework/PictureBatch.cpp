// Pictures drawn as textured quads in batches, each texture kept while its picture is unchanged.
#include "framework/PictureBatch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/ImageDrawing.h"
#include "framework/pixel_space.h"

namespace {

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

// The picture's pixels, rows packed, red first.
std::vector<uint8_t> PackedPixels(const Image& image) {
    const int bpp = image.BytesPerPixel();
    const int width = image.GetWidth();
    std::vector<uint8_t> out(static_cast<size_t>(width) * image.GetHeight() * bpp);
    for (int y = 0; y < image.GetHeight(); ++y) {
        std::memcpy(&out[static_cast<size_t>(y) * width * bpp], image.Row(y),
                    static_cast<size_t>(width) * bpp);
    }
    const int format = image.extra->format;
    if (format == PIXEL_BGR || format == PIXEL_BGRA) {
        for (size_t i = 0; i + 2 < out.size(); i += bpp) {
            std::swap(out[i], out[i + 2]);
        }
    }
    return out;
}

bool SamePixels(const Image& image, const std::vector<uint8_t>& packed) {
    const int bpp = image.BytesPerPixel();
    const size_t rowBytes = static_cast<size_t>(image.GetWidth()) * bpp;
    const bool swapped = image.extra->format == PIXEL_BGR || image.extra->format == PIXEL_BGRA;
    for (int y = 0; y < image.GetHeight(); ++y) {
        const uint8_t* row = image.Row(y);
        const uint8_t* kept = &packed[y * rowBytes];
        if (!swapped) {
            if (std::memcmp(row, kept, rowBytes) != 0) {
                return false;
            }
            continue;
        }
        for (size_t i = 0; i < rowBytes; i += bpp) {
            if (row[i] != kept[i + 2] || row[i + 1] != kept[i + 1] || row[i + 2] != kept[i] ||
                (bpp == 4 && row[i + 3] != kept[i + 3])) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

void PictureBatch::BeginFrame() {
    ++frame;
    float now[36];
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    for (int i = 0; i < 4; ++i) {
        now[i] = static_cast<float>(vp[i]);
    }
    glGetFloatv(GL_PROJECTION_MATRIX, now + 4);
    glGetFloatv(GL_MODELVIEW_MATRIX, now + 20);
    if (std::memcmp(now, view, sizeof view) != 0) {
        std::memcpy(view, now, sizeof view);
        std::memcpy(viewport, vp, sizeof viewport);
        corners.clear();
    }
}

void PictureBatch::Forget() {
    textures.clear();
    atlas.Forget();
    corners.clear();
    groups.clear();
    std::memset(view, 0, sizeof view);
    maxTextureSize = 0;
    white = 0;
}

uint32_t PictureBatch::WhiteTexture() {
    if (white == 0) {
        const uint8_t texel[4] = {255, 255, 255, 255};
        GLuint name = 0;
        MakeRgbaTexture(name, 1, 1, texel, 1, 1);
        white = name;
    }
    return white;
}

PictureBatch::Corner PictureBatch::RasterCorner(double x, double y) {
    uint64_t key = 0;
    const double twiceX = x * 2;
    const double twiceY = y * 2;
    const bool cacheable = twiceX == std::floor(twiceX) && twiceY == std::floor(twiceY) &&
                           std::fabs(twiceX) < 1e9 && std::fabs(twiceY) < 1e9;
    if (cacheable) {
        key = (static_cast<uint64_t>(static_cast<uint32_t>(static_cast<int32_t>(twiceX))) << 32) |
              static_cast<uint32_t>(static_cast<int32_t>(twiceY));
        auto found = corners.find(key);
        if (found != corners.end()) {
            return found->second;
        }
    }
    // OpenGL itself says where the raster position lands and whether it is in the view;
    // the corner is that point rounded as glDrawPixels rounds it.
    glRasterPos2d(x, y);
    GLboolean valid = GL_FALSE;
    GLfloat position[4] = {};
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    auto round = [](float f) { return static_cast<int>(f >= 0.0f ? f + 0.5f : f - 0.5f); };
    const Corner corner{valid == GL_TRUE, round(position[0]), round(position[1])};
    if (cacheable) {
        corners.emplace(key, corner);
    }
    return corner;
}

PictureBatch::Texture* PictureBatch::TextureFor(Image& image) {
    Texture& t = textures[&image];
    if (t.name != 0 && t.checkedFrame == frame) {
        return &t;
    }
    if (t.name != 0 && t.width == image.GetWidth() && t.height == image.GetHeight() &&
        t.format == image.extra->format && SamePixels(image, t.pixels)) {
        t.checkedFrame = frame;
        return &t;
    }
    // A new picture, or one whose pixels changed since its texture was made.
    Flush();
    t.width = image.GetWidth();
    t.height = image.GetHeight();
    t.format = image.extra->format;
    t.pixels = PackedPixels(image);
    t.checkedFrame = frame;
    // Every texture is red-green-blue-alpha, opaque where the picture has no alpha: one
    // texture layout keeps the driver to one compiled program for pictures and text alike.
    t.hasAlpha = image.BytesPerPixel() == 4;
    if (t.hasAlpha) {
        Upload(t, t.pixels.data());
        return &t;
    }
    std::vector<uint8_t> expanded(static_cast<size_t>(t.width) * t.height * 4);
    for (size_t i = 0, j = 0; j < expanded.size(); i += 3, j += 4) {
        expanded[j] = t.pixels[i];
        expanded[j + 1] = t.pixels[i + 1];
        expanded[j + 2] = t.pixels[i + 2];
        expanded[j + 3] = 255;
    }
    Upload(t, expanded.data());
    return &t;
}

void PictureBatch::Upload(Texture& t, const uint8_t* rgba) {
    bool placed = t.inAtlas && t.width <= t.slot.width && t.height <= t.slot.height;
    if (!placed && TextureAtlas::Takes(t.width, t.height)) {
        placed = atlas.Reserve(t.width, t.height, &t.slot);
        if (!placed) {
            // Full, with places of pictures gone or grown: emptied, and each small picture
            // put back when it is next drawn.
            for (auto& [image, other] : textures) {
                if (other.inAtlas) {
                    other.name = 0;
                    other.inAtlas = false;
                }
            }
            atlas.Clear();
            placed = atlas.Reserve(t.width, t.height, &t.slot);
        }
    }
    if (placed) {
        t.inAtlas = true;
        atlas.Fill(TextureAtlas::Place{t.slot.x, t.slot.y, t.width, t.height}, rgba);
        t.name = atlas.Name();
        t.texWidth = t.texHeight = TextureAtlas::SIZE;
        return;
    }
    t.inAtlas = false;
    t.slot = TextureAtlas::Place{};
    t.texWidth = PowerOfTwoAtLeast(t.width);
    t.texHeight = PowerOfTwoAtLeast(t.height);
    GLuint name = t.own;
    MakeRgbaTexture(name, t.texWidth, t.texHeight, rgba, t.width, t.height);
    t.own = t.name = name;
}

bool PictureBatch::OverlapsOtherBatch(const Group& mine, const Quad& q) const {
    for (const Group& group : groups) {
        if (&group == &mine) {
            continue;
        }
        for (const Quad& o : group.quads) {
            if (q.x0 < o.x1 && o.x0 < q.x1 && q.y0 < o.y1 && o.y0 < q.y1) {
                return true;
            }
        }
    }
    return false;
}

bool PictureBatch::Batched(const Image& image) {
    const int format = image.extra->format;
    if (maxTextureSize == 0) {
        GLint largest = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
        maxTextureSize = largest > 0 ? largest : 64;
    }
    return (format == PIXEL_RGB || format == PIXEL_RGBA || format == PIXEL_BGR ||
            format == PIXEL_BGRA) &&
           image.GetWidth() <= maxTextureSize && image.GetHeight() <= maxTextureSize;
}

void PictureBatch::Prepare(Image& image) {
    if (image.IsValid() && Batched(image)) {
        TextureFor(image);
    }
}

void PictureBatch::Add(Image& image, double x, double y) {
    if (!image.IsValid()) {
        return;
    }
    if (!Batched(image)) {
        Flush();
        glRasterPos2d(x, y);
        DrawImage(image);
        return;
    }
    const Corner corner = RasterCorner(x, y);
    if (!corner.valid) {
        return;
    }
    const Texture* texture = TextureFor(image);
    const float x0 = static_cast<float>(texture->inAtlas ? texture->slot.x : 0);
    const float y0 = static_cast<float>(texture->inAtlas ? texture->slot.y : 0);
    const float w = static_cast<float>(texture->texWidth);
    const float h = static_cast<float>(texture->texHeight);
    const Quad quad{corner.x,
                    corner.y,
                    corner.x + texture->width,
                    corner.y + texture->height,
                    x0 / w,
                    y0 / h,
                    (x0 + static_cast<float>(texture->width)) / w,
                    (y0 + static_cast<float>(texture->height)) / h};
    auto group = std::find_if(groups.begin(), groups.end(), [texture](const Group& g) {
        return g.name == texture->name && g.hasAlpha == texture->hasAlpha;
    });
    // A batch is drawn where its first quad was added: a quad joining one over a later
    // batch's quad would be drawn under it.
    if (group != groups.end() && OverlapsOtherBatch(*group, quad)) {
        Flush();
        group = groups.end();
    }
    if (group == groups.end()) {
        groups.push_back({texture->name, texture->hasAlpha, {}});
        group = groups.end() - 1;
    }
    group->quads.push_back(quad);
}

void PictureBatch::Flush() {
    if (groups.empty()) {
        return;
    }
    {
        // Texel times white is the texel. The alpha test passes every opaque texel, and is
        // switched to pass everything for pictures with alpha of their own, which glDrawPixels
        // writes whatever their alpha.
        PixelSpace pixels(viewport, GL_MODULATE, true);
        glColor4f(1, 1, 1, 1);
        bool testing = true;
        for (Group& group : groups) {
            if (group.hasAlpha == testing) {
                testing = !group.hasAlpha;
                glAlphaFunc(testing ? GL_GREATER : GL_ALWAYS, 0.0f);
            }
            // Bound at every batch: another drawer may have bound its own texture meanwhile.
            glBindTexture(GL_TEXTURE_2D, group.name);
            glBegin(GL_QUADS);
            for (const Quad& q : group.quads) {
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
        if (!testing) {
            glAlphaFunc(GL_GREATER, 0.0f);  // as PixelSpace set it, for it to put back
        }
    }
    groups.clear();
}
