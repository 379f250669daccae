# Install.cmake -- installing the game (`cmake --install`, PREFIX and DESTDIR
# honoured) and packaging it for Debian (`cpack -G DEB`).
#
# Layout under the prefix (GNU install directories):
#   bin/searchlight                      launcher: cd to the data, run the game
#                                        (games/searchlight in the Debian package)
#   libexec/searchlight/searchlight      the game program
#   share/searchlight/                   the generated data set, as in build/data
#   share/applications/, share/metainfo/, share/icons/hicolor/,
#   share/man/man6/searchlight.6.gz, share/doc/searchlight/{copyright,changelog.gz}
# The game reads its data from its working directory (or --data DIR); the
# launcher is what lets it start from anywhere.
include(GNUInstallDirs)

set(SEARCHLIGHT_ICON_SIZES 64 256)
set(SEARCHLIGHT_APP_ID io.github.searchlight.Searchlight)

set(SEARCHLIGHT_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/searchlight)
set(SEARCHLIGHT_INSTALL_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/searchlight)
set(SEARCHLIGHT_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/searchlight)
# Debian puts the commands of games in /usr/games and nothing in /usr/bin.
set(SEARCHLIGHT_INSTALL_GAMES_DIR games)
set(SEARCHLIGHT_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The launcher finds the data and the game relative to its own directory, so
# a tree unpacked under any root (DESTDIR, dpkg-deb -x) works as installed.
# One launcher is written for each directory it may be installed in.
function(searchlight_configure_launcher launcher_dir output)
  if(IS_ABSOLUTE ${launcher_dir})
    set(full_dir ${launcher_dir})
  else()
    set(full_dir ${CMAKE_INSTALL_PREFIX}/${launcher_dir})
  endif()
  file(RELATIVE_PATH SEARCHLIGHT_LAUNCHER_DATA_DIR ${full_dir} ${CMAKE_INSTALL_FULL_DATADIR}/searchlight)
  file(RELATIVE_PATH SEARCHLIGHT_LAUNCHER_GAME_DIR ${full_dir} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/searchlight)
  configure_file(${SEARCHLIGHT_PACKAGING_DIR}/searchlight.in ${output} @ONLY)
endfunction()
searchlight_configure_launcher(${CMAKE_INSTALL_BINDIR} ${CMAKE_BINARY_DIR}/packaging/bin/searchlight)
searchlight_configure_launcher(${SEARCHLIGHT_INSTALL_GAMES_DIR} ${CMAKE_BINARY_DIR}/packaging/games/searchlight)

# The manual page and the changelog are installed compressed, as
# distributions keep them: gzip -9n stores no name and no time stamp, so the
# same text gives the same bytes on every build.
find_program(SEARCHLIGHT_GZIP gzip REQUIRED)
set(SEARCHLIGHT_COMPRESSED_DIR ${CMAKE_BINARY_DIR}/packaging/compressed)
set(SEARCHLIGHT_COMPRESSED_FILES "")
foreach(name searchlight.6 changelog)
  set(compressed ${SEARCHLIGHT_COMPRESSED_DIR}/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SEARCHLIGHT_COMPRESSED_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${SEARCHLIGHT_PACKAGING_DIR}/${name} ${SEARCHLIGHT_COMPRESSED_DIR}/${name}
    COMMAND ${SEARCHLIGHT_GZIP} -9nf ${SEARCHLIGHT_COMPRESSED_DIR}/${name}
    DEPENDS ${SEARCHLIGHT_PACKAGING_DIR}/${name}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND SEARCHLIGHT_COMPRESSED_FILES ${compressed})
endforeach()
add_custom_target(searchlight_compressed_docs ALL DEPENDS ${SEARCHLIGHT_COMPRESSED_FILES})

# The desktop icons, painted by our generator into the build tree (not into
# the data directory: that holds exactly the files the game reads).
set(SEARCHLIGHT_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(SEARCHLIGHT_ICON_FILES "")
foreach(size ${SEARCHLIGHT_ICON_SIZES})
  set(icon ${SEARCHLIGHT_ICON_DIR}/${size}x${size}/searchlight.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SEARCHLIGHT_ICON_DIR}/${size}x${size}
    COMMAND searchlight-assets icon ${size} ${icon}
    DEPENDS searchlight-assets
    COMMENT "Painting the ${size} x ${size} desktop icon")
  list(APPEND SEARCHLIGHT_ICON_FILES ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(searchlight_icons ALL DEPENDS ${SEARCHLIGHT_ICON_FILES})

install(TARGETS searchlight RUNTIME DESTINATION ${SEARCHLIGHT_INSTALL_GAME_DIR})
# A plain install puts the launcher in bin; the games one is installed only
# when asked for by component, as the Debian package below does.
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/bin/searchlight DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT launcher)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/games/searchlight DESTINATION ${SEARCHLIGHT_INSTALL_GAMES_DIR}
        COMPONENT games_launcher EXCLUDE_FROM_ALL)
# Only the generated files: the build's stamp and anything else stay behind.
install(DIRECTORY ${SEARCHLIGHT_DATA_DIR}/ DESTINATION ${SEARCHLIGHT_INSTALL_DATA_DIR}
        FILES_MATCHING PATTERN "*.rgb" PATTERN "*.rgba" PATTERN "*.ppm" PATTERN "*.3ds")
install(FILES ${SEARCHLIGHT_PACKAGING_DIR}/searchlight.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SEARCHLIGHT_PACKAGING_DIR}/${SEARCHLIGHT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${SEARCHLIGHT_COMPRESSED_DIR}/searchlight.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The licence's notice goes with every copy: the copyright file in Debian's
# machine-readable format, beside the changelog.
install(FILES ${SEARCHLIGHT_PACKAGING_DIR}/copyright ${SEARCHLIGHT_COMPRESSED_DIR}/changelog.gz
        DESTINATION ${SEARCHLIGHT_INSTALL_DOC_DIR})

# The Debian package. Depends is written by hand for Debian 12 (bookworm)
# from the libraries the game links (objdump -p ... | grep NEEDED, dpkg -S;
# libX11 for the display check before GLUT starts) and the symbol versions it
# uses; libgl1 brings the GLX side freeglut opens the window through (and,
# with it, the Mesa drivers); libglx0 is GLX itself, which the game asks
# for swap control; libopenal1 is OpenAL Soft, the game's sound.
# The deb test fails when a linked library's package is missing here.
set(CPACK_GENERATOR DEB)
# Everything of a plain install but the bin launcher ("Unspecified" is
# CMake's component of the files installed without one), plus the games one.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};games_launcher;/")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageDirectoryModes.cmake)
set(CPACK_PACKAGE_NAME searchlight)
set(CPACK_PACKAGE_VERSION ${SEARCHLIGHT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Searchlight developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hunt a fugitive car through a night city from a police helicopter")
set(CPACK_PACKAGE_DESCRIPTION
    "Searchlight is a real-time 3D pursuit game. Fly a police helicopter over a\n"
    "procedurally generated night city, steer its searchlight with the mouse,\n"
    "find the fugitive car in the traffic and hold it in the beam until the\n"
    "police cars you dispatch box it in. It runs on software OpenGL as well as\n"
    "on hardware.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "The Searchlight developers <searchlight@example.org>")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), libglut3.12 (>= 3.4.0), libglu1-mesa | libglu1, libopengl0, libgl1, libglx0, libx11-6, libopenal1 (>= 1:1.19)")
# The Mesa drivers the troubleshooting names: llvmpipe for a machine
# without a GPU driver, the hardware ones otherwise.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
include(CPack)
