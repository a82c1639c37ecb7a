# Which commit the sources are, for the Windows program's version resource and
# VERSION.txt. zobnikari_source_commit(<source dir> <git> <variable>) sets the
# variable to one of
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
# CMakeLists.txt asks at configure time: a commit made, or a file changed,
# after the configure step reaches the program only when CMake configures
# again. The release archive's test asks again, to catch a build that names
# other sources than the checkout now holds.
# Git is asked with safe.directory=*, so that a checkout owned by another user
# (a CI machine's, say) still names its commit: the build runs the checkout's
# own CMake code anyway, so trusting its Git configuration risks nothing more.

function(zobnikari_source_commit source_dir git variable)
  # In a source archive, a full hash: 40 hexadecimal digits (SHA-1) or 64
  # (SHA-256); in a checkout, the placeholder.
  file(STRINGS "${source_dir}/cmake/source_commit.txt" archived REGEX "^[^#]")
  string(LENGTH "${archived}" length)
  if(archived MATCHES "^[0-9a-f]+$" AND length GREATER_EQUAL 40)
    set(${variable} "${archived}" PARENT_SCOPE)
    return()
  endif()
  if(NOT EXISTS "${source_dir}/.git")
    # A copy of the files, or an archive of them made by other means. (A Git
    # repository around the sources is not theirs: it is not asked.)
    set(${variable} "unknown (neither a Git checkout nor a source archive)" PARENT_SCOPE)
    return()
  endif()
  set(status 1)
  set(error "git was not found")
  if(EXISTS "${git}")
    execute_process(
      COMMAND "${git}" -c safe.directory=* rev-parse --verify HEAD
      WORKING_DIRECTORY "${source_dir}"
      RESULT_VARIABLE status
      OUTPUT_VARIABLE head
      ERROR_VARIABLE error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(status EQUAL 0)
      execute_process(
        COMMAND "${git}" -c safe.directory=* status --porcelain --untracked-files=normal
        WORKING_DIRECTORY "${source_dir}"
        RESULT_VARIABLE status
        OUTPUT_VARIABLE changes
        ERROR_VARIABLE error)
    endif()
  endif()
  if(NOT status EQUAL 0)
    message(WARNING "The sources are a Git checkout, but Git cannot tell their commit: "
      "${error}")
    set(${variable} "unknown (a Git checkout that Git could not read)" PARENT_SCOPE)
  elseif(changes STREQUAL "")
    set(${variable} "${head}" PARENT_SCOPE)
  else()
    set(${variable} "${head}, with local changes" PARENT_SCOPE)
  endif()
endfunction()
