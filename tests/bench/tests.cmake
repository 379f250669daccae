# The `bench` command of searchlight-headless: every figure printed, sane values, bad arguments.
add_test(NAME bench.prints_every_figure
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/bench_run.sh $<TARGET_FILE:searchlight-headless> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(bench.prints_every_figure PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
