# Data-file reader tests beyond the unit tests: the inspector is compiled
# into the assets test program, and the fuzz targets run for a bounded time.
target_sources(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets/inspect.cpp)
target_include_directories(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets)

# Each fuzz target runs for 20 seconds on a seed corpus made from the
# generated data files (fuzz/run.sh); any sanitizer report fails the test.
set(SEARCHLIGHT_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs in the test suite")
add_test(NAME assets.fuzz_build COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run.sh ${CMAKE_BINARY_DIR} build)
set_tests_properties(assets.fuzz_build PROPERTIES FIXTURES_SETUP searchlight_fuzz_targets TIMEOUT 900)
foreach(format sgi ppm 3ds)
  add_test(NAME assets.fuzz_${format}
           COMMAND ${CMAKE_SOURCE_DIR}/fuzz/run.sh ${CMAKE_BINARY_DIR} ${SEARCHLIGHT_FUZZ_SECONDS} ${format})
  set_tests_properties(assets.fuzz_${format} PROPERTIES
    FIXTURES_REQUIRED searchlight_fuzz_targets
    ENVIRONMENT SEARCHLIGHT_FUZZ_PREBUILT=1
    TIMEOUT 300)
endforeach()
