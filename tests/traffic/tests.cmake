# The long-run traffic tests drive the headless tool's trace command.
if(TARGET tests_traffic)
  add_dependencies(tests_traffic searchlight-headless)
endif()
