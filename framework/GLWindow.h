#pragma once

#include <cstdint>
#include <string>

namespace platform {
struct Window;
struct GLContext;
struct Palette;
struct Cursor;
}  // namespace platform

class GLWindowExtra;

// An OpenGL window. Derive from it and override the handlers; each runs with the window's
// context current (keyboard, menu and raw messages excepted).
class GLWindow {
  public:
    GLWindow();
    virtual ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    virtual void OnCreate() {}
    virtual void OnDestroy() {}
    virtual void OnDisplay();
    virtual void OnResize(int width, int height);
    virtual void OnMouseButton(int /*button*/, bool /*down*/) {}
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    virtual void OnKeyboard(int /*key*/, bool /*down*/) {}
    virtual void OnMenu(int /*id*/) {}
    virtual void OnIdle() {}
    virtual void OnMessage(platform::Window* /*window*/, uint32_t /*message*/, uintptr_t /*wParam*/,
                           intptr_t /*lParam*/) {}

    bool SetSize(int width, int height);
    int GetWidth() const;
    int GetHeight() const;
    void Redraw();
    void SwapBuffers();
    // Bitmap-font text at the current raster position; the list base used, or 0.
    int Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    GLWindowExtra* extra;
};

// Everything a GLWindow holds of the platform: handles and creation parameters.
class GLWindowExtra {
  public:
    explicit GLWindowExtra(GLWindow* owner);
    virtual ~GLWindowExtra();
    GLWindowExtra(const GLWindowExtra&) = delete;
    GLWindowExtra& operator=(const GLWindowExtra&) = delete;

    bool Create();
    void Destroy();
    bool MakeCurrent(bool current);
    bool SetupPixelFormat();
    bool SetupPalette();
    intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);
    static intptr_t StaticWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);
    int PrintText(const char* text);

    GLWindow* owner;
    platform::Window* window = nullptr;
    platform::Window* deviceContext = nullptr;
    platform::GLContext* renderContext = nullptr;
    platform::Palette* palette = nullptr;
    platform::Palette* previousPalette = nullptr;
    int32_t x;
    int32_t y;
    int32_t width = 320;
    int32_t height = 240;
    uint32_t displayMode = 7;
    uint32_t colorBits = 24;
    uint32_t depthBits = 32;
    uint32_t stencilBits = 0;
    uint32_t alphaBits = 0;
    uint32_t accumBits = 0;
    std::string title = "OpenGL";
    int32_t fontHeight = 0;
    std::string fontName;
    bool fontChanged = false;
    bool visible = true;
    bool fullScreen = false;
    bool topMost = false;
    bool cursorOutside = false;
    bool inCreate = false;
    uint32_t fontBase = 0;
    platform::Cursor* cursor;
};

// Depth of the process-wide stack of current contexts (for tests).
int ContextStackDepth();
// The 8-bit palette used on displays that need one: entry i as red, green, blue.
void PaletteEntry(int i, uint8_t rgb[3]);
