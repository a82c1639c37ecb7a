# zobnikari_reproducible_zip(<top> <folder> <archive>): packs the folder
# <top>/<folder>, which the archive then holds, into <archive> so that the same
# files always give the same bytes, whoever packs them, when and where: every
# entry has the same time (1980-01-01 00:00:00 UTC, the earliest a zip can
# hold) and fixed permissions (programs, named *.exe, executable), the entries
# come in sorted order, and no entry records its owner. CMake 3.25's own zip
# writer (libarchive, behind CPack's ZIP generator and `cmake -E tar
# --format=zip`) records the user and group id of every file, so two users
# packing the same files would get different archives; Info-ZIP's zip -X
# records neither owners nor any time but the one fixed here.

function(zobnikari_reproducible_zip top folder archive)
  find_program(ZOBNIKARI_ZIP zip)
  find_program(ZOBNIKARI_TOUCH touch)
  if(NOT ZOBNIKARI_ZIP OR NOT ZOBNIKARI_TOUCH)
    message(FATAL_ERROR "Packing a release archive needs Info-ZIP's zip and touch "
      "(Debian: zip, coreutils)")
  endif()
  if(NOT IS_DIRECTORY "${top}/${folder}")
    message(FATAL_ERROR "No files to pack in ${top}/${folder} for ${archive}")
  endif()
  # zip takes default options from the variables ZIP and ZIPOPT, and writes
  # times in the local time zone.
  unset(ENV{ZIP})
  unset(ENV{ZIPOPT})
  set(ENV{TZ} UTC)

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
endfunction()
