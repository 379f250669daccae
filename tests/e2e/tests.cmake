# The real game binary under Xvfb, driven with xdotool.
add_test(NAME e2e.game_starts_shows_title_and_quits
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/game_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} 1280x1024)
set_tests_properties(e2e.game_starts_shows_title_and_quits PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
