gulper_test(sim_tests sim_test.cpp)
target_compile_definitions(sim_tests PRIVATE GULPER_SIM_PATH="$<TARGET_FILE:gulper-sim>")
add_dependencies(sim_tests gulper-sim)
