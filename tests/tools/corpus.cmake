# Seeded games over many settings files, replayed against tests/tools/behaviour_corpus.txt.
gulper_test(behaviour_corpus_tests ${CMAKE_CURRENT_LIST_DIR}/behaviour_corpus_test.cpp)
target_link_libraries(behaviour_corpus_tests PRIVATE gulper_study)
target_compile_definitions(behaviour_corpus_tests PRIVATE
  GULPER_CORPUS_PATH="${CMAKE_CURRENT_LIST_DIR}/behaviour_corpus.txt"
  GULPER_SHIPPED_CONFIG="${PROJECT_SOURCE_DIR}/data/config.txt")
