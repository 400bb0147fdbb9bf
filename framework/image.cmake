# The image libraries of the window side; gulper_image (image_core.cmake) is the window-free one.
# gulper_image_drawing: images drawn with OpenGL, one by one (DrawImage) or batched
# (PictureBatch).
find_package(OpenGL REQUIRED)
add_library(gulper_image_drawing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ImageDrawing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureBatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextureAtlas.cpp
)
target_link_libraries(gulper_image_drawing PUBLIC gulper_image OpenGL::GL)

# gulper_picture_decoders: the platform's decoders (SDL2 for bitmaps, libpng for PNG, SDL2_image
# for JPEG) as Image readers, installed by InstallPlatformImageReaders.
find_package(SDL2 REQUIRED)
find_package(SDL2_image REQUIRED)
find_package(PNG REQUIRED)
add_library(gulper_picture_decoders STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ImagePlatformReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/picture_loader.cpp
)
target_link_libraries(gulper_picture_decoders
  PUBLIC gulper_image PRIVATE SDL2::SDL2 SDL2_image::SDL2_image PNG::PNG)
