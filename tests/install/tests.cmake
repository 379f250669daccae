# The installed game: `cmake --install` into a DESTDIR, the desktop files'
# validators, and the Debian package unpacked into a scratch root. The game
# runs under Xvfb in two of them, so they run one at a time.
#
# Packaging is the same in the sanitized configuration, where the end-to-end
# tests already run the game itself; a package of sanitized programs is
# nothing to ship, so these tests belong to the normal build only.
if(NOT SEARCHLIGHT_SANITIZE)
  add_test(NAME install.destdir_tree_data_and_launcher
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/destdir_test.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:searchlight-assets>)
  set_tests_properties(install.destdir_tree_data_and_launcher PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)

  add_test(NAME install.desktop_entry_metainfo_and_manual
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/validate_test.sh ${SEARCHLIGHT_PACKAGING_DIR} ${SEARCHLIGHT_VERSION}
            ${SEARCHLIGHT_APP_ID} ${SEARCHLIGHT_DATA_DIR})
  set_tests_properties(install.desktop_entry_metainfo_and_manual PROPERTIES TIMEOUT 60)

  add_test(NAME install.deb_package_unpacked_and_played
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/deb_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install.deb_package_unpacked_and_played PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
