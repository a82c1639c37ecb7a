# Which commit the sources are, for the Windows program's version resource and
# VERSION.txt: sets ZOBNIKARI_SOURCE_COMMIT to one of
#
#   <full hash>                       a source archive made by git archive (its
#                                     cmake/source_commit.txt), or a Git
#                                     checkout whose files are those of its commit
#   <full hash>, with local changes   a Git checkout with changed, added or
#                                     deleted files (untracked ones included,
#                                     ignored ones not): the program is built
#                                     from that commit and something more
#   unknown (<why>)                   anything else: no commit is made up
#
# and GIT_EXECUTABLE (find_package(Git)), which the tests of the release use.
# Read at configure time: a commit made, or a file changed, after the
# configure step reaches the program only when CMake configures again.
# Git is asked with safe.directory=*, so that a checkout owned by another user
# (a CI machine's, say) still names its commit: the build runs the checkout's
# own CMake code anyway, so trusting its Git configuration risks nothing more.
# Included by CMakeLists.txt.

find_package(Git QUIET)

# In a source archive, a full hash: 40 hexadecimal digits (SHA-1) or 64
# (SHA-256); in a checkout, the placeholder.
file(STRINGS "${CMAKE_CURRENT_SOURCE_DIR}/cmake/source_commit.txt" zobnikari_archived
  REGEX "^[^#]")
string(LENGTH "${zobnikari_archived}" zobnikari_length)
if(zobnikari_archived MATCHES "^[0-9a-f]+$" AND zobnikari_length GREATER_EQUAL 40)
  set(ZOBNIKARI_SOURCE_COMMIT "${zobnikari_archived}")
elseif(NOT EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/.git")
  # A copy of the files, or an archive of them made by other means. (A Git
  # repository around the sources is not theirs: it is not asked.)
  set(ZOBNIKARI_SOURCE_COMMIT "unknown (neither a Git checkout nor a source archive)")
else()
  set(zobnikari_status 1)
  set(zobnikari_git_error "git was not found")
  if(GIT_FOUND)
    execute_process(
      COMMAND "${GIT_EXECUTABLE}" -c safe.directory=* rev-parse --verify HEAD
      WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
      RESULT_VARIABLE zobnikari_status
      OUTPUT_VARIABLE zobnikari_head
      ERROR_VARIABLE zobnikari_git_error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(zobnikari_status EQUAL 0)
      execute_process(
        COMMAND "${GIT_EXECUTABLE}" -c safe.directory=* status --porcelain --untracked-files=normal
        WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        RESULT_VARIABLE zobnikari_status
        OUTPUT_VARIABLE zobnikari_changes
        ERROR_VARIABLE zobnikari_git_error)
    endif()
  endif()
  if(NOT zobnikari_status EQUAL 0)
    message(WARNING "The sources are a Git checkout, but Git cannot tell their commit: "
      "${zobnikari_git_error}")
    set(ZOBNIKARI_SOURCE_COMMIT "unknown (a Git checkout that Git could not read)")
  elseif(zobnikari_changes STREQUAL "")
    set(ZOBNIKARI_SOURCE_COMMIT "${zobnikari_head}")
  else()
    set(ZOBNIKARI_SOURCE_COMMIT "${zobnikari_head}, with local changes")
  endif()
endif()
message(STATUS "Source commit: ${ZOBNIKARI_SOURCE_COMMIT}")
