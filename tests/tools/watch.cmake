add_test(NAME WatchPlaysTheReplayUnderXvfb
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/watch_e2e.sh $<TARGET_FILE:gulper-watch>
                 $<TARGET_FILE:gulper-sim> ${PROJECT_SOURCE_DIR})
set_tests_properties(WatchPlaysTheReplayUnderXvfb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180
                     RESOURCE_LOCK xvfb)
