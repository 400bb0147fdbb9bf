// The framework's OpenGL window: a program derives from GLWindow and overrides its handlers; the
// implementation record GLWindowExtra owns every platform handle.
#pragma once

#include <cstdint>
#include <string>

#include "framework/platform/platform.h"

class GLWindowExtra;

class GLWindow {
  public:
    GLWindow();
    virtual ~GLWindow();
    // One window, one record: a copy would free `extra` a second time.
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;
    // Once, from the message loop, after the platform window exists.
    virtual void OnCreate() {}
    // The platform window is about to go; the context is current.
    virtual void OnDestroy() {}
    // Each paint request. The default clears the colour buffer and swaps.
    virtual void OnDisplay();
    // The client area's new size. The default sets the viewport to it.
    virtual void OnResize(int width, int height);
    // Button 0 left, 1 middle, 2 right.
    virtual void OnMouseButton(int, bool) {}
    // Client pixels, y from the bottom row up.
    virtual void OnMouseMove(int, int) {}
    // Virtual-key code; `down` for each press and automatic repeat, false on release.
    virtual void OnKeyboard(int, bool) {}
    virtual void OnMenu(int) {}
    // Every pass of the message loop that found no message.
    virtual void OnIdle() {}
    // Every message the window receives, before the framework's own handling.
    virtual void OnMessage(platform::Window, std::uint32_t, platform::WParam, platform::LParam) {}

    // Negative sizes become 0. Before creation it sets the size the window opens with.
    bool SetSize(int width, int height);
    int GetWidth();
    int GetHeight();
    // Asks for a paint message, and so an OnDisplay, from the message loop.
    void Redraw();
    // Before creation it sets the title the window opens with; after, it renames the window.
    bool SetTitle(const std::string& text);
    void SwapBuffers();
    // Bitmap-font text at the current raster position; the display-list base used, 0 when
    // nothing was drawn.
    int Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    GLWindowExtra* extra = nullptr;
};

class GLWindowExtra {
  public:
    explicit GLWindowExtra(GLWindow* owner);
    virtual ~GLWindowExtra();
    GLWindowExtra(const GLWindowExtra&) = delete;
    GLWindowExtra& operator=(const GLWindowExtra&) = delete;

    bool Create();
    void Destroy();
    // Pushes (true) or pops (false) the process-wide stack of current contexts.
    bool MakeCurrent(bool current);
    bool SetupPixelFormat();
    bool SetupPalette();
    platform::LResult WindowProc(platform::Window window, std::uint32_t message,
                                 platform::WParam wParam, platform::LParam lParam);
    static platform::LResult StaticWindowProc(platform::Window window, std::uint32_t message,
                                              platform::WParam wParam, platform::LParam lParam);
    int PrintText(const char* text);

    // Posted by Create: runs the owner's OnCreate from the message loop.
    static constexpr std::uint32_t CREATE_MESSAGE = platform::WM_USER + 1;

    // The 256 colours used on displays that need a palette.
    static void FillPaletteTable(platform::PaletteEntry entries[256]);

    GLWindow* owner;
    platform::Window window = nullptr;
    platform::DeviceContext deviceContext = nullptr;
    platform::RenderContext renderContext = nullptr;
    platform::Palette palette = nullptr;
    platform::Palette previousPalette = nullptr;
    std::int32_t x = platform::CW_USEDEFAULT;
    std::int32_t y = platform::CW_USEDEFAULT;
    std::int32_t width = 320;
    std::int32_t height = 240;
    std::uint32_t displayMode = 7;
    std::uint32_t colorBits = 24;
    std::uint32_t depthBits = 32;
    std::uint32_t stencilBits = 0;
    std::uint32_t alphaBits = 0;
    std::uint32_t accumBits = 0;
    std::string title = "OpenGL";
    std::int32_t fontHeight = 0;
    std::string fontName;
    bool fontChanged = false;
    bool visible = true;
    bool fullScreen = false;
    bool topMost = false;
    bool cursorExec = false;
    bool inCreate = false;
    std::uint32_t fontBase = 0;
    platform::Cursor cursor;
};
