// The GL window: its record, creation and destruction, pixel format, palette, the stack of
// current contexts, and bitmap text. Its messages are handled in GLWindowMessages.cpp.
#include "framework/GLWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "framework/Main.h"

namespace {

constexpr int CONTEXT_STACK_SIZE = 16;
constexpr GLsizei GLYPH_LISTS = 255;

// What was current before each level of MakeCurrent(true), for the levels that fit.
platform::RenderContext savedContexts[CONTEXT_STACK_SIZE];
platform::DeviceContext savedDcs[CONTEXT_STACK_SIZE];
int contextDepth = 0;

}  // namespace

// GLWindow

GLWindow::GLWindow() {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (!registry->RegisterWindowClass()) {
        std::printf("Failed to register window class\n");
        return;
    }
    extra = new (std::nothrow) GLWindowExtra(this);
    if (extra == nullptr) {
        FrameworkAssertionFailed("extra!=NULL", "GLWindow");
    }
    registry->AddWindow(extra);
}

GLWindow::~GLWindow() {
    if (extra != nullptr) {
        GLAppRegistry::Instance()->RemoveWindow(extra);
        delete extra;
        extra = nullptr;
    }
}

void GLWindow::OnDisplay() {
    glClear(GL_COLOR_BUFFER_BIT);
    if (extra != nullptr && extra->deviceContext != nullptr) {
        SwapBuffers();
    }
}

void GLWindow::OnResize(int width, int height) {
    glViewport(0, 0, width, height);
}

bool GLWindow::SetSize(int width, int height) {
    if (extra == nullptr) {
        return false;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    bool resized = false;
    if (platform::IsWindow(extra->window)) {
        platform::Rect rect{0, 0, width, height};
        platform::AdjustWindowRect(&rect);
        resized =
            platform::SetWindowSize(extra->window, rect.right - rect.left, rect.bottom - rect.top);
    }
    extra->width = width;
    extra->height = height;
    return resized;
}

int GLWindow::GetWidth() {
    return extra != nullptr ? extra->width : 0;
}

int GLWindow::GetHeight() {
    return extra != nullptr ? extra->height : 0;
}

void GLWindow::Redraw() {
    if (extra != nullptr && extra->window != nullptr) {
        platform::InvalidateRect(extra->window);
    }
}

bool GLWindow::SetTitle(const std::string& text) {
    if (extra == nullptr) {
        return false;
    }
    extra->title = text;
    return extra->window == nullptr || platform::SetWindowText(extra->window, text.c_str());
}

void GLWindow::SwapBuffers() {
    if (extra != nullptr && extra->deviceContext != nullptr) {
        platform::SwapBuffers(extra->deviceContext);
    }
}

int GLWindow::Printf(const char* format, ...) {
    constexpr int BUFFER_SIZE = 1024;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BUFFER_SIZE]);
    if (buffer == nullptr) {
        return 0;
    }
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer.get(), BUFFER_SIZE, format, arguments);
    va_end(arguments);
    if (length < 0 || length >= BUFFER_SIZE || extra == nullptr) {
        return 0;
    }
    const int base = extra->PrintText(buffer.get());
    if (base != 0) {
        return base;
    }
    // A first failure to build the glyphs is tried once more.
    return extra->PrintText(buffer.get());
}

// GLWindowExtra

GLWindowExtra::GLWindowExtra(GLWindow* owner) : owner(owner), cursor(platform::LoadArrowCursor()) {}

GLWindowExtra::~GLWindowExtra() {
    Destroy();
}

