// Texturing and PixelSpace: texturing on, and drawing in window pixels, for the picture and
// text batches and the plain colours drawn through their program.
#pragma once

#include <GL/gl.h>

// While alive: 2D texturing on in the given mode, alpha-tested (alpha above 0) or not, and the
// texture binding and the current colour put back after. Puts back exactly what it changed,
// call by call, rather than pushing whole attribute groups: restoring a group makes the driver
// check all of its state again.
class Texturing {
  public:
    Texturing(GLint envMode, bool alphaTest) : alphaTest(alphaTest), envMode(envMode) {
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &previousEnv);
        textureWasOn = glIsEnabled(GL_TEXTURE_2D);
        if (!textureWasOn) {
            glEnable(GL_TEXTURE_2D);
        }
        if (previousEnv != envMode) {
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
        }
        if (alphaTest) {
            alphaWasOn = glIsEnabled(GL_ALPHA_TEST);
            glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
            glGetFloatv(GL_ALPHA_TEST_REF, &alphaRef);
            glGetFloatv(GL_CURRENT_COLOR, colour);
            if (!alphaWasOn) {
                glEnable(GL_ALPHA_TEST);
            }
            if (alphaFunc != GL_GREATER || alphaRef != 0.0f) {
                glAlphaFunc(GL_GREATER, 0.0f);
            }
        }
    }
    ~Texturing() {
        if (alphaTest) {
            glColor4fv(colour);
            if (alphaFunc != GL_GREATER || alphaRef != 0.0f) {
                glAlphaFunc(static_cast<GLenum>(alphaFunc), alphaRef);
            }
            if (!alphaWasOn) {
                glDisable(GL_ALPHA_TEST);
            }
        }
        if (previousEnv != envMode) {
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, previousEnv);
        }
        if (!textureWasOn) {
            glDisable(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(binding));
    }
    Texturing(const Texturing&) = delete;
    Texturing& operator=(const Texturing&) = delete;

  private:
    bool alphaTest;
    GLint envMode;
    GLint binding = 0;
    GLint previousEnv = GL_MODULATE;
    GLboolean textureWasOn = GL_FALSE;
    GLboolean alphaWasOn = GL_FALSE;
    GLint alphaFunc = GL_ALWAYS;
    GLfloat alphaRef = 0;
    GLfloat colour[4] = {};
};

// While alive: window pixels as the coordinates (as glDrawPixels and glBitmap place their
// rectangles) and texturing as Texturing gives it.
class PixelSpace {
  public:
    PixelSpace(const GLint viewport[4], GLint envMode, bool alphaTest)
        : matrices(viewport), texturing(envMode, alphaTest) {}
    PixelSpace(const PixelSpace&) = delete;
    PixelSpace& operator=(const PixelSpace&) = delete;

  private:
    class Matrices {
      public:
        explicit Matrices(const GLint viewport[4]) {
            glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3],
                    -1, 1);
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glLoadIdentity();
        }
        ~Matrices() {
            glPopMatrix();  // modelview
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(static_cast<GLenum>(matrixMode));
        }
        Matrices(const Matrices&) = delete;
        Matrices& operator=(const Matrices&) = delete;

      private:
        GLint matrixMode = GL_MODELVIEW;
    };
    Matrices matrices;
    Texturing texturing;
};

// While alive: texture `name` bound for filling with tightly packed rows, sampled pixel for
// pixel (nearest, clamped); the texture and pixel-store state are put back after.
class TextureUpload {
  public:
    explicit TextureUpload(GLuint name) {
        glPushAttrib(GL_TEXTURE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    }
    ~TextureUpload() {
        glPopClientAttrib();
        glPopAttrib();
    }
    TextureUpload(const TextureUpload&) = delete;
    TextureUpload& operator=(const TextureUpload&) = delete;
};

// Makes `name` (a new texture when it is 0) a texWidth x texHeight red-green-blue-alpha
// texture, sampled pixel for pixel, whose width x height bottom-left corner holds `rgba` (rows
// packed; nothing is filled when it is null). The binding is put back after.
inline void MakeRgbaTexture(GLuint& name, int texWidth, int texHeight, const GLubyte* rgba,
                            int width, int height) {
    if (name == 0) {
        glGenTextures(1, &name);
    }
    TextureUpload bound(name);
    const bool whole = rgba != nullptr && width == texWidth && height == texHeight;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texWidth, texHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 whole ? rgba : nullptr);
    if (rgba != nullptr && !whole) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
}
