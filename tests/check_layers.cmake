# Checks that every #include of the program's folders points down the layers:
# common <- testdata <- scoring <- driver <- web (the page's module). A folder
# may include its own headers and those of the layers below it, never those
# above.
#
#   cmake -DSOURCE_DIR=<project root> -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)

set(layers common testdata scoring driver web)
set(above "")
list(REVERSE layers)
set(failures "")
foreach(layer IN LISTS layers)
  # The layers already walked stand above this one.
  file(GLOB sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cc"
       "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^/\"]+)/.*$" "\\1" folder "${line}")
      if(folder IN_LIST above)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        string(APPEND failures "\n  ${name}: ${line}")
      endif()
    endforeach()
  endforeach()
  list(APPEND above "${layer}")
endforeach()
if(failures)
  message(FATAL_ERROR "includes that reach up the layers (common <- testdata <- scoring <- "
    "driver <- web):${failures}")
endif()
list(LENGTH above count)
message(STATUS "the includes of ${count} layers point down")
