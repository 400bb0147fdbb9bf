# Image, its file readers and the platform's picture decoders.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image sdl2)
find_package(OpenGL REQUIRED)
add_library(gulper_image STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/picture_loader.cpp
)
target_include_directories(gulper_image PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(gulper_image PRIVATE PkgConfig::SDL2_IMAGE PUBLIC OpenGL::GL)
