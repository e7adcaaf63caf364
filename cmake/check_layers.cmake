# Fails when a file of one layer includes a header of a layer above it, a
# header from outside the layers (the tests' scaffolding, the tools), or the
# header of an outside library that only certain folders may use. Every
# build runs it through the target check_layers, which every library of the
# program depends on: an upward reach fails the build before anything links.
#
#   cmake -DSOURCE_DIR=<source folder> [-DSTAMP=<file to touch>] -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)

# The layers from the bottom up. A file may include the headers of its own
# layer and of the layers before it. The windows and the drawing services
# are one layer of two folders: a window's device context draws into the
# window's pixels, and dialogs and owner-drawn controls paint with one.
set(LAYERS
  platform/core
  platform/text
  platform/registry
  platform/comm
  "platform/ui platform/gdi"
  platform/ui/qt
  song
  midiout
  player
  skin
  app)

# Outside libraries and the only places that include them: Qt in the
# drawing services and the window backend; FluidSynth and ALSA each behind
# its one wrapper, which loads it at run time; the encoding detector and
# the converter in the text encodings.
set(LIBRARY_HEADERS "^Q" "^fluidsynth" "^alsa/" "^uchardet" "^iconv")
set(LIBRARY_PLACES
  "platform/gdi/ platform/ui/qt/"
  "platform/comm/CFluidSynth.h"
  "platform/comm/CAlsaLibrary.h"
  "platform/text/"
  "platform/text/")

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers.cmake needs -DSOURCE_DIR=<source folder>")
endif()

# The index of the layer a path lies in, and the folder (the longest one
# that holds it); -1 outside every layer.
function(layer_of path outLayer outFolder)
  set(best -1)
  set(bestFolder "")
  set(bestLength 0)
  set(index 0)
  foreach(layer ${LAYERS})
    string(REPLACE " " ";" folders "${layer}")
    foreach(folder ${folders})
      string(LENGTH "${folder}/" length)
      string(SUBSTRING "${path}" 0 ${length} head)
      if(head STREQUAL "${folder}/" AND length GREATER bestLength)
        set(best ${index})
        set(bestFolder ${folder})
        set(bestLength ${length})
      endif()
    endforeach()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${outLayer} ${best} PARENT_SCOPE)
  set(${outFolder} "${bestFolder}" PARENT_SCOPE)
endfunction()

# Whether file lies under one of the places (a space-separated list).
function(in_places file places out)
  string(REPLACE " " ";" placeList "${places}")
  set(inside FALSE)
  foreach(place ${placeList})
    string(LENGTH "${place}" length)
    string(SUBSTRING "${file}" 0 ${length} head)
    if(head STREQUAL place)
      set(inside TRUE)
    endif()
  endforeach()
  set(${out} ${inside} PARENT_SCOPE)
endfunction()

set(faults "")
string(REPLACE " " ";" allFolders "${LAYERS}")
foreach(folder ${allFolders})
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp
    ${SOURCE_DIR}/${folder}/*/*.h ${SOURCE_DIR}/${folder}/*/*.cpp)
  foreach(file ${files})
    layer_of(${file} own ownFolder)
    if(NOT ownFolder STREQUAL folder)
      continue() # a folder of its own (platform/ui/qt), checked as that one
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${lines})
      string(REGEX MATCH "[\"<]([^\">]+)[\">]" ignored "${line}")
      set(header "${CMAKE_MATCH_1}")
      if(line MATCHES "include[ \t]*\"")
        layer_of(${header} target targetFolder)
        if(target EQUAL -1)
          string(APPEND faults "  ${file} includes ${header}, which belongs to no layer\n")
        elseif(target GREATER own)
          string(APPEND faults "  ${file} (${folder}) includes ${header} of the higher layer ${targetFolder}\n")
        endif()
      else()
        set(i 0)
        foreach(pattern ${LIBRARY_HEADERS})
          if(header MATCHES "${pattern}")
            list(GET LIBRARY_PLACES ${i} places)
            in_places(${file} "${places}" allowed)
            if(NOT allowed)
              string(APPEND faults "  ${file} includes <${header}>, which only ${places} may include\n")
            endif()
          endif()
          math(EXPR i "${i} + 1")
        endforeach()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that break the layers (see cmake/check_layers.cmake):\n${faults}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