void GLWindowExtra::FillPaletteTable(platform::PaletteEntry entries[256]) {
    static const std::uint8_t R[8] = {0, 63, 104, 139, 171, 200, 229, 255};
    static const std::uint8_t B[4] = {0, 116, 191, 255};
    for (int i = 0; i < 256; ++i) {
        entries[i] = platform::PaletteEntry{R[i % 8], R[(i / 8) % 8], B[(i / 64) % 4], 0};
    }
    static const struct {
        int index;
        std::uint8_t red, green, blue;
    } FIXED[12] = {{3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},
                   {64, 0, 0, 128},      {67, 128, 0, 128},    {88, 0, 128, 128},
                   {91, 128, 128, 128},  {164, 160, 160, 164}, {173, 192, 192, 192},
                   {181, 192, 220, 192}, {236, 166, 202, 240}, {247, 255, 251, 240}};
    for (const auto& colour : FIXED) {
        entries[colour.index] = platform::PaletteEntry{colour.red, colour.green, colour.blue, 0};
    }
}

bool GLWindowExtra::Create() {
    if (window != nullptr) {
        Destroy();
    }
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (registry->module == nullptr) {
        registry->module = platform::GetModuleHandle();
    }
    std::int32_t left = x;
    std::int32_t top = y;
    std::int32_t outerWidth = platform::CW_USEDEFAULT;
    std::int32_t outerHeight = platform::CW_USEDEFAULT;
    if (fullScreen) {
        left = 0;
        top = 0;
        if (!platform::GetDisplaySize(&outerWidth, &outerHeight)) {
            outerWidth = 640;
            outerHeight = 480;
        }
    } else if (width != platform::CW_USEDEFAULT && height != platform::CW_USEDEFAULT) {
        platform::Rect rect{0, 0, width, height};
        platform::AdjustWindowRect(&rect);
        outerWidth = rect.right - rect.left;
        outerHeight = rect.bottom - rect.top;
    }
    // Full screen is a popup with no frame over the whole display; its mode is left as it is.
    const std::uint32_t style = fullScreen ? platform::WS_POPUP : platform::WS_OVERLAPPEDWINDOW;
    window = platform::CreateWindow("GLAppWnd", title.c_str(), style, left, top, outerWidth,
                                    outerHeight, topMost, this);
    if (window == nullptr) {
        std::printf("Failed to create window\n");
        return false;
    }
    if (registry->MainWindow() == this) {
        platform::SetQuitWindow(window);
    }
    deviceContext = platform::GetDC(window);
    if (!SetupPixelFormat()) {
        std::printf("Failed to set pixel format\n");
        return false;
    }
    renderContext = platform::CreateContext(deviceContext);
    if (renderContext == nullptr) {
        std::printf("Failed to create GL context\n");
        return false;
    }
    SetupPalette();
    // This level stays: the window's context is current whenever no handler runs.
    if (!MakeCurrent(true)) {
        MakeCurrent(false);
        std::printf("Failed to make GL context current\n");
        return false;
    }
    if (visible) {
        platform::ShowWindow(window, true);
    }
    platform::Rect client;
    if (platform::GetClientRect(window, &client)) {
        width = client.right - client.left;
        height = client.bottom - client.top;
    }
    platform::PostMessage(window, CREATE_MESSAGE, 0, 0);
    return true;
}

void GLWindowExtra::Destroy() {
    const bool current = MakeCurrent(true);
    owner->OnDestroy();
    if (fontBase != 0) {
        // The lists live in this window's context; with another one current they are left to
        // go with the context.
        if (current && renderContext != nullptr && platform::GetCurrentContext() == renderContext) {
            glDeleteLists(fontBase, GLYPH_LISTS);
        }
        fontBase = 0;
    }
    MakeCurrent(false);
    if (renderContext != nullptr) {
        platform::DeleteContext(renderContext);
        renderContext = nullptr;
    }
    if (palette != nullptr) {
        platform::DeletePalette(palette);
        palette = nullptr;
    }
    if (window != nullptr) {
        platform::Rect rect;
        if (platform::GetWindowRect(window, &rect)) {
            x = rect.left;
            y = rect.top;
        }
        platform::DestroyWindow(window);
    }
    window = nullptr;
    deviceContext = nullptr;
}

