# Packs the page's folder into the web archive, reproducibly (as
# cmake/reproducible_zip.cmake packs), and writes its SHA-256 checksum file
# beside it in the form that `sha256sum -c` reads.
#
#   cmake -DTOP=<folder holding the page's folder> -DFOLDER=<its name>
#         -DARCHIVE=<archive.zip> -P package_web.cmake

cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.cmake")

zobnikari_reproducible_zip("${TOP}" "${FOLDER}" "${ARCHIVE}")
file(SHA256 "${ARCHIVE}" sum)
get_filename_component(name "${ARCHIVE}" NAME)
file(WRITE "${ARCHIVE}.sha256" "${sum}  ${name}\n")
