# Writes the command identifiers of Commands.def as #defines (CMD_<name> <id>), the form the
# resource compiler reads. Run by the build: cmake -DIN=Commands.def -DOUT=CommandIds.h -P this.
file(STRINGS "${IN}" rows REGEX "^QLK_CMD(_RANGE)?\\(")
set(text "// Generated from src/core/macro/Commands.def by cmake/CommandIds.cmake: do not edit.\n")
string(APPEND text "// The command identifiers by name, for the resource scripts.\n#pragma once\n")
foreach(row IN LISTS rows)
  if(row MATCHES "^QLK_CMD(_RANGE)?\\(([A-Za-z0-9_]+), *([0-9]+)")
    string(APPEND text "#define CMD_${CMAKE_MATCH_2} ${CMAKE_MATCH_3}\n")
  else()
    message(FATAL_ERROR "Commands.def: a row the generator cannot read: ${row}")
  endif()
endforeach()
# Unchanged text keeps the file's time, so nothing that includes it is rebuilt for nothing.
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUT}" "${text}")
endif()
