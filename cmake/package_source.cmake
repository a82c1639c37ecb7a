# Writes the source archive beside the release archive. CPack runs this
# script (CPACK_POST_BUILD_SCRIPTS) after cmake/package_zip.cmake: it writes
# CPACK_ZOBNIKARI_SOURCE_ARCHIVE_NAME.tar.gz, made by git archive from the
# commit that the program was built from (CPACK_ZOBNIKARI_SOURCE_COMMIT, read
# at configure time), and its SHA-256 checksum in the form sha256sum -c reads.
#
# git archive fills in cmake/source_commit.txt (export-subst), so a build from
# the unpacked source archive, which has no Git, names the same commit. It
# writes the files as committed, whatever core.autocrlf the packer has.
#
# A source archive holds a commit and nothing else: when the program was built
# from local changes on top of it, from a source archive, or from sources of
# no known commit, none is written (an earlier one is removed, so that none
# stands beside a program it does not match), and a warning says why.

cmake_minimum_required(VERSION 3.25)

set(name "${CPACK_ZOBNIKARI_SOURCE_ARCHIVE_NAME}")
set(archive "${CPACK_PACKAGE_DIRECTORY}/${name}.tar.gz")
set(commit "${CPACK_ZOBNIKARI_SOURCE_COMMIT}")

set(why "")
if(NOT EXISTS "${CPACK_ZOBNIKARI_SOURCE_DIR}/.git")
  set(why "the sources are not a Git checkout")
elseif(NOT commit MATCHES "^[0-9a-f]+$")
  string(CONCAT why "the program was built from commit ${commit}, which a source archive "
    "cannot hold: commit the changes, then package again (the package workflow "
    "configures again)")
elseif(NOT EXISTS "${CPACK_ZOBNIKARI_GIT}")
  set(why "git was not found")
endif()
if(why)
  file(REMOVE "${archive}" "${archive}.sha256")
  message(WARNING "No source archive ${name}.tar.gz: ${why}.")
  return()
endif()

execute_process(
  COMMAND "${CPACK_ZOBNIKARI_GIT}" -c safe.directory=* -c core.autocrlf=false -c core.eol=lf
    archive --format=tar.gz "--prefix=${name}/" -o "${archive}" "${commit}"
  WORKING_DIRECTORY "${CPACK_ZOBNIKARI_SOURCE_DIR}"
  COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 "${archive}" sha256)
file(WRITE "${archive}.sha256" "${sha256}  ${name}.tar.gz\n")
message(STATUS "Source archive of commit ${commit}: ${archive}")
