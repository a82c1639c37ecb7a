# Packs the release archive again, reproducibly. CPack runs this script
# (CPACK_POST_BUILD_SCRIPTS) after its ZIP generator has written the archive
# and before it copies the archive out and writes the checksum: the script
# replaces each archive in CPACK_PACKAGE_FILES with one made by Info-ZIP's zip
# from the same staged files (installed, the program stripped), as
# cmake/reproducible_zip.cmake packs them.

cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.cmake")

foreach(archive IN LISTS CPACK_PACKAGE_FILES)
  if(NOT archive MATCHES "\\.zip$")
    continue()
  endif()
  # The staged files lie under a folder named like the archive, which the
  # archive holds.
  get_filename_component(top "${archive}" DIRECTORY)
  get_filename_component(folder "${archive}" NAME_WLE)
  zobnikari_reproducible_zip("${top}" "${folder}" "${archive}")
endforeach()
