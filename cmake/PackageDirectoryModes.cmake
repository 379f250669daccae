# PackageDirectoryModes.cmake -- run by CPack on the staged tree before it is
# packed: every directory 0755. CMake creates the directories of an install
# under the builder's umask (0750 under umask 027), and a package's
# directories must be readable and searchable by everyone whoever built it.
# The files need nothing: install() gives them 0644 or 0755 itself.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(entry ${CPACK_TEMPORARY_INSTALL_DIRECTORY} ${entries})
  if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
    file(CHMOD "${entry}" DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