bool GLWindowExtra::SetupPixelFormat() {
    if (deviceContext == nullptr) {
        return false;
    }
    platform::PixelFormatDescriptor descriptor;
    descriptor.size = 40;
    descriptor.version = 1;
    descriptor.flags = platform::PFD_DRAW_TO_WINDOW | platform::PFD_SUPPORT_OPENGL;
    if ((displayMode & 4) != 0 || (displayMode & 1) == 0) {
        descriptor.flags |= platform::PFD_DOUBLEBUFFER;
    }
    if ((displayMode & 8) != 0) {
        descriptor.flags |= platform::PFD_STEREO;
    }
    descriptor.pixelType = platform::PFD_TYPE_RGBA;
    descriptor.colorBits = static_cast<std::uint8_t>(colorBits);
    descriptor.alphaBits = static_cast<std::uint8_t>(alphaBits);
    descriptor.accumBits = static_cast<std::uint8_t>(accumBits);
    descriptor.depthBits = static_cast<std::uint8_t>(depthBits);
    descriptor.stencilBits = static_cast<std::uint8_t>(stencilBits);
    descriptor.layerType = platform::PFD_MAIN_PLANE;
    const int format = platform::ChoosePixelFormat(deviceContext, descriptor);
    if (format == 0) {
        return false;
    }
    return platform::SetPixelFormat(deviceContext, format, descriptor);
}

bool GLWindowExtra::SetupPalette() {
    if (palette != nullptr || deviceContext == nullptr) {
        return false;
    }
    platform::PixelFormatDescriptor descriptor;
    const int format = platform::GetPixelFormat(deviceContext);
    if (platform::DescribePixelFormat(deviceContext, format, &descriptor) &&
        (descriptor.flags & platform::PFD_NEED_PALETTE) != 0) {
        platform::PaletteEntry entries[256];
        FillPaletteTable(entries);
        palette = platform::CreatePalette(0x300, entries, 256);
    }
    return true;
}

bool GLWindowExtra::MakeCurrent(bool current) {
    if (current) {
        if (palette != nullptr) {
            previousPalette = platform::SelectPalette(deviceContext, palette, false);
            platform::RealizePalette(deviceContext);
        }
        if (contextDepth < CONTEXT_STACK_SIZE) {
            savedContexts[contextDepth] = platform::GetCurrentContext();
            savedDcs[contextDepth] = platform::GetCurrentDC();
        }
        ++contextDepth;
        return platform::MakeCurrent(deviceContext, renderContext);
    }
    if (contextDepth > 0) {
        --contextDepth;
        if (contextDepth < CONTEXT_STACK_SIZE) {
            platform::MakeCurrent(savedDcs[contextDepth], savedContexts[contextDepth]);
        } else {
            platform::MakeCurrent(nullptr, nullptr);
        }
    }
    if (previousPalette != nullptr) {
        platform::SelectPalette(deviceContext, previousPalette, true);
        previousPalette = nullptr;
    }
    return true;
}

int GLWindowExtra::PrintText(const char* text) {
    if (text == nullptr || deviceContext == nullptr) {
        return 0;
    }
    if (fontChanged) {
        if (fontBase != 0 && glIsList(fontBase)) {
            glDeleteLists(fontBase, GLYPH_LISTS);
        }
        fontBase = 0;
        fontChanged = false;
    }
    if (fontBase == 0 || !glIsList(fontBase)) {
        fontBase = glGenLists(GLYPH_LISTS);
        if (fontBase == 0) {
            return 0;
        }
        if (!platform::UseFontBitmaps(deviceContext, fontHeight, fontName.c_str(), 0, GLYPH_LISTS,
                                      fontBase)) {
            glDeleteLists(fontBase, GLYPH_LISTS);
            fontBase = 0;
            return 0;
        }
    }
    // Code 255 has no list of ours: base + 255 may be some other list, so it is left out.
    std::string drawn(text);
    drawn.erase(std::remove(drawn.begin(), drawn.end(), '\xFF'), drawn.end());
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase);
    glCallLists(static_cast<GLsizei>(drawn.size()), GL_UNSIGNED_BYTE, drawn.data());
    glPopAttrib();
    return static_cast<int>(fontBase);
}
