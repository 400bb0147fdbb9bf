# gulper_testing: what only tests link, never the game: input put into SDL's event queue for
# a window, and the image drawing path's forced BGRA answer.
add_library(gulper_testing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/testing/inject.cpp
  ${CMAKE_CURRENT_LIST_DIR}/testing/image_override.cpp
)
target_link_libraries(gulper_testing PUBLIC gulper_framework gulper_image PRIVATE SDL2::SDL2)
