# The long-run traffic tests drive the headless tool's trace command.
if(TARGET tests_traffic)
  add_dependencies(tests_traffic searchlight-headless)
endif()

# An hour of game time per city, several cities, checked as it runs (in the
# sanitized configuration too, where any memory error ends the run).
add_test(NAME traffic.soak_hour_per_city
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/soak_test.sh $<TARGET_FILE:searchlight-headless> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(traffic.soak_hour_per_city PROPERTIES TIMEOUT 900)

# Twenty chases one after another, Return at each capture: the memory at the
# last capture stays within 2 MB of the second (soak fails otherwise). A city
# left behind per chase adds about 200 KB, so twenty of them show. Resident
# memory is judged in the normal build only: the sanitizer's allocator holds
# freed memory back (its quarantine), and LeakSanitizer judges leaks there.
if(NOT SEARCHLIGHT_SANITIZE)
  add_test(NAME traffic.soak_chases_memory
    COMMAND $<TARGET_FILE:searchlight-headless> soak --seed 12 --seconds 3600 --police 12 --chases 20
            --data ${SEARCHLIGHT_DATA_DIR})
endif()
