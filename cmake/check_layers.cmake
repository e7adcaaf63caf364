# Fails when a file of one layer includes a header of a layer above it, a
# header from outside the layers (the tests' scaffolding, the tools), or the
# header of an outside library that only certain folders may use. Every
# build runs it through the target check_layers, which every library of the
# program depends on: an upward reach fails the build before anything links.
#
#   cmake -DSOURCE_DIR=<source folder> [-DSTAMP=<file to touch>] -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)

# The layers from the bottom up. A file may include the headers of its own
# folder and of the folders before it.
set(LAYERS
  platform/core
  platform/registry
  platform/comm
  platform/ui
  platform/gdi
  platform/ui/qt
  song
  midiout
  player
  skin
  app)

# Upward includes that are known and stand for now: the song's cursor
# operations still send through the output stage, and the loader still
# writes into the player state. Nothing else of song/ may reach up, and
# these go once song/ stands on its own.
set(KNOWN_UPWARD
  "song/CMidiFileReader.cpp -> player/CPlayerState.h"
  "song/CTrack.cpp -> midiout/CSerialMidiOut.h"
  "song/CTrack.cpp -> player/CPlayerState.h")

# Outside libraries and the only places that include them: Qt in the
# drawing services and the window backend, FluidSynth behind its one
# wrapper (it is loaded at run time), ALSA in the port services.
set(LIBRARY_HEADERS "^Q" "^fluidsynth" "^alsa/")
set(LIBRARY_PLACES
  "platform/gdi/ platform/ui/qt/"
  "platform/comm/CFluidSynth.h"
  "platform/comm/")

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers.cmake needs -DSOURCE_DIR=<source folder>")
endif()

# The index of the layer a path lies in (the longest folder that holds
# it), -1 outside every layer.
function(layer_of path out)
  set(best -1)
  set(bestLength 0)
  set(index 0)
  foreach(layer ${LAYERS})
    string(LENGTH "${layer}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    if(head STREQUAL "${layer}/" AND length GREATER bestLength)
      set(best ${index})
      set(bestLength ${length})
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  set(${out} ${best} PARENT_SCOPE)
endfunction()

set(faults "")
foreach(layer ${LAYERS})
  file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp
    ${SOURCE_DIR}/${layer}/*/*.h ${SOURCE_DIR}/${layer}/*/*.cpp)
  foreach(file ${files})
    layer_of(${file} own)
    list(GET LAYERS ${own} ownName)
    if(NOT ownName STREQUAL layer)
      continue() # a folder of its own (platform/ui/qt), checked as that layer
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${lines})
      string(REGEX MATCH "[\"<]([^\">]+)[\">]" ignored "${line}")
      set(header "${CMAKE_MATCH_1}")
      if(line MATCHES "include[ \t]*\"")
        layer_of(${header} target)
        if(target EQUAL -1)
          string(APPEND faults "  ${file} includes ${header}, which belongs to no layer\n")
        elseif(target GREATER own AND NOT "${file} -> ${header}" IN_LIST KNOWN_UPWARD)
          list(GET LAYERS ${target} targetName)
          string(APPEND faults "  ${file} (${layer}) includes ${header} of the higher layer ${targetName}\n")
        endif()
      else()
        set(i 0)
        foreach(pattern ${LIBRARY_HEADERS})
          if(header MATCHES "${pattern}")
            list(GET LIBRARY_PLACES ${i} places)
            string(REPLACE " " ";" placeList "${places}")
            set(allowed FALSE)
            foreach(place ${placeList})
              string(LENGTH "${place}" length)
              string(SUBSTRING "${file}" 0 ${length} head)
              if(head STREQUAL place)
                set(allowed TRUE)
              endif()
            endforeach()
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
