# Application object, message loop, GL window and bitmap text over the platform layer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GULPER_PLATFORM REQUIRED IMPORTED_TARGET sdl2 freetype2 fontconfig)
find_package(OpenGL REQUIRED)
add_library(gulper_framework STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GLWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/platform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/glyphs.cpp
)
target_include_directories(gulper_framework PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(gulper_framework PRIVATE PkgConfig::GULPER_PLATFORM PUBLIC OpenGL::GL)

# The framework's main, apart so that tests can link everything else.
add_library(gulper_main STATIC ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(gulper_main PUBLIC gulper_framework)
