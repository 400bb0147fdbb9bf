# gulper_image: Image, its conversions and drawing, its file readers and the platform
# picture decoders (SDL2 for bitmaps, libpng for PNG, SDL2_image for JPEG, our own for GIF).
find_package(SDL2 REQUIRED)
find_package(SDL2_image REQUIRED)
find_package(PNG REQUIRED)
find_package(OpenGL REQUIRED)

add_library(gulper_image STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureBatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/picture_headers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/picture_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/gif_decoder.cpp
)
target_include_directories(gulper_image PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(gulper_image PUBLIC OpenGL::GL PRIVATE SDL2::SDL2 SDL2_image::SDL2_image PNG::PNG)
