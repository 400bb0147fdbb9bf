gulper_test(window_tests window_test.cpp)
target_link_libraries(window_tests PRIVATE gulper_framework)
pkg_check_modules(SDL2_FOR_WINDOW_TESTS REQUIRED IMPORTED_TARGET sdl2)
target_link_libraries(window_tests PRIVATE PkgConfig::SDL2_FOR_WINDOW_TESTS)

# Exit codes of whole programs.
add_executable(framework_no_app no_app.cpp)
target_link_libraries(framework_no_app PRIVATE gulper_main)
add_executable(framework_two_apps two_apps.cpp)
target_link_libraries(framework_two_apps PRIVATE gulper_main)
add_test(NAME Framework.NoApplicationExitsWithMinusOne
         COMMAND sh -c "out=$($<TARGET_FILE:framework_no_app>); test $? -eq 255 && test \"$out\" = 'No application instance created, exiting.'")
add_test(NAME Framework.SecondApplicationExitsWithOne
         COMMAND sh -c "out=$($<TARGET_FILE:framework_two_apps>); test $? -eq 1 && test \"$out\" = 'Error: more than one application instance defined!'")
