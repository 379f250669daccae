# The `city` dump of searchlight-headless: format, determinism, bad arguments.
add_test(NAME city.headless_dump
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/headless_city_dump.sh $<TARGET_FILE:searchlight-headless> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(city.headless_dump PROPERTIES TIMEOUT 120)
