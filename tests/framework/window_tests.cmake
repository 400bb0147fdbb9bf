# Tests of the window layer. They need no X server: SDL's offscreen driver gives real Mesa GL
# contexts (EGL, software rendering). Every case runs in its own process.
find_package(SDL2 REQUIRED)
add_executable(window_test ${CMAKE_CURRENT_LIST_DIR}/window/window_test.cpp
                           ${CMAKE_CURRENT_LIST_DIR}/window/run_loop_test.cpp)
# SDL for the key codes: the keys go in as SDL reports them.
target_link_libraries(window_test PRIVATE gulper_testing SDL2::SDL2 GTest::gtest GTest::gtest_main)
target_compile_definitions(window_test PRIVATE GULPER_GLDEMO="$<TARGET_FILE:gulper-gldemo>")
add_dependencies(window_test gulper-gldemo)
gtest_discover_tests(window_test
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DISCOVERY_TIMEOUT 30
  PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen" TIMEOUT 120 ${GULPER_OPENGL_LABEL})

# The demo on a real X server (Xvfb), when there is one to start.
add_test(NAME window_demo_under_xvfb
  COMMAND sh -c "command -v xvfb-run >/dev/null || exit 77; \
env -u SDL_VIDEODRIVER timeout 60 xvfb-run -a -s \"-screen 0 1024x768x24 -noreset\" \"$0\" | tee /dev/stderr | grep -qx 'text drawn'"
  $<TARGET_FILE:gulper-gldemo>)
# xvfb-run -a picks a free display by looking; two at once can pick the same one.
set_tests_properties(window_demo_under_xvfb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
                     RESOURCE_LOCK xvfb)
