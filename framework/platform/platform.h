// The small window-system layer under the framework: window classes, a message queue with the
// classic desktop message numbers, painting, device and rendering contexts, palettes, capture,
// cursor, glyph display lists and the message box. Built on SDL2, FreeType and fontconfig, none of
// which shows through this header.
//
// Handles are opaque numbers, checked on every call: a handle whose object is gone makes the call
// fail (false, 0 or null) rather than touch freed memory.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct WindowTag;
struct DeviceContextTag;
struct RenderContextTag;
struct PaletteTag;
struct CursorTag;
using Window = WindowTag*;
using DeviceContext = DeviceContextTag*;
using RenderContext = RenderContextTag*;
using Palette = PaletteTag*;
using Cursor = CursorTag*;
using Atom = std::uint16_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using WindowProcedure = LResult (*)(Window, std::uint32_t, WParam, LParam);

// Message numbers.
constexpr std::uint32_t WM_NCCREATE = 0x0081;
constexpr std::uint32_t WM_CREATE = 0x0001;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_SETCURSOR = 0x0020;
constexpr std::uint32_t WM_NCMOUSEMOVE = 0x00A0;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_COMMAND = 0x0111;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_USER = 0x0400;

// Virtual-key codes (letters and digits are their upper-case ASCII codes). Every key has one:
// keypad digits 96-105 (Num Lock on; off, the navigation codes), keypad operators 106-111,
// F13-F24 124-135, punctuation 186-192, 219-223 and 226, and VK_UNASSIGNED for a key the window
// system names no code for.
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_F1 = 112;
constexpr int VK_F10 = 121;
constexpr int VK_F12 = 123;
constexpr int VK_UNASSIGNED = 255;

constexpr std::int32_t CW_USEDEFAULT = INT32_MIN;

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Message {
    Window window = nullptr;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// The program's own module.
void* GetModuleHandle();

// Before the first window: this process's windows are drawn off any screen (SDL's offscreen
// driver, whatever the environment asks), and its signals are left to the program hosting it.
// False when the video system cannot start that way (VideoError says why).
bool UseOffscreenVideo();
// Why the last window or context could not be made, as the video system put it; may be empty.
std::string VideoError();

// Window classes.
Atom RegisterClass(const char* name, WindowProcedure procedure);
bool UnregisterClass(Atom atom);

// Window styles: a framed, resizable window, or a popup with no frame at all.
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr std::uint32_t WS_POPUP = 0x80000000;

// Windows. CreateWindow sends WM_NCCREATE (lParam = createParam) and WM_CREATE to the class's
// procedure before it returns; the window starts hidden. `width`/`height` are the outer size,
// which on this platform equals the client size (the frame, if any, is the window manager's).
// With `x` CW_USEDEFAULT the platform places the window (and `y` is not read): centred on the
// display's usable area, and centred again whenever its size is set, so that it stays whole on
// the screen.
Window CreateWindow(const char* className, const char* title, std::uint32_t style, std::int32_t x,
                    std::int32_t y, std::int32_t width, std::int32_t height, bool topMost,
                    void* createParam);
bool DestroyWindow(Window window);
bool IsWindow(Window window);
LResult DefWindowProc(Window window, std::uint32_t message, WParam wParam, LParam lParam);
void SetUserData(Window window, void* data);
void* GetUserData(Window window);
// Shows or hides; the first showing sends WM_SIZE with the client size.
bool ShowWindow(Window window, bool show);
bool IsWindowVisible(Window window);
// Renames an open window (its title bar).
bool SetWindowText(Window window, const char* text);
bool GetClientRect(Window window, Rect* rect);
bool GetWindowRect(Window window, Rect* rect);
// Grows a client rectangle to the outer rectangle; the frame is the window manager's, so the two
// are the same here.
bool AdjustWindowRect(Rect* rect);
// Resizes the client area; a changed size reaches the window procedure as WM_SIZE before return.
bool SetWindowSize(Window window, std::int32_t width, std::int32_t height);
bool GetDisplaySize(std::int32_t* width, std::int32_t* height);

// The message queue. PeekMessage never waits; WM_PAINT comes only when nothing else waits, and
// WM_QUIT after every other queued message.
bool PeekMessage(Message* message);
LResult DispatchMessage(const Message& message);
bool PostMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam);
void PostQuitMessage(int exitCode);
// Calls the window procedure at once.
LResult SendMessage(Window window, std::uint32_t message, WParam wParam, LParam lParam);
// The window whose close button or the process's interrupt ends the program: SDL's quit request
// arrives as WM_CLOSE for it.
void SetQuitWindow(Window window);

// Painting: one dirty flag per window stands for its update region.
bool InvalidateRect(Window window);
bool GetUpdateRect(Window window, Rect* rect);
bool BeginPaint(Window window);
bool EndPaint(Window window);

// Mouse capture and cursor.
bool SetCapture(Window window);
bool ReleaseCapture();
Cursor LoadArrowCursor();
Cursor SetCursor(Cursor cursor);

// Pixel formats.
constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x1;
constexpr std::uint32_t PFD_STEREO = 0x2;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x4;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint32_t PFD_NEED_PALETTE = 0x80;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

struct PixelFormatDescriptor {
    std::uint16_t size = 0;
    std::uint16_t version = 0;
    std::uint32_t flags = 0;
    std::uint8_t pixelType = 0;
    std::uint8_t colorBits = 0;
    std::uint8_t alphaBits = 0;
    std::uint8_t accumBits = 0;
    std::uint8_t depthBits = 0;
    std::uint8_t stencilBits = 0;
    std::uint8_t layerType = 0;
};

DeviceContext GetDC(Window window);
// Returns the number of the closest format the display offers (always true colour), 0 on failure.
int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& wanted);
bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& wanted);
int GetPixelFormat(DeviceContext dc);
bool DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor* description);

// Rendering contexts (legacy OpenGL 2.1-compatible). Creating one does not make it current.
RenderContext CreateContext(DeviceContext dc);
bool DeleteContext(RenderContext context);
// Null context: no context becomes current (true).
bool MakeCurrent(DeviceContext dc, RenderContext context);
RenderContext GetCurrentContext();
DeviceContext GetCurrentDC();
bool SwapBuffers(DeviceContext dc);

// Palettes for displays of 256 colours.
struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
Palette CreatePalette(std::uint16_t version, const PaletteEntry* entries, int count);
bool DeletePalette(Palette palette);
Palette SelectPalette(DeviceContext dc, Palette palette, bool background);
int RealizePalette(DeviceContext dc);

// Glyphs of a font as one glBitmap display list per character code, first .. first+count-1
// (codes are Latin-1). `height` 0 (or below) means the system font: the default sans-serif,
// bold, 13 pixels. A height above 0 gives a regular face of that many pixels: `face`, or the
// default sans-serif when `face` is empty. Needs the device context's rendering context current.
bool UseFontBitmaps(DeviceContext dc, int height, const char* face, int first, int count,
                    std::uint32_t listBase);

void MessageBox(const char* text, const char* caption);

}  // namespace platform
