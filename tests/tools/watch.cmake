add_test(NAME WatchPlaysTheReplayUnderXvfb
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/watch_e2e.sh $<TARGET_FILE:gulper-watch>
                 $<TARGET_FILE:gulper-sim> ${PROJECT_SOURCE_DIR})
set_tests_properties(WatchPlaysTheReplayUnderXvfb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180
                     RESOURCE_LOCK xvfb)

# The viewer's frame in SDL's offscreen driver: the food under the plan, the sprites over it.
add_executable(watch_window_tests watch_window_test.cpp)
target_link_libraries(watch_window_tests PRIVATE gulper_watch_lib GTest::gtest
                      GTest::gtest_main)
target_compile_definitions(watch_window_tests PRIVATE
                           GULPER_SHIPPED_CONFIG="${PROJECT_SOURCE_DIR}/data/config.txt")
gtest_discover_tests(watch_window_tests
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DISCOVERY_TIMEOUT 30
  PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen" TIMEOUT 120 ${GULPER_OPENGL_LABEL})
