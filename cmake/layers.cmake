# One static library per folder, in layers (cmake/check_layers.cmake holds
# their order): each links only the layers below it that it uses, so a
# program takes in only what it calls, and a reach upward fails to link as
# well as the include check.

set(TABRINO_LAYER_STAMP ${CMAKE_BINARY_DIR}/layers.checked)
file(GLOB_RECURSE TABRINO_LAYER_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/platform/*.h ${CMAKE_SOURCE_DIR}/platform/*.cpp
  ${CMAKE_SOURCE_DIR}/song/*.h ${CMAKE_SOURCE_DIR}/song/*.cpp
  ${CMAKE_SOURCE_DIR}/midiout/*.h ${CMAKE_SOURCE_DIR}/midiout/*.cpp
  ${CMAKE_SOURCE_DIR}/player/*.h ${CMAKE_SOURCE_DIR}/player/*.cpp
  ${CMAKE_SOURCE_DIR}/skin/*.h ${CMAKE_SOURCE_DIR}/skin/*.cpp
  ${CMAKE_SOURCE_DIR}/app/*.h ${CMAKE_SOURCE_DIR}/app/*.cpp)
add_custom_command(OUTPUT ${TABRINO_LAYER_STAMP}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DSTAMP=${TABRINO_LAYER_STAMP}
          -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
  DEPENDS ${TABRINO_LAYER_FILES} ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking that each layer includes only the layers below it")
add_custom_target(check_layers DEPENDS ${TABRINO_LAYER_STAMP})

# tabrino_library(NAME FOLDER): the static library of one folder's .cpp files.
function(tabrino_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  add_library(${name} STATIC ${sources})
  add_dependencies(${name} check_layers)
endfunction()
