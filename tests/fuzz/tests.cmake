# The fuzz targets of the data-file readers and the records reader (fuzz/).
# Every committed input (the seed corpus, every input that ever failed, the
# generated data files) is replayed under the sanitizers; the normal configuration also fuzzes each
# target for a minute. A fault fails the test and leaves the input in
# BUILD/fuzz/findings.
set(fuzz_run ${CMAKE_SOURCE_DIR}/fuzz/run.sh)
set(fuzz_formats sgi ppm 3ds records)
set(fuzz_seconds 60)

if(SEARCHLIGHT_SANITIZE)
  # Everything here is sanitized already: gcc-built drivers replay the
  # inputs through the targets' entry points, without a clang build, and
  # nothing is fuzzed a second time.
  foreach(format ${fuzz_formats})
    set(driver fuzz_replay_${format})
    add_executable(${driver} ${CMAKE_SOURCE_DIR}/fuzz/${format}_fuzz.cpp ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    set_target_properties(${driver} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz/drivers)
    target_compile_options(${driver} PRIVATE ${SEARCHLIGHT_WARNINGS})
    target_link_libraries(${driver} PRIVATE searchlight_core)
    add_test(NAME fuzz.replay_${format} COMMAND ${fuzz_run} ${CMAKE_BINARY_DIR} replay ${format})
    set_tests_properties(fuzz.replay_${format} PROPERTIES
      ENVIRONMENT SEARCHLIGHT_FUZZ_DRIVERS=${CMAKE_BINARY_DIR}/fuzz/drivers
      TIMEOUT 600)
  endforeach()
else()
  # The libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
  # are built once, then replay, fuzz and the corpus check run side by side.
  add_test(NAME fuzz.build COMMAND ${fuzz_run} ${CMAKE_BINARY_DIR} build)
  set_tests_properties(fuzz.build PROPERTIES FIXTURES_SETUP searchlight_fuzz_targets TIMEOUT 900)
  add_test(NAME fuzz.corpus_current COMMAND ${fuzz_run} ${CMAKE_BINARY_DIR} corpus-check)
  set_tests_properties(fuzz.corpus_current PROPERTIES
    FIXTURES_REQUIRED searchlight_fuzz_targets
    ENVIRONMENT SEARCHLIGHT_FUZZ_PREBUILT=1
    TIMEOUT 120)
  foreach(format ${fuzz_formats})
    add_test(NAME fuzz.replay_${format} COMMAND ${fuzz_run} ${CMAKE_BINARY_DIR} replay ${format})
    add_test(NAME fuzz.run_${format} COMMAND ${fuzz_run} ${CMAKE_BINARY_DIR} ${fuzz_seconds} ${format})
    set_tests_properties(fuzz.replay_${format} fuzz.run_${format} PROPERTIES
      FIXTURES_REQUIRED searchlight_fuzz_targets
      ENVIRONMENT SEARCHLIGHT_FUZZ_PREBUILT=1
      TIMEOUT 300)
  endforeach()
endif()
