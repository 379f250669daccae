# The generator's tests check the painters and writers directly.
target_link_libraries(tests_tools PRIVATE searchlight_assetgen)
