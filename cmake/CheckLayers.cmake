# Rejects an include that runs the wrong way between the layers:
#   cmake -DSOURCE_DIR=<project root> [-DSTAMP=<file>] -P cmake/CheckLayers.cmake
# Each folder may include the project's own headers only from the folders
# named for it below; system and library headers are not ours and pass.
cmake_minimum_required(VERSION 3.25)

# folder (glob below the root) | the folders it may include from, by commas
set(rules
  "platform/machine/*|platform/machine/"
  "platform/firmware/*|platform/firmware/,platform/machine/"
  "platform/host/*|platform/host/,platform/firmware/,platform/machine/"
  "platform/simulated/*|platform/simulated/,platform/firmware/,platform/machine/"
  "platform/win32/*|platform/win32/,platform/machine/"
  "platform/classes/*|platform/classes/,platform/win32/,platform/machine/"
  "platform/Corvane_*|platform/Corvane_,platform/classes/,platform/win32/,platform/machine/"
  "engine/*|engine/,platform/Corvane_,platform/classes/,platform/win32/"
  "components/*|components/,engine/,platform/Corvane_,platform/classes/,platform/win32/")
# The project's own folders: a quoted include starting with one is ours.
set(ours "platform/" "engine/" "components/" "app/" "tools/" "overview/" "tests/")

# Sets out to TRUE when text begins with one of the prefixes.
function(starts_with_any out text)
  foreach(prefix IN LISTS ARGN)
    string(FIND "${text}" "${prefix}" at)
    if(at EQUAL 0)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

set(faults "")
foreach(rule IN LISTS rules)
  string(REPLACE "|" ";" parts "${rule}")
  list(GET parts 0 pattern)
  list(GET parts 1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${pattern}.h ${SOURCE_DIR}/${pattern}.cpp)
  if(pattern MATCHES "^platform/Corvane_")
    file(GLOB files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${pattern}.h ${SOURCE_DIR}/${pattern}.cpp)
  endif()
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
      starts_with_any(is_ours "${target}" ${ours})
      if(NOT is_ours)
        continue()
      endif()
      starts_with_any(ok "${target}" ${allowed})
      if(NOT ok)
        string(APPEND faults "  ${file}: includes \"${target}\", which its layer may not use\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that run the wrong way between the layers:\n${faults}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
