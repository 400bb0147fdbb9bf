#include "framework/GLWindow.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "framework/Main.h"
#include "framework/platform/platform.h"

using namespace platform;

namespace {

constexpr uint32_t WM_CREATE_PRIVATE = WM_USER + 1;
constexpr int CONTEXT_STACK_LEVELS = 16;
constexpr int GLYPH_LISTS = 255;

struct SavedContext {
    GLContext* context = nullptr;
    Window* deviceContext = nullptr;
};
SavedContext contextStack[CONTEXT_STACK_LEVELS];
int contextDepth = 0;

int Low16(intptr_t v) {
    return static_cast<int>(static_cast<uint32_t>(v) & 0xFFFF);
}
int High16(intptr_t v) {
    return static_cast<int>((static_cast<uint32_t>(v) >> 16) & 0xFFFF);
}
int SignedLow16(intptr_t v) {
    return static_cast<int16_t>(Low16(v));
}
int SignedHigh16(intptr_t v) {
    return static_cast<int16_t>(High16(v));
}

void Fail(const char* text) {
    std::printf("%s", text);
    std::fflush(stdout);
}

}  // namespace

int ContextStackDepth() {
    return contextDepth;
}

void PaletteEntry(int i, uint8_t rgb[3]) {
    static const uint8_t R[8] = {0, 63, 104, 139, 171, 200, 229, 255};
    static const uint8_t B[4] = {0, 116, 191, 255};
    static const struct {
        int index;
        uint8_t r, g, b;
    } fixed[] = {{3, 128, 0, 0},       {24, 0, 128, 0},      {27, 128, 128, 0},
                 {64, 0, 0, 128},      {67, 128, 0, 128},    {88, 0, 128, 128},
                 {91, 128, 128, 128},  {164, 160, 160, 164}, {173, 192, 192, 192},
                 {181, 192, 220, 192}, {236, 166, 202, 240}, {247, 255, 251, 240}};
    rgb[0] = R[i % 8];
    rgb[1] = R[(i / 8) % 8];
    rgb[2] = B[(i / 64) % 4];
    for (const auto& f : fixed) {
        if (f.index == i) {
            rgb[0] = f.r, rgb[1] = f.g, rgb[2] = f.b;
        }
    }
}

GLWindow::GLWindow() : extra(nullptr) {
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (!registry->RegisterWindowClass()) {
        Fail("Failed to register window class\n");
        return;
    }
    extra = new (std::nothrow) GLWindowExtra(this);
    if (extra == nullptr) {
        std::fprintf(stderr, "GLWindow: assertion failed: extra!=NULL\n");
        std::abort();
    }
    registry->AddWindow(extra);
}

GLWindow::~GLWindow() {
    if (extra != nullptr) {
        if (GLAppRegistry::self != nullptr) {
            GLAppRegistry::self->RemoveWindow(extra);
        }
        delete extra;
        extra = nullptr;
    }
}

void GLWindow::OnDisplay() {
    glClear(GL_COLOR_BUFFER_BIT);
    if (extra != nullptr && extra->deviceContext != nullptr) {
        platform::SwapBuffers(extra->deviceContext);
    }
}

void GLWindow::OnResize(int width, int height) {
    glViewport(0, 0, width, height);
}

bool GLWindow::SetSize(int width, int height) {
    if (extra == nullptr) {
        return false;
    }
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    bool ok = false;
    if (extra->window != nullptr) {
        int outerWidth = width, outerHeight = height;
        AdjustWindowSize(&outerWidth, &outerHeight);
        ok = SetWindowSize(extra->window, outerWidth, outerHeight);
    }
    extra->width = width;
    extra->height = height;
    return ok;
}

int GLWindow::GetWidth() const {
    return extra != nullptr ? extra->width : 0;
}
int GLWindow::GetHeight() const {
    return extra != nullptr ? extra->height : 0;
}

void GLWindow::Redraw() {
    if (extra != nullptr && extra->window != nullptr) {
        InvalidateRect(extra->window);
    }
}

void GLWindow::SwapBuffers() {
    if (extra != nullptr && extra->deviceContext != nullptr) {
        platform::SwapBuffers(extra->deviceContext);
    }
}

