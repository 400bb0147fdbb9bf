# gulper_testing: what only tests link, never the game: input put into SDL's event queue for
# a window.
add_library(gulper_testing STATIC ${CMAKE_CURRENT_LIST_DIR}/testing/inject.cpp)
target_link_libraries(gulper_testing PUBLIC gulper_framework PRIVATE SDL2::SDL2)
