# Packs the release archive again, reproducibly. CPack runs this script
# (CPACK_POST_BUILD_SCRIPTS) after its ZIP generator has written the archive
# and before it copies the archive out and writes the checksum: the script
# replaces each archive in CPACK_PACKAGE_FILES with one made by Info-ZIP's zip
# from the same staged files (installed, the program stripped).
#
# The same sources must always give the same bytes, whoever packs them, when
# and where: every entry has the same time (1980-01-01 00:00:00 UTC, the
# earliest a zip can hold) and fixed permissions, the entries come in a fixed
# order, and no entry records its owner. CMake 3.25's zip writer (libarchive,
# behind the ZIP generator and `cmake -E tar --format=zip`) cannot meet the
# last point: every entry carries the user and group id of its file, so two
# users packing the same files get different archives. zip -X records neither
# owners nor any time but the one fixed above.

cmake_minimum_required(VERSION 3.25)

find_program(ZOBNIKARI_ZIP zip)
find_program(ZOBNIKARI_TOUCH touch)
if(NOT ZOBNIKARI_ZIP OR NOT ZOBNIKARI_TOUCH)
  message(FATAL_ERROR "Packing the release archive needs Info-ZIP's zip and touch "
    "(Debian: zip, coreutils)")
endif()

# zip takes default options from the variables ZIP and ZIPOPT, and writes
# times in the local time zone.
unset(ENV{ZIP})
unset(ENV{ZIPOPT})
set(ENV{TZ} UTC)

foreach(archive IN LISTS CPACK_PACKAGE_FILES)
  if(NOT archive MATCHES "\\.zip$")
    continue()
  endif()
  # The staged files lie under a folder named like the archive, which the
  # archive holds.
  get_filename_component(top "${archive}" DIRECTORY)
  get_filename_component(folder "${archive}" NAME_WLE)
  if(NOT IS_DIRECTORY "${top}/${folder}")
    message(FATAL_ERROR "No staged files in ${top}/${folder} for ${archive}")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${top}" "${top}/${folder}/*")
  list(SORT files)

  foreach(file IN LISTS files)
    if(file MATCHES "\\.exe$")
      file(CHMOD "${top}/${file}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
        GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    else()
      file(CHMOD "${top}/${file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
  endforeach()
  execute_process(
    COMMAND "${ZOBNIKARI_TOUCH}" -d @315532800 ${files}
    WORKING_DIRECTORY "${top}"
    COMMAND_ERROR_IS_FATAL ANY)

  file(REMOVE "${archive}")
  execute_process(
    COMMAND "${ZOBNIKARI_ZIP}" -X -D -9 -q "${archive}" ${files}
    WORKING_DIRECTORY "${top}"
    COMMAND_ERROR_IS_FATAL ANY)
  list(JOIN files ", " listed)
  message(STATUS "Packed reproducibly: ${listed}")
endforeach()