int GLWindow::Printf(const char* format, ...) {
    char* buffer = static_cast<char*>(std::malloc(1024));
    if (buffer == nullptr) {
        return 0;
    }
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, 1024, format, args);
    va_end(args);
    int result = 0;
    if (n >= 0 && n < 1024 && extra != nullptr) {
        result = extra->PrintText(buffer);
        if (result == 0) {
            result = extra->PrintText(buffer);  // a first failed glyph build is retried once
        }
    }
    std::free(buffer);
    return result;
}

GLWindowExtra::GLWindowExtra(GLWindow* o)
    : owner(o), x(CW_USEDEFAULT), y(CW_USEDEFAULT), cursor(LoadArrowCursor()) {}

GLWindowExtra::~GLWindowExtra() {
    Destroy();
}

bool GLWindowExtra::Create() {
    if (window != nullptr) {
        Destroy();
    }
    int outerX = x, outerY = y, outerWidth = CW_USEDEFAULT, outerHeight = CW_USEDEFAULT;
    if (fullScreen) {
        outerX = outerY = 0;
        if (!DisplaySize(&outerWidth, &outerHeight)) {
            outerWidth = 640, outerHeight = 480;
        }
    } else if (width != CW_USEDEFAULT && height != CW_USEDEFAULT) {
        outerWidth = width, outerHeight = height;
        AdjustWindowSize(&outerWidth, &outerHeight);
    }
    GLAppRegistry* registry = GLAppRegistry::Instance();
    if (registry->module == nullptr) {
        registry->module = registry;
    }
    window = CreateWindow("GLAppWnd", title.c_str(), outerX, outerY, outerWidth, outerHeight,
                          topMost, fullScreen, this);
    if (window == nullptr) {
        Fail("Failed to create window\n");
        return false;
    }
    deviceContext = window;
    if (!SetupPixelFormat()) {
        Fail("Failed to set pixel format\n");
        return false;
    }
    renderContext = CreateContext(deviceContext);
    if (renderContext == nullptr) {
        Fail("Failed to create GL context\n");
        return false;
    }
    SetupPalette();
    if (!MakeCurrent(true)) {
        Fail("Failed to make GL context current\n");
        return false;
    }
    if (visible) {
        ShowWindow(window, true);
    }
    int clientWidth = 0, clientHeight = 0;
    GetClientSize(window, &clientWidth, &clientHeight);
    width = clientWidth;
    height = clientHeight;
    PostMessage(window, WM_CREATE_PRIVATE, 0, 0);
    return true;
}

bool GLWindowExtra::SetupPixelFormat() {
    if (deviceContext == nullptr) {
        return false;
    }
    PixelFormat format;
    format.doubleBuffer = (displayMode & 4) != 0 || (displayMode & 1) == 0;
    format.stereo = (displayMode & 8) != 0;
    format.colorBits = static_cast<int>(colorBits & 0xFF);
    format.alphaBits = static_cast<int>(alphaBits & 0xFF);
    format.accumBits = static_cast<int>(accumBits & 0xFF);
    format.depthBits = static_cast<int>(depthBits & 0xFF);
    format.stencilBits = static_cast<int>(stencilBits & 0xFF);
    return platform::SetPixelFormat(deviceContext, format);
}

bool GLWindowExtra::SetupPalette() {
    if (palette != nullptr || deviceContext == nullptr) {
        return false;
    }
    PixelFormat format;
    if (DescribePixelFormat(deviceContext, &format) && format.needsPalette) {
        uint8_t entries[256][3];
        for (int i = 0; i < 256; ++i) {
            PaletteEntry(i, entries[i]);
        }
        palette = CreatePalette(entries, 256);
    }
    return true;
}

bool GLWindowExtra::MakeCurrent(bool current) {
    if (current) {
        if (palette != nullptr) {
            previousPalette = SelectPalette(deviceContext, palette);
        }
        if (contextDepth < CONTEXT_STACK_LEVELS) {
            contextStack[contextDepth] = SavedContext{CurrentContext(), CurrentDeviceContext()};
        }
        ++contextDepth;
        return platform::MakeCurrent(deviceContext, renderContext);
    }
    if (contextDepth > 0) {
        --contextDepth;
        if (contextDepth < CONTEXT_STACK_LEVELS) {
            const SavedContext& saved = contextStack[contextDepth];
            platform::MakeCurrent(saved.deviceContext, saved.context);
        } else {
            platform::MakeCurrent(nullptr, nullptr);
        }
    }
    if (previousPalette != nullptr) {
        SelectPalette(deviceContext, previousPalette);
        previousPalette = nullptr;
    }
    return true;
}

