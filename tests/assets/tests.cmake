# Data-file reader tests beyond the unit tests: the inspector is compiled
# into the assets test program, and the fuzz targets run for a bounded time.
target_sources(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets/inspect.cpp)
target_include_directories(tests_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assets)
