// Pixel formats, OpenGL rendering contexts, buffer swaps and palettes.
#include "framework/platform/records.h"

namespace platform {
using namespace detail;

void detail::ApplyFormat(int format) {
    const int bits = format - 1;
    static const int DEPTHS[4] = {0, 16, 24, 32};
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, bits & 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, DEPTHS[(bits >> 1) & 3]);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, (bits & 8) != 0 ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, (bits & 16) != 0 ? 8 : 0);
}

DeviceContext GetDC(Window window) {
    return IsWindow(window) ? reinterpret_cast<DeviceContext>(window) : nullptr;
}

int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& wanted) {
    if (!IsWindow(reinterpret_cast<Window>(dc)) || (wanted.flags & PFD_SUPPORT_OPENGL) == 0) {
        return 0;
    }
    int bits = (wanted.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0;
    int depth = 0;
    if (wanted.depthBits > 24) {
        depth = 3;
    } else if (wanted.depthBits > 16) {
        depth = 2;
    } else if (wanted.depthBits > 0) {
        depth = 1;
    }
    bits |= depth << 1;
    if (wanted.stencilBits > 0) {
        bits |= 8;
    }
    if (wanted.alphaBits > 0) {
        bits |= 16;
    }
    return bits + 1;
}

bool SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor&) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || format < 1 || format > 32) {
        return false;
    }
    if (record->pixelFormat != 0) {
        return record->pixelFormat == format;  // a window's format is set once
    }
    if (format != record->createdFormat) {
        // The GL visual is fixed when a window is made: make it again, still hidden, for this
        // format.
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(record->sdl, &x, &y);
        SDL_Window* remade = MakeSdlWindow(*record, x, y, format);
        if (remade == nullptr) {
            return false;
        }
        SDL_DestroyWindow(record->sdl);
        record->sdl = remade;
        record->createdFormat = format;
    }
    ApplyFormat(format);
    record->pixelFormat = format;
    return true;
}

int GetPixelFormat(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    return record != nullptr ? record->pixelFormat : 0;
}

bool DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor* description) {
    if (!IsWindow(reinterpret_cast<Window>(dc)) || format < 1 || format > 32 ||
        description == nullptr) {
        return false;
    }
    static const std::uint8_t DEPTHS[4] = {0, 16, 24, 32};
    const int bits = format - 1;
    PixelFormatDescriptor d;
    d.size = sizeof(PixelFormatDescriptor);
    d.version = 1;
    d.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | ((bits & 1) != 0 ? PFD_DOUBLEBUFFER : 0);
    d.pixelType = PFD_TYPE_RGBA;
    d.colorBits = 24;
    d.alphaBits = (bits & 16) != 0 ? 8 : 0;
    d.depthBits = DEPTHS[(bits >> 1) & 3];
    d.stencilBits = (bits & 8) != 0 ? 8 : 0;
    d.layerType = PFD_MAIN_PLANE;
    *description = d;
    return true;
}

RenderContext CreateContext(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || record->pixelFormat == 0) {
        return nullptr;
    }
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    ApplyFormat(record->pixelFormat);
    SDL_GLContext gl = SDL_GL_CreateContext(record->sdl);
    // SDL makes a new context current; the caller decides what is current.
    if (previous != nullptr && previousWindow != nullptr) {
        SDL_GL_MakeCurrent(previousWindow, previous);
    } else {
        SDL_GL_MakeCurrent(nullptr, nullptr);
    }
    if (gl == nullptr) {
        return nullptr;
    }
    const std::uintptr_t id = S().nextId++;
    S().contexts.emplace(id, ContextRecord{gl});
    return reinterpret_cast<RenderContext>(id);
}

bool DeleteContext(RenderContext context) {
    auto it = S().contexts.find(IdOf(context));
    if (it == S().contexts.end()) {
        return false;
    }
    if (S().currentContext == context) {
        MakeCurrent(nullptr, nullptr);
    }
    SDL_GL_DeleteContext(it->second.gl);
    S().contexts.erase(it);
    return true;
}

bool MakeCurrent(DeviceContext dc, RenderContext context) {
    if (context == nullptr) {
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
            SDL_GL_MakeCurrent(nullptr, nullptr);
        }
        S().currentDc = nullptr;
        S().currentContext = nullptr;
        return true;
    }
    auto it = S().contexts.find(IdOf(context));
    WindowRecord* record = FindWindow(dc);
    if (it == S().contexts.end() || record == nullptr) {
        return false;
    }
    if (SDL_GL_MakeCurrent(record->sdl, it->second.gl) != 0) {
        return false;
    }
    S().currentDc = dc;
    S().currentContext = context;
    return true;
}

RenderContext GetCurrentContext() {
    return S().currentContext;
}

DeviceContext GetCurrentDC() {
    return S().currentDc;
}

bool SwapBuffers(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr) {
        return false;
    }
    SDL_GL_SwapWindow(record->sdl);
    return true;
}

Palette CreatePalette(std::uint16_t version, const PaletteEntry* entries, int count) {
    if (version != 0x300 || entries == nullptr || count <= 0 || count > 256) {
        return nullptr;
    }
    const std::uintptr_t id = S().nextId++;
    S().palettes.emplace(id, PaletteRecord{std::vector<PaletteEntry>(entries, entries + count)});
    return reinterpret_cast<Palette>(id);
}

bool DeletePalette(Palette palette) {
    return S().palettes.erase(IdOf(palette)) != 0;
}

Palette SelectPalette(DeviceContext dc, Palette palette, bool) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr || S().palettes.count(IdOf(palette)) == 0) {
        return nullptr;
    }
    Palette previous = record->selectedPalette;
    record->selectedPalette = palette;
    return previous;
}

int RealizePalette(DeviceContext dc) {
    WindowRecord* record = FindWindow(dc);
    if (record == nullptr) {
        return 0;
    }
    auto it = S().palettes.find(IdOf(record->selectedPalette));
    // A true-colour display maps every entry without changing the system palette.
    return it == S().palettes.end() ? 0 : static_cast<int>(it->second.entries.size());
}

}  // namespace platform
