# Tests of the image layer: memory and conversions and the file readers, with the platform's
# decoders installed (SDL2 and SDL2_image also save the pictures they read); and drawing, in a
# real OpenGL context of SDL's offscreen driver.
find_package(SDL2 REQUIRED)
find_package(SDL2_image REQUIRED)
find_package(OpenGL REQUIRED)

gulper_test(image_tests
  ${CMAKE_CURRENT_LIST_DIR}/image_memory_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_readers_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_decoders_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_file_test.cpp
)
target_link_libraries(image_tests PRIVATE gulper_picture_decoders SDL2::SDL2 SDL2_image::SDL2_image)

gulper_test(image_draw_tests OPENGL ${CMAKE_CURRENT_LIST_DIR}/image_draw_test.cpp)
target_link_libraries(image_draw_tests PRIVATE gulper_image_drawing SDL2::SDL2 OpenGL::GL)
