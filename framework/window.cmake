# gulper_framework: the application object and message loop, the GL window and its bitmap text,
# over the platform layer. SDL2, FreeType and fontconfig stay private to it. The application
# object installs the platform's picture decoders.
find_package(SDL2 REQUIRED)
find_package(OpenGL REQUIRED)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)

# The platform layer, one file per job: video start-up, windows, events and keys, OpenGL
# contexts, glyphs, the message box.
add_library(gulper_framework STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GLApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GLWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GLWindowMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/video.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/keyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/opengl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GlyphText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/glyphs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/messagebox.cpp
)
target_include_directories(gulper_framework PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(gulper_framework
  PUBLIC OpenGL::GL
  PRIVATE gulper_picture_decoders SDL2::SDL2 Freetype::Freetype Fontconfig::Fontconfig ${CMAKE_DL_LIBS})

# The framework's main in a library of its own: the game links it, tests bring their own.
add_library(gulper_main STATIC ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(gulper_main PUBLIC gulper_framework)
