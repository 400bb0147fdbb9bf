# The image libraries, by what they need. gulper_image is window-free and links no library of
# the system: pixel memory, conversions, our own Targa and bitmap readers, the picture header
# checks, our own GIF decoder and the opening of data files that never waits on them; the
# game's rules and the simulator link it. The window side adds the other two.
add_library(gulper_image STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageConversions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageReaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/picture_headers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/gif_decoder.cpp
)
target_include_directories(gulper_image PUBLIC ${PROJECT_SOURCE_DIR})
