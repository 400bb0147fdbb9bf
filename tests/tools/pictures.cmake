gulper_test(pictures_tests pictures_test.cpp)
target_compile_definitions(pictures_tests PRIVATE
  MAKE_PICTURES_PATH="$<TARGET_FILE:gulper-make-pictures>" DATA_DIR="${PROJECT_SOURCE_DIR}/data"
  MAKE_ICONS_PATH="$<TARGET_FILE:gulper-make-icons>")
add_dependencies(pictures_tests gulper-make-pictures gulper-make-icons)
