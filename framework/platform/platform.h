#pragma once

// The small piece of a window system the framework needs, with Windows message numbers and
// virtual-key codes, built on SDL2, FreeType and fontconfig. Only framework/ uses it.

#include <cstdint>

namespace platform {

struct Window;     // a window; it is also its own device context
struct GLContext;  // an OpenGL rendering context
struct Palette;    // an 8-bit logical palette
struct Cursor;

using WindowProc = intptr_t (*)(Window* window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);

enum : uint32_t {
    WM_NCCREATE = 0x0081,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_SETCURSOR = 0x0020,
    WM_NCMOUSEMOVE = 0x00A0,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_COMMAND = 0x0111,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_USER = 0x0400,
};

constexpr int32_t CW_USEDEFAULT = INT32_MIN;

struct Message {
    Window* window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

struct PixelFormat {
    bool doubleBuffer = true;
    bool stereo = false;
    int colorBits = 24;
    int alphaBits = 0;
    int accumBits = 0;
    int depthBits = 32;
    int stencilBits = 0;
    bool needsPalette = false;  // never on a true-colour display
};

// Window classes; 0 means failure.
uint16_t RegisterWindowClass(const char* name, WindowProc proc);
bool UnregisterWindowClass(uint16_t atom);

// Creates a window of a registered class; WM_NCCREATE reaches the class's procedure with
// `createParam` before this returns. Null on failure.
Window* CreateWindow(const char* className, const char* title, int x, int y, int width, int height,
                     bool topMost, bool popup, void* createParam);
void DestroyWindow(Window* window);
bool IsWindow(const Window* window);
void ShowWindow(Window* window, bool show);
void SetUserData(Window* window, void* data);
void* GetUserData(const Window* window);
void GetClientSize(const Window* window, int* width, int* height);
void GetWindowPosition(const Window* window, int* x, int* y);
// The client area equals the window here, so the outer size for a client size is that size.
void AdjustWindowSize(int* width, int* height);
// Resizes the window; WM_SIZE reaches its procedure before this returns.
bool SetWindowSize(Window* window, int width, int height);
bool DisplaySize(int* width, int* height);

// The message queue. PeekMessage takes the oldest message, or a WM_PAINT for a window whose
// client area is invalid when nothing else waits; false when there is none.
bool PeekMessage(Message* out);
bool PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int code);
intptr_t DispatchMessage(const Message& message);
intptr_t SendMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Default processing: WM_CLOSE destroys the window, WM_PAINT validates it.
intptr_t DefWindowProc(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

void InvalidateRect(Window* window);
bool GetUpdateRect(const Window* window);
void BeginPaint(Window* window);
void EndPaint(Window* window);

void SetCapture(Window* window);
void ReleaseCapture();
Cursor* LoadArrowCursor();
void SetCursor(Cursor* cursor);

// OpenGL binding.
bool SetPixelFormat(Window* deviceContext, const PixelFormat& format);
bool DescribePixelFormat(const Window* deviceContext, PixelFormat* format);
GLContext* CreateContext(Window* deviceContext);
void DeleteContext(GLContext* context);
bool MakeCurrent(Window* deviceContext, GLContext* context);
GLContext* CurrentContext();
Window* CurrentDeviceContext();
void SwapBuffers(Window* deviceContext);

Palette* CreatePalette(const uint8_t (*entries)[3], int count);
void DeletePalette(Palette* palette);
Palette* SelectPalette(Window* deviceContext, Palette* palette);

// Compiles glyph bitmaps of the system font (or a named one of `height` pixels) into
// display lists listBase + first ... listBase + first + count - 1, for the current context.
bool BuildGlyphLists(uint32_t listBase, int first, int count, const char* fontName, int height);

void MessageBox(const char* text, const char* caption);

}  // namespace platform
