# The long-run traffic tests drive the headless tool's trace command.
if(TARGET tests_traffic)
  add_dependencies(tests_traffic searchlight-headless)
endif()

# An hour of game time per city, several cities, checked as it runs (in the
# sanitized configuration too, where any memory error ends the run).
add_test(NAME traffic.soak_hour_per_city
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/soak_test.sh $<TARGET_FILE:searchlight-headless> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(traffic.soak_hour_per_city PROPERTIES TIMEOUT 900)
