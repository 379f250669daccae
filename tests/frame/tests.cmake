# The same plays at 30, 50 and 70 frames a second keep the game's pace.
add_test(NAME frame.pace_at_30_50_70_fps
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/pace_test.sh $<TARGET_FILE:searchlight-headless> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(frame.pace_at_30_50_70_fps PROPERTIES TIMEOUT 300)
