# The sound tests drive the headless tool's --audio; the game itself is
# played under Xvfb with OpenAL Soft's wave-writer device.
add_dependencies(tests_sound searchlight-headless)
add_test(NAME e2e.sound_wave_device_and_no_device
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/sound_e2e.sh $<TARGET_FILE:searchlight> ${SEARCHLIGHT_DATA_DIR})
set_tests_properties(e2e.sound_wave_device_and_no_device PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
