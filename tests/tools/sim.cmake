gulper_test(sim_tests sim_test.cpp)
target_compile_definitions(sim_tests PRIVATE GULPER_SIM_PATH="$<TARGET_FILE:gulper-sim>")
add_dependencies(sim_tests gulper-sim)
find_package(PNG REQUIRED)
target_link_libraries(sim_tests PRIVATE PNG::PNG)

# Soak: 300 seeded games at the shipped settings. The sanitizer stage runs it too, where
# any memory fault, undefined behaviour or leak fails it.
add_test(NAME SimSoak300Games
  COMMAND sh -c "out=$(\"$0\" --games 300 --seed 1 --config \"$1\") && echo \"$out\" && \
echo \"$out\" | grep -q '^games: *300$'"
  $<TARGET_FILE:gulper-sim> ${PROJECT_SOURCE_DIR}/data/config.txt)
set_tests_properties(SimSoak300Games PROPERTIES TIMEOUT 600)

add_test(NAME ReportOpensInChromium
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/report_chromium.sh $<TARGET_FILE:gulper-sim>
                 ${PROJECT_SOURCE_DIR})
set_tests_properties(ReportOpensInChromium PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The intervals' calibration plays 9600 games: 15 s here, three times as long under the
# sanitizers, where the games' memory is already checked by the soak and the study tests.
gulper_test(sim_study_tests study_test.cpp)
target_compile_definitions(sim_study_tests PRIVATE GULPER_SIM_PATH="$<TARGET_FILE:gulper-sim>"
                                                   GULPER_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(sim_study_tests gulper-sim)

add_test(NAME SimWorkerKilledEndsTheRun
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/worker_fault.sh $<TARGET_FILE:gulper-sim>
                 ${PROJECT_SOURCE_DIR})
set_tests_properties(SimWorkerKilledEndsTheRun PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)

# Replay files: recorded games of every agent played back, changed and damaged files.

add_test(NAME LevelsAreAsPublished
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/levels_test.sh $<TARGET_FILE:gulper-sim>
                 ${PROJECT_SOURCE_DIR})
# The benchmark's table made again on a few games: every level, every shipped agent, a row each.
add_test(NAME BenchmarkTableRegenerates
  COMMAND sh -c "out=$(mktemp -d) && trap 'rm -rf \"$out\"' EXIT && \
\"$0\" --sim \"$1\" --games 3 --speed-games 1 --out \"$out/benchmark.md\" && \
rows=$(grep -c '^| [a-z-]* | [0-9.]* % (' \"$out/benchmark.md\") && \
echo \"$rows rows\" && test \"$rows\" -eq 25 && grep -q '<svg' \"$out/benchmark.svg\""
  ${PROJECT_SOURCE_DIR}/scripts/benchmark-table $<TARGET_FILE:gulper-sim>)
# Run outside the game folder: the levels are built into gulper-sim.
set_tests_properties(BenchmarkTableRegenerates PROPERTIES TIMEOUT 600)