void GLWindowExtra::Destroy() {
    const bool current = MakeCurrent(true);
    owner->GLWindow::OnDestroy();
    if (fontBase != 0) {
        if (current) {
            glDeleteLists(fontBase, GLYPH_LISTS);
        }
        fontBase = 0;
    }
    MakeCurrent(false);
    DeleteContext(renderContext);
    renderContext = nullptr;
    DeletePalette(palette);
    palette = nullptr;
    if (window != nullptr && IsWindow(window)) {
        GetWindowPosition(window, &x, &y);
        DestroyWindow(window);
    }
    window = nullptr;
    deviceContext = nullptr;
}

intptr_t GLWindowExtra::StaticWindowProc(Window* w, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam) {
    if (message == WM_NCCREATE) {
        SetUserData(w, reinterpret_cast<void*>(lParam));
    }
    auto* record = static_cast<GLWindowExtra*>(GetUserData(w));
    if (record == nullptr) {
        return DefWindowProc(w, message, wParam, lParam);
    }
    return record->WindowProc(w, message, wParam, lParam);
}

intptr_t GLWindowExtra::WindowProc(Window* w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    owner->OnMessage(w, message, wParam, lParam);
    // A handler bracketed by its context; skipped when the context cannot be made current.
    auto withContext = [this](auto handler) {
        if (MakeCurrent(true)) {
            handler();
            MakeCurrent(false);
        }
    };
    switch (message) {
        case WM_DESTROY:
            return 0;
        case WM_SIZE:
            width = Low16(lParam);
            height = High16(lParam);
            withContext([this] { owner->OnResize(width, height); });
            return 0;
        case WM_PAINT:
            if (GetUpdateRect(w)) {
                BeginPaint(w);
                withContext([this] { owner->OnDisplay(); });
                EndPaint(w);
            }
            return 0;
        case WM_CLOSE:
            if (GLAppRegistry::Instance()->MainWindow() == this) {
                PostQuitMessage(static_cast<int>(wParam));
                return DefWindowProc(w, message, wParam, lParam);
            }
            ShowWindow(w, false);
            return 0;
        case WM_SETCURSOR:
            if (cursorOutside) {
                return DefWindowProc(w, message, wParam, lParam);
            }
            SetCursor(cursor);
            return 0;
        case WM_NCMOUSEMOVE:
            cursorOutside = true;
            return DefWindowProc(w, message, wParam, lParam);
        case WM_KEYDOWN:
        case WM_KEYUP:
            owner->OnKeyboard(static_cast<int>(wParam), message == WM_KEYDOWN);
            return 0;
        case WM_COMMAND:
            if (((wParam >> 16) & 0xFFFF) == 0) {
                owner->OnMenu(static_cast<int>(wParam & 0xFFFF));
                return 0;
            }
            return DefWindowProc(w, message, wParam, lParam);
        case WM_MOUSEMOVE:
            withContext([this, lParam] {
                owner->OnMouseMove(SignedLow16(lParam),
                                   owner->GetHeight() - 1 - SignedHigh16(lParam));
            });
            cursorOutside = false;
            return 0;
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP: {
            const bool down =
                message == WM_LBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_RBUTTONDOWN;
            const int button = (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)   ? 0
                               : (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP) ? 1
                                                                                        : 2;
            withContext([this, w, down, button] {
                down ? SetCapture(w) : ReleaseCapture();
                owner->OnMouseButton(button, down);
            });
            return 0;
        }
        case WM_CREATE_PRIVATE:
            if (!inCreate) {
                inCreate = true;
                withContext([this] { owner->OnCreate(); });
                inCreate = false;
            }
            return 0;
        default:
            return DefWindowProc(w, message, wParam, lParam);
    }
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
        const bool ownFont = fontHeight > 0;
        if (!BuildGlyphLists(fontBase, 0, GLYPH_LISTS, ownFont ? fontName.c_str() : nullptr,
                             ownFont ? fontHeight : 0)) {
            glDeleteLists(fontBase, GLYPH_LISTS);
            fontBase = 0;
            return 0;
        }
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    return static_cast<int>(fontBase);
}
