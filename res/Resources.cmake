# Resources are compiled into the binary so the program runs from any folder.
# Each entry: resource id, kind, file. embed.cmake turns them into one .cpp.
set(RESOURCE_LIST ${CMAKE_SOURCE_DIR}/res/resources.txt)
set(RESOURCE_CPP ${CMAKE_BINARY_DIR}/generated/EmbeddedResources.cpp)
file(STRINGS ${RESOURCE_LIST} RESOURCE_LINES REGEX "^[^#]")
set(RESOURCE_FILES)
foreach(line ${RESOURCE_LINES})
  string(REGEX REPLACE "^[^ ]+ +[^ ]+ +" "" file "${line}")
  list(APPEND RESOURCE_FILES ${CMAKE_SOURCE_DIR}/res/${file})
endforeach()
add_custom_command(OUTPUT ${RESOURCE_CPP}
  COMMAND ${CMAKE_COMMAND} -DLIST=${RESOURCE_LIST} -DDIR=${CMAKE_SOURCE_DIR}/res
          -DOUT=${RESOURCE_CPP} -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
  DEPENDS ${RESOURCE_LIST} ${RESOURCE_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
  COMMENT "Embedding resources")
target_sources(tabrino_core PRIVATE ${RESOURCE_CPP})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RESOURCE_LIST})
