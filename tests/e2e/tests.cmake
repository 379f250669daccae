# The real game binary under Xvfb, driven with xdotool.
add_test(NAME e2e.game_starts_shows_title_and_quits
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/game_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} 1280x1024)
set_tests_properties(e2e.game_starts_shows_title_and_quits PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
add_test(NAME e2e.flying_forward_moves_the_view
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/flight_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} 1280x1024)
set_tests_properties(e2e.flying_forward_moves_the_view PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
# A key released while a second window has the focus does not stay held.
add_test(NAME e2e.key_released_in_another_window_is_not_held
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/focus_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} 1280x1024)
set_tests_properties(e2e.key_released_in_another_window_is_not_held PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
foreach(size 1280x1024 1920x1080 1024x768)
  add_test(NAME e2e.frame_title_city_map_badge_${size}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/frame_e2e.sh $<TARGET_FILE:searchlight> $<TARGET_FILE:searchlight-headless>
            ${SEARCHLIGHT_DATA_DIR} ${size})
  set_tests_properties(e2e.frame_title_city_map_badge_${size} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()
# Started without an X display, the game says so in one line and exits
# non-zero; --help and --version need no display, a bad option ends with 2.
add_test(NAME e2e.no_display_one_line_and_failure_status
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/no_display_e2e.sh $<TARGET_FILE:searchlight>
          $<TARGET_FILE:searchlight-headless> $<TARGET_FILE:searchlight-assets>)
set_tests_properties(e2e.no_display_one_line_and_failure_status PROPERTIES TIMEOUT 60)
# Each data file missing, garbled or cut short: the game ends with a clear
# word or plays on, never by a signal, never hanging. One test per kind of
# file, each with its own Xvfb, so they can run side by side.
foreach(kind images models ppm font)
  add_test(NAME e2e.data_files_missing_or_broken_${kind}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/data_files_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} ${kind})
  set_tests_properties(e2e.data_files_missing_or_broken_${kind} PROPERTIES TIMEOUT 900)
endforeach()
# Two minutes of scripted play: alive at the end, frames still counted,
# resident memory steady. The same script plays longer
# by hand (long_play_e2e.sh BINARY DATADIR 600).
# Resident memory is judged in the normal build only (see the script).
if(SEARCHLIGHT_SANITIZE)
  set(long_play_memory_limit -)
else()
  set(long_play_memory_limit 16)
endif()
add_test(NAME e2e.long_play_two_minutes
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/long_play_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR} 120
          ${long_play_memory_limit})
set_tests_properties(e2e.long_play_two_minutes PROPERTIES TIMEOUT 400)
