# Data-file reader tests beyond the unit tests: the inspector is compiled
# into the assets test program. The fuzz targets register in tests/fuzz.
target_sources(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets/inspect.cpp)
target_include_directories(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets)
